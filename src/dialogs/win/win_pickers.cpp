#include "dialogs/win/win_pickers.h"

#include <commdlg.h>
#include <shlobj.h>

#include <array>

#include "platform/win/wide_text.h"

namespace tolvi::win {
namespace {

constexpr std::size_t kPathBuffer = 600;

// Filter entries are name, NUL, pattern, NUL; the list ends with one more NUL.
std::wstring FilterFor(PathPicker picker) {
  std::wstring filter;
  const auto add = [&filter](std::string_view name, std::string_view pattern) {
    filter += WideFromUtf8(name);
    filter += L'\0';
    filter += WideFromUtf8(pattern);
    filter += L'\0';
  };
  if (picker == PathPicker::kAudioFile) add(kAudioFilterName, kAudioFilterPattern);
  add(kAllFilesFilterName, kAllFilesFilterPattern);
  filter += L'\0';
  return filter;
}

bool ReadableFile(const std::wstring& path) {
  const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  return true;
}

std::optional<std::string> ChooseFolder(HWND owner) {
  const std::wstring title = WideFromUtf8(kFolderPickerTitle);
  BROWSEINFOW info{};
  info.hwndOwner = owner;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_RETURNFSANCESTORS;
  PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
  if (chosen == nullptr) return std::nullopt;
  std::array<wchar_t, MAX_PATH> path{};
  const bool named = ::SHGetPathFromIDListW(chosen, path.data()) != 0;
  ::CoTaskMemFree(chosen);
  if (!named) return std::nullopt;
  return Utf8FromWide(path.data());
}

std::optional<std::string> ChooseFile(PathPicker picker, const std::string& start, HWND owner) {
  std::array<wchar_t, kPathBuffer> path{};
  std::wstring initial = WideFromUtf8(start);
  if (!ReadableFile(initial)) {
    initial.assign(MAX_PATH, L'\0');
    if (!::SHGetSpecialFolderPathW(owner, initial.data(), CSIDL_PERSONAL, FALSE)) initial.clear();
    initial.resize(initial.find(L'\0') == std::wstring::npos ? initial.size()
                                                             : initial.find(L'\0'));
  }
  initial.copy(path.data(), std::min(initial.size(), path.size() - 1));
  const std::wstring filter = FilterFor(picker);
  const std::wstring title = WideFromUtf8(kFilePickerTitle);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = title.c_str();
  dialog.Flags =
      OFN_EXPLORER | OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (!::GetOpenFileNameW(&dialog)) return std::nullopt;
  return Utf8FromWide(path.data());
}

}  // namespace

std::optional<std::string> ChoosePath(PathPicker picker, const std::string& start, HWND owner) {
  if (picker == PathPicker::kFolder) return ChooseFolder(owner);
  return ChooseFile(picker, start, owner);
}

}  // namespace tolvi::win
