#include "platform/win/win_error.h"

#include <windows.h>

#include <array>

#include "platform/win/wide_text.h"

namespace tolvi {

std::string SystemErrorText(std::uint32_t error) {
  std::array<wchar_t, 512> buffer{};
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
  std::string text = Utf8FromWide(std::wstring_view(buffer.data(), length));
  while (!text.empty() &&
         (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.')) {
    text.pop_back();
  }
  if (text.empty()) text = "error " + std::to_string(error);
  return text;
}

Status WinErrorStatus(const std::string& what, const std::filesystem::path& path,
                      std::uint32_t error) {
  std::string message = what + " " + Utf8Path(path) + ": " + SystemErrorText(error);
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    return Status::NotFound(std::move(message));
  }
  return Status::IoError(std::move(message));
}

}  // namespace tolvi
