#include "platform/win/win_desktop.h"

#include <windows.h>
// windows.h first: these need its types.
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdint>

#include "platform/win/wide_text.h"
#include "platform/win/win_error.h"

namespace tolvi {
namespace {

// ShellExecute results at or below this are error codes.
constexpr std::intptr_t kShellExecuteLastError = 32;

}  // namespace

void WinSound::Beep() {
  ::MessageBeep(MB_OK);
}

void WinSound::Play(const std::filesystem::path& file) {
  ::PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void WinSound::Stop() {
  ::PlaySoundW(nullptr, nullptr, 0);
}

Status OpenWithDefaultProgram(const std::filesystem::path& file) {
  const auto result = reinterpret_cast<std::intptr_t>(
      ::ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > kShellExecuteLastError) return Status::Ok();
  return Status::IoError("No program opens " + Utf8Path(file) + ": " +
                         SystemErrorText(static_cast<std::uint32_t>(result)));
}

}  // namespace tolvi
