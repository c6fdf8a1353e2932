// Quoting text for the machine-readable outputs: JSON string literals and
// CSV fields. Bytes that are not valid UTF-8 (texts from old files) are read
// as Windows-1252 first, so the output is always valid UTF-8. Pure; any
// thread.
#pragma once

#include <string>
#include <string_view>

namespace tolvi {

// A JSON string, quotes included: quote, backslash and every control
// character escaped.
[[nodiscard]] std::string JsonString(std::string_view text);

// A CSV field (RFC 4180): quoted, with its quotes doubled, when it holds a
// comma, a quote, a line break or leading or trailing spaces; else as is.
[[nodiscard]] std::string CsvField(std::string_view text);

}  // namespace tolvi
