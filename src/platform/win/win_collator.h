// The user's collation on Windows: CompareStringEx with the user's default
// locale (linguistic order, so "apple" sorts before "Banana" and "Ärger"
// among the A words, as the Linux build's locale collation does). Texts are
// UTF-8; a comparison the system refuses falls back to byte order. The
// returned function holds no state; any thread may call it.
#pragma once

#include <functional>
#include <string_view>

namespace tolvi {

// <0, 0 or >0, the same shape as the record database's collator.
std::function<int(std::string_view, std::string_view)> WinUserCollator();

}  // namespace tolvi
