// Wide text: the conversion between the core's UTF-8 and the UTF-16 of the
// Windows API. Invalid UTF-8 or lone surrogates become U+FFFD, so a bad name
// still gives a usable (if wrong) string instead of an error. Pure functions;
// any thread.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tolvi {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
// A path's text in UTF-8, whatever its native encoding (for messages).
std::string Utf8Path(const std::filesystem::path& path);

}  // namespace tolvi
