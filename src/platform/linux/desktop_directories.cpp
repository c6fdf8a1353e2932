#include "platform/linux/desktop_directories.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>

namespace tolvi {
namespace {

std::optional<std::string> Environment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool IsWritableDirectory(const std::filesystem::path& directory) {
  return !directory.empty() && ::access(directory.c_str(), W_OK | X_OK) == 0;
}

bool SamePath(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

// /sys/dev/block/MAJOR:MINOR names the partition; the disk above it carries
// the "removable" flag (a whole-disk device carries it itself).
bool IsOnRemovableDrive(const std::filesystem::path& directory) {
  struct stat info {};
  if (directory.empty() || ::stat(directory.c_str(), &info) != 0) return false;
  const std::filesystem::path device =
      std::filesystem::path("/sys/dev/block") /
      (std::to_string(major(info.st_dev)) + ":" + std::to_string(minor(info.st_dev)));
  std::error_code error;
  std::filesystem::path disk = std::filesystem::canonical(device, error);
  if (error) return false;
  if (std::filesystem::exists(disk / "partition", error)) disk = disk.parent_path();
  std::ifstream flag(disk / "removable");
  char value = '0';
  return flag.get(value) && value == '1';
}

std::filesystem::path InstalledShareDirectory(const std::filesystem::path& program_directory) {
  return (program_directory / TOLVI_SHARE_FROM_BIN).lexically_normal();
}

// Installed: run from the configured bin/, or from any bin/ whose tree has
// the shared files beside it (an installed tree moved to another prefix).
bool IsInstalled(const std::filesystem::path& program_directory) {
  if (program_directory.empty()) return false;
  if (SamePath(program_directory, TOLVI_INSTALL_BINDIR)) return true;
  std::error_code error;
  return std::filesystem::is_directory(InstalledShareDirectory(program_directory), error);
}

}  // namespace

std::filesystem::path ExecutableDirectory() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return executable.parent_path();
}

DirectoryFacts GatherDirectoryFacts(std::optional<std::filesystem::path> data_dir_option) {
  DirectoryFacts facts;
  if (data_dir_option && !data_dir_option->empty()) {
    std::error_code error;
    std::filesystem::path absolute = std::filesystem::absolute(*data_dir_option, error);
    facts.data_dir_option = error ? *data_dir_option : absolute;
  }
  facts.program_directory = ExecutableDirectory();
  facts.program_directory_writable = IsWritableDirectory(facts.program_directory);
  facts.program_on_removable_drive = IsOnRemovableDrive(facts.program_directory);
  facts.program_installed = IsInstalled(facts.program_directory);
  facts.xdg_data_home = Environment("XDG_DATA_HOME");
  facts.home = Environment("HOME");
  return facts;
}

std::filesystem::path ResourceDirectory(const DirectoryFacts& facts) {
  if (facts.program_installed) return InstalledShareDirectory(facts.program_directory);
  return facts.program_directory;
}

}  // namespace tolvi
