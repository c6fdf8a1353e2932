// WinAutostart: "start at log-on" on Windows, as the value "Tolvi.exe" under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run holding the
// command line. The key and value name can be given (tests use their own).
// Holds no state between calls; any thread.
#pragma once

#include <string>
#include <vector>

#include "platform/autostart.h"

namespace tolvi {

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "Tolvi.exe";

class WinAutostart final : public Autostart {
 public:
  explicit WinAutostart(std::string key = kRunKey, std::string value_name = kRunValueName);

  Status Enable(const std::vector<std::string>& command) override;
  Status Disable() override;

 private:
  std::string key_;
  std::string value_name_;
};

// The command line that runs `command` (UTF-8, program first): arguments with
// spaces, tabs or quotes are quoted so that the system splits it back into
// the same arguments.
std::string WindowsCommandLine(const std::vector<std::string>& command);

}  // namespace tolvi
