// XdgAutostart: "start at log-on" on Linux desktops, as a desktop entry in
// the user's XDG autostart directory ($XDG_CONFIG_HOME/autostart, by default
// ~/.config/autostart), written atomically through the FileSystem port.
//
// Borrows the FileSystem, which must outlive it. Any thread.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/autostart.h"
#include "platform/file_system.h"

namespace tolvi {

// What the "Auto Start" switch does here, for its tooltip.
inline constexpr char kXdgAutostartTooltip[] = "Makes Tolvi start when you log in";

class XdgAutostart final : public Autostart {
 public:
  XdgAutostart(FileSystem& files, std::filesystem::path autostart_directory);

  Status Enable(const std::vector<std::string>& command) override;
  Status Disable() override;

  [[nodiscard]] std::filesystem::path entry_path() const;

 private:
  FileSystem& files_;
  std::filesystem::path directory_;
};

// $XDG_CONFIG_HOME/autostart when XDG_CONFIG_HOME is an absolute path, else
// $HOME/.config/autostart; nullopt when neither is usable.
std::optional<std::filesystem::path> DefaultAutostartDirectory();

// The running program's own file (/proc/self/exe); nullopt when unknown.
std::optional<std::filesystem::path> RunningProgramPath();

}  // namespace tolvi
