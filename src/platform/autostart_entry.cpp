#include "platform/autostart_entry.h"

#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::string_view kEntryHead =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Tolvi\n"
    "Comment=Break reminder and work logger\n"
    "Icon=tolvi\n"
    "Terminal=false\n"
    "X-GNOME-Autostart-enabled=true\n"
    "Exec=";

bool Writable(std::string_view argument) {
  return argument.find('\0') == std::string_view::npos && ToUtf8(argument) == argument;
}

// The escapes every string value of a desktop entry goes through.
std::string EscapeStringValue(std::string_view value) {
  std::string escaped;
  escaped.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '\\':
        escaped += "\\\\";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\t':
        escaped += "\\t";
        break;
      case '\r':
        escaped += "\\r";
        break;
      default:
        escaped += c;
        break;
    }
  }
  return escaped;
}

}  // namespace

std::string QuoteExecArgument(std::string_view argument) {
  std::string quoted = "\"";
  for (const char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::optional<std::string> ExecValue(std::span<const std::string> command) {
  std::string line;
  for (const std::string& argument : command) {
    if (!Writable(argument)) return std::nullopt;
    if (!line.empty()) line += ' ';
    line += QuoteExecArgument(argument);
  }
  return EscapeStringValue(line);
}

std::optional<std::string> AutostartEntryText(std::span<const std::string> command) {
  if (command.empty()) return std::nullopt;
  const std::optional<std::string> exec = ExecValue(command);
  if (!exec) return std::nullopt;
  return std::string(kEntryHead) + *exec + "\n";
}

}  // namespace tolvi
