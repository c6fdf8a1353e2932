#include "platform/data_directory.h"

namespace tolvi {
namespace {

constexpr char kDefaultDataHome[] = ".local/share";

// Environment paths count only when absolute: a relative $XDG_DATA_HOME is
// invalid and ignored.
std::optional<std::filesystem::path> AbsolutePath(const std::optional<std::string>& text) {
  if (!text || text->empty()) return std::nullopt;
  std::filesystem::path path(*text);
  if (!path.is_absolute()) return std::nullopt;
  return path;
}

bool KeepsDataBesideProgram(FileSystem& files, const DirectoryFacts& facts) {
  if (facts.program_directory.empty() || !facts.program_directory_writable ||
      facts.program_installed) {
    return false;
  }
  if (facts.program_on_removable_drive) return true;
  return !files.Exists(facts.program_directory / kPortableMarkerFileName);
}

}  // namespace

std::optional<std::filesystem::path> UserDataDirectory(const DirectoryFacts& facts) {
  std::optional<std::filesystem::path> base = AbsolutePath(facts.xdg_data_home);
  if (!base) {
    const std::optional<std::filesystem::path> home = AbsolutePath(facts.home);
    if (!home) return std::nullopt;
    base = *home / kDefaultDataHome;
  }
  return *base / kVendorFolder / kProductFolder;
}

std::optional<DataDirectoryChoice> ChooseDataDirectory(FileSystem& files,
                                                       const DirectoryFacts& facts) {
  if (facts.data_dir_option && !facts.data_dir_option->empty()) {
    return DataDirectoryChoice{*facts.data_dir_option, DataDirectoryKind::kOption};
  }
  if (KeepsDataBesideProgram(files, facts)) {
    return DataDirectoryChoice{facts.program_directory, DataDirectoryKind::kBesideProgram};
  }
  if (std::optional<std::filesystem::path> user = UserDataDirectory(facts)) {
    return DataDirectoryChoice{*user, DataDirectoryKind::kUserData};
  }
  // No home to go to: a writable program folder is better than nothing.
  if (!facts.program_directory.empty() && facts.program_directory_writable) {
    return DataDirectoryChoice{facts.program_directory, DataDirectoryKind::kBesideProgram};
  }
  return std::nullopt;
}

Status PrepareDataDirectory(FileSystem& files, const DataDirectoryChoice& choice) {
  return files.CreateDirectories(choice.directory);
}

}  // namespace tolvi
