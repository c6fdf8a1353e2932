#include "text/json_text.h"

#include <array>
#include <cstdio>

#include "text/text.h"

namespace tolvi {

std::string JsonString(std::string_view text) {
  const std::string utf8 = ToUtf8(text);
  std::string quoted = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (c == '\n') {
      quoted += "\\n";
    } else if (c == '\r') {
      quoted += "\\r";
    } else if (c == '\t') {
      quoted += "\\t";
    } else if (byte < 0x20 || byte == 0x7f) {
      std::array<char, 7> escape{};
      std::snprintf(escape.data(), escape.size(), "\\u%04x", byte);
      quoted += escape.data();
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

std::string CsvField(std::string_view text) {
  std::string utf8 = ToUtf8(text);
  const bool quote = utf8.find_first_of(",\"\r\n") != std::string::npos ||
                     (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
  if (!quote) return utf8;
  std::string field = "\"";
  for (const char c : utf8) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + "\"";
}

}  // namespace tolvi
