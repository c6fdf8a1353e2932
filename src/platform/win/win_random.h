// WinRandom: the RandomSource port on Windows, from BCryptGenRandom (the
// system's preferred generator). Reports nothing when it fails, so the
// caller's own generator takes over. Stateless and thread-safe.
#pragma once

#include "platform/random_source.h"

namespace tolvi {

class WinRandom final : public RandomSource {
 public:
  std::optional<std::uint32_t> Next() override;
};

}  // namespace tolvi
