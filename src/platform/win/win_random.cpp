#include "platform/win/win_random.h"

#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

namespace tolvi {

std::optional<std::uint32_t> WinRandom::Next() {
  std::uint32_t value = 0;
  if (::BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof(value),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0) {
    return std::nullopt;
  }
  return value;
}

}  // namespace tolvi
