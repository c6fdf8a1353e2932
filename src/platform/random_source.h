// RandomSource: 32 random bits from the system, or nothing when the system
// source fails (the caller then uses its own generator). Thread-safe.
#pragma once

#include <cstdint>
#include <optional>

namespace tolvi {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual std::optional<std::uint32_t> Next() = 0;
};

}  // namespace tolvi
