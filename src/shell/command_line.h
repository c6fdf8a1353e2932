// The desktop program's command line: --data-dir DIR (or --data-dir=DIR),
// --version (-v), --help (-h), the remote controls of a running copy
// (--status [--json], --watch --json|--format waybar, --working, --break,
// --away, --meeting, --reset-reminder, --work-type NAME, --show) and
// --export csv|json. At most one remote control or export per line. The version and help answers
// are plain text, so a terminal without a display still gets them: the front end parses once before
// it opens the display (acting only on help and version, since the toolkit's own options are still
// among the arguments) and once after the toolkit has taken its options out (reporting errors).
//
// Pure; any thread.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tolvi {

inline constexpr int kExitUsage = 2;

enum class RemoteAction {
  kStatus,
  kWatch,
  kWorking,
  kOnBreak,
  kAway,
  kAtMeeting,
  kResetReminder,
  kWorkType,
  kShowWindow,
};
enum class StatusFormat { kText, kJson, kWaybar };
enum class ExportFormat { kCsv, kJson };

struct CommandLine {
  std::optional<std::filesystem::path> data_dir;
  bool help = false;
  bool version = false;
  std::optional<RemoteAction> remote;
  StatusFormat format = StatusFormat::kText;
  std::string work_type;  // for kWorkType
  std::optional<ExportFormat> export_format;
  // The first argument that is not understood, as a message; empty if none.
  std::string error;
};

// `arguments` excludes the program name.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// "Tolvi 1.91" and a line break.
[[nodiscard]] std::string VersionText();
// Usage and every option, one per line.
[[nodiscard]] std::string HelpText();

}  // namespace tolvi
