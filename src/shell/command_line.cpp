#include "shell/command_line.h"

#include <array>
#include <string_view>

#include "engine/tray_updates.h"

namespace tolvi {
namespace {

constexpr std::string_view kDataDirOption = "--data-dir";
constexpr std::string_view kDataDirPrefix = "--data-dir=";

bool Is(std::string_view argument, std::string_view long_name, std::string_view short_name) {
  return argument == long_name || argument == short_name;
}

void NoteError(CommandLine& line, std::string message) {
  if (line.error.empty()) line.error = std::move(message);
}

struct RemoteOption {
  std::string_view name;
  RemoteAction action;
};

constexpr std::array<RemoteOption, 8> kRemoteOptions = {{
    {"--status", RemoteAction::kStatus},
    {"--watch", RemoteAction::kWatch},
    {"--working", RemoteAction::kWorking},
    {"--break", RemoteAction::kOnBreak},
    {"--away", RemoteAction::kAway},
    {"--meeting", RemoteAction::kAtMeeting},
    {"--reset-reminder", RemoteAction::kResetReminder},
    {"--show", RemoteAction::kShowWindow},
}};

std::optional<RemoteAction> RemoteFor(std::string_view argument) {
  for (const RemoteOption& option : kRemoteOptions) {
    if (option.name == argument) return option.action;
  }
  return std::nullopt;
}

void SetRemote(CommandLine& line, RemoteAction action) {
  if (line.remote || line.export_format) {
    NoteError(line, "only one control or export option at a time");
  }
  line.remote = action;
}

// The value of an option given as "--name VALUE" or "--name=VALUE"; moves i
// past a separate value. nullopt when argument is not this option.
std::optional<std::string> OptionValue(CommandLine& line, const std::vector<std::string>& arguments,
                                       std::size_t& i, std::string_view name) {
  const std::string_view argument = arguments[i];
  if (argument.starts_with(name) && argument.size() > name.size() && argument[name.size()] == '=') {
    return std::string(argument.substr(name.size() + 1));
  }
  if (argument != name) return std::nullopt;
  if (i + 1 == arguments.size()) {
    NoteError(line, "option " + std::string(name) + " needs a value");
    return std::string();
  }
  return arguments[++i];
}

void CheckCombination(CommandLine& line) {
  const bool status = line.remote == RemoteAction::kStatus || line.remote == RemoteAction::kWatch;
  if (line.format != StatusFormat::kText && !status) {
    NoteError(line, "--json and --format go with --status or --watch");
  }
  if (line.remote == RemoteAction::kWatch && line.format == StatusFormat::kText) {
    NoteError(line, "--watch needs --json or --format waybar");
  }
  if (line.remote == RemoteAction::kWorkType && line.work_type.empty()) {
    NoteError(line, "option --work-type needs a name");
  }
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (Is(argument, "--help", "-h")) {
      line.help = true;
    } else if (Is(argument, "--version", "-v")) {
      line.version = true;
    } else if (const std::optional<RemoteAction> action = RemoteFor(argument)) {
      SetRemote(line, *action);
    } else if (argument == "--json") {
      line.format = StatusFormat::kJson;
    } else if (std::optional<std::string> format = OptionValue(line, arguments, i, "--format")) {
      if (*format == "json") {
        line.format = StatusFormat::kJson;
      } else if (*format == "waybar") {
        line.format = StatusFormat::kWaybar;
      } else {
        NoteError(line, "--format takes json or waybar");
      }
    } else if (std::optional<std::string> name = OptionValue(line, arguments, i, "--work-type")) {
      SetRemote(line, RemoteAction::kWorkType);
      line.work_type = std::move(*name);
    } else if (std::optional<std::string> kind = OptionValue(line, arguments, i, "--export")) {
      if (line.remote || line.export_format) {
        NoteError(line, "only one control or export option at a time");
      }
      if (*kind == "csv") {
        line.export_format = ExportFormat::kCsv;
      } else if (*kind == "json") {
        line.export_format = ExportFormat::kJson;
      } else {
        NoteError(line, "--export takes csv or json");
      }
    } else if (argument.starts_with(kDataDirPrefix)) {
      line.data_dir = std::filesystem::path(argument.substr(kDataDirPrefix.size()));
    } else if (argument == kDataDirOption) {
      if (i + 1 == arguments.size()) {
        NoteError(line, "option --data-dir needs a directory");
      } else {
        line.data_dir = std::filesystem::path(arguments[++i]);
      }
    } else {
      NoteError(line, "unknown argument '" + std::string(argument) + "'");
    }
  }
  if (line.data_dir && line.data_dir->empty()) {
    NoteError(line, "option --data-dir needs a directory");
    line.data_dir.reset();
  }
  CheckCombination(line);
  return line;
}

std::string VersionText() {
  return std::string(kProgramTitle) + "\n";
}

std::string HelpText() {
  return "Usage: tolvi [options]\n"
         "Break reminder and work logger.\n"
         "\n"
         "Options:\n"
         "  --data-dir DIR   Keep the data files in DIR instead of the user's data folder\n"
         "                   (or beside a portable copy).\n"
         "  -v, --version    Print the version and exit.\n"
         "  -h, --help       Print this help and exit.\n"
         "\n"
         "Control of the running copy (exit 1 when none runs):\n"
         "  --status         Print the tooltip's words on one line.\n"
         "  --status --json  Print the status as one JSON object.\n"
         "  --watch --json   Print one JSON line at start and at every change.\n"
         "  --format waybar  With --status or --watch: text, tooltip and class for waybar.\n"
         "  --working, --break, --away, --meeting, --reset-reminder\n"
         "                   Choose that entry of the tray menu.\n"
         "  --work-type NAME Make the work type NAME current.\n"
         "  --show           Show the main window.\n"
         "\n"
         "  --export csv|json  Print the work types and the work log's days (read-only;\n"
         "                   needs no running copy; --data-dir applies).\n"
         "\n"
         "On Linux the standard Qt options (for example -platform NAME, -display DISPLAY)\n"
         "also apply.\n";
}

}  // namespace tolvi
