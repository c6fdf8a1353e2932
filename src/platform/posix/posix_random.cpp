#include "platform/posix/posix_random.h"

#include <exception>
#include <random>

namespace tolvi {

std::optional<std::uint32_t> PosixRandom::Next() {
  std::lock_guard lock(mutex_);
  try {
    std::random_device device;
    return static_cast<std::uint32_t>(device());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace tolvi
