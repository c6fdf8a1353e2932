#include "platform/win/win_collator.h"

#include <windows.h>

#include <limits>
#include <string>

#include "platform/win/wide_text.h"

namespace tolvi {
namespace {

int Compare(std::string_view a, std::string_view b) {
  const std::wstring wide_a = WideFromUtf8(a);
  const std::wstring wide_b = WideFromUtf8(b);
  constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<int>::max());
  if (wide_a.size() <= kMax && wide_b.size() <= kMax) {
    const int result = ::CompareStringEx(LOCALE_NAME_USER_DEFAULT, 0, wide_a.c_str(),
                                         static_cast<int>(wide_a.size()), wide_b.c_str(),
                                         static_cast<int>(wide_b.size()), nullptr, nullptr, 0);
    if (result != 0) return result - CSTR_EQUAL;
  }
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

}  // namespace

std::function<int(std::string_view, std::string_view)> WinUserCollator() {
  return Compare;
}

}  // namespace tolvi
