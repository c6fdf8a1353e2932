#include "shell/win/win_directories.h"

#include <windows.h>
// windows.h first: this needs its types.
#include <shlobj.h>

#include <string>

#include "platform/win/wide_text.h"

namespace tolvi::win {
namespace {

constexpr DWORD kLongestPath = 32'768;
constexpr wchar_t kProbeName[] = L".tolvi-write-probe";

// A file created and deleted on close: the only sure test of write access.
bool Writable(const std::filesystem::path& directory) {
  const std::wstring probe = (directory / kProbeName).wstring();
  HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  ::CloseHandle(file);
  return true;
}

bool OnRemovableDrive(const std::filesystem::path& directory) {
  const std::wstring root = directory.root_path().wstring();
  return !root.empty() && ::GetDriveTypeW(root.c_str()) == DRIVE_REMOVABLE;
}

std::optional<std::string> ApplicationDataFolder() {
  PWSTR folder = nullptr;
  std::optional<std::string> found;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &folder))) {
    found = Utf8FromWide(folder);
  }
  ::CoTaskMemFree(folder);
  return found;
}

}  // namespace

std::filesystem::path ProgramDirectory() {
  std::wstring name(kLongestPath, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), kLongestPath);
  if (length == 0 || length >= kLongestPath) return {};
  name.resize(length);
  return std::filesystem::path(name).parent_path();
}

DirectoryFacts GatherDirectoryFacts(std::optional<std::filesystem::path> data_dir_option) {
  DirectoryFacts facts;
  facts.data_dir_option = std::move(data_dir_option);
  facts.program_directory = ProgramDirectory();
  if (!facts.program_directory.empty()) {
    facts.program_directory_writable = Writable(facts.program_directory);
    facts.program_on_removable_drive = OnRemovableDrive(facts.program_directory);
  }
  // The installer marks an installed copy with "DefSet.txt" instead.
  facts.program_installed = false;
  facts.xdg_data_home = ApplicationDataFolder();
  return facts;
}

}  // namespace tolvi::win
