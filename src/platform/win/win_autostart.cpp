#include "platform/win/win_autostart.h"

#include <windows.h>

#include <utility>

#include "platform/win/wide_text.h"
#include "platform/win/win_error.h"

namespace tolvi {
namespace {

// Backslashes count only before a quote: there they are doubled, and the
// quote itself escaped.
std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"')
      quoted.append(backslashes * 2 + 1, '\\');
    else
      quoted.append(backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  quoted += '"';
  return quoted;
}

Status RegistryError(const std::string& what, const std::string& key, LSTATUS error) {
  return Status::IoError(what + " HKEY_CURRENT_USER\\" + key + ": " +
                         SystemErrorText(static_cast<std::uint32_t>(error)));
}

}  // namespace

std::string WindowsCommandLine(const std::vector<std::string>& command) {
  std::string line;
  for (const std::string& argument : command) {
    if (!line.empty()) line += ' ';
    line += QuoteArgument(argument);
  }
  return line;
}

WinAutostart::WinAutostart(std::string key, std::string value_name)
    : key_(std::move(key)), value_name_(std::move(value_name)) {}

Status WinAutostart::Enable(const std::vector<std::string>& command) {
  if (command.empty()) return Status::InvalidArgument("No program to start at log-on");
  HKEY key = nullptr;
  LSTATUS result = ::RegCreateKeyExW(HKEY_CURRENT_USER, WideFromUtf8(key_).c_str(), 0, nullptr, 0,
                                     KEY_SET_VALUE, nullptr, &key, nullptr);
  if (result != ERROR_SUCCESS) return RegistryError("Cannot open", key_, result);
  const std::wstring line = WideFromUtf8(WindowsCommandLine(command));
  const auto bytes = static_cast<DWORD>((line.size() + 1) * sizeof(wchar_t));
  result = ::RegSetValueExW(key, WideFromUtf8(value_name_).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(line.c_str()), bytes);
  ::RegCloseKey(key);
  if (result != ERROR_SUCCESS) return RegistryError("Cannot write to", key_, result);
  return Status::Ok();
}

Status WinAutostart::Disable() {
  HKEY key = nullptr;
  LSTATUS result =
      ::RegOpenKeyExW(HKEY_CURRENT_USER, WideFromUtf8(key_).c_str(), 0, KEY_SET_VALUE, &key);
  if (result == ERROR_FILE_NOT_FOUND) return Status::Ok();
  if (result != ERROR_SUCCESS) return RegistryError("Cannot open", key_, result);
  result = ::RegDeleteValueW(key, WideFromUtf8(value_name_).c_str());
  ::RegCloseKey(key);
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) {
    return RegistryError("Cannot remove the value from", key_, result);
  }
  return Status::Ok();
}

}  // namespace tolvi
