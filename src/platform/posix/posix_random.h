// PosixRandom: the RandomSource port on Linux, from std::random_device.
// Reports failure (nothing) when the device cannot be opened or read, so the
// caller's own generator takes over. Thread-safe.
#pragma once

#include <mutex>
#include <optional>

#include "platform/random_source.h"

namespace tolvi {

class PosixRandom final : public RandomSource {
 public:
  std::optional<std::uint32_t> Next() override;

 private:
  std::mutex mutex_;
};

}  // namespace tolvi
