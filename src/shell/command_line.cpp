#include "shell/command_line.h"

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

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string_view argument = arguments[i];
    if (Is(argument, "--help", "-h")) {
      line.help = true;
    } else if (Is(argument, "--version", "-v")) {
      line.version = true;
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
  return line;
}

std::string VersionText() {
  return std::string(kProgramTitle) + "\n";
}

std::string HelpText() {
  return "Usage: tolvi [options]\n"
         "Break reminder and work logger for the Linux desktop.\n"
         "\n"
         "Options:\n"
         "  --data-dir DIR   Keep the data files in DIR instead of\n"
         "                   ~/.local/share/Drovik/Tolvi (or beside a portable copy).\n"
         "  -v, --version    Print the version and exit.\n"
         "  -h, --help       Print this help and exit.\n"
         "\n"
         "The standard Qt options (for example -platform NAME, -display DISPLAY) also apply.\n";
}

}  // namespace tolvi
