#include "platform/linux/xdg_autostart.h"

#include <cstdlib>
#include <system_error>

#include "platform/autostart_entry.h"

namespace tolvi {
namespace {

constexpr char kAutostartSubdirectory[] = "autostart";
constexpr char kSelfExe[] = "/proc/self/exe";

std::optional<std::filesystem::path> AbsoluteFromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  std::filesystem::path path(value);
  if (!path.is_absolute()) return std::nullopt;
  return path;
}

}  // namespace

XdgAutostart::XdgAutostart(FileSystem& files, std::filesystem::path autostart_directory)
    : files_(files), directory_(std::move(autostart_directory)) {}

std::filesystem::path XdgAutostart::entry_path() const {
  return directory_ / kAutostartFileName;
}

Status XdgAutostart::Enable(const std::vector<std::string>& command) {
  const std::optional<std::string> text = AutostartEntryText(command);
  if (!text) return Status::InvalidArgument("the program's path cannot be written into an entry");
  if (Status made = files_.CreateDirectories(directory_); !made.ok()) return made;
  return files_.WriteFileAtomic(entry_path(), *text);
}

Status XdgAutostart::Disable() {
  if (!files_.Exists(entry_path())) return Status::Ok();
  return files_.Remove(entry_path());
}

std::optional<std::filesystem::path> DefaultAutostartDirectory() {
  if (auto config = AbsoluteFromEnvironment("XDG_CONFIG_HOME")) {
    return *config / kAutostartSubdirectory;
  }
  if (auto home = AbsoluteFromEnvironment("HOME")) {
    return *home / ".config" / kAutostartSubdirectory;
  }
  return std::nullopt;
}

std::optional<std::filesystem::path> RunningProgramPath() {
  std::error_code error;
  std::filesystem::path path = std::filesystem::read_symlink(kSelfExe, error);
  if (error || path.empty()) return std::nullopt;
  return path;
}

}  // namespace tolvi
