// Reading a dialog's number box the way every Tolvi dialog reads one: the
// unsigned decimal number at the start of its text after leading spaces.
// Pure function; any thread.
#pragma once

#include <cstdint>
#include <string_view>

namespace tolvi {

// 0 when the text holds no number there; UINT32_MAX when the number is
// larger (never a wrapped value).
std::uint32_t ReadNumberBox(std::string_view text);

}  // namespace tolvi
