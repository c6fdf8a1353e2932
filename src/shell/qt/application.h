// Application: the desktop program from start to end. In order: the
// program and data directories, the single instance
// (a second copy waits 5 s for the first to end, then gives up quietly),
// the ports and the core, the data files (which may ask the welcome
// question or end the program), the main window shown or hidden, the
// monitor thread, the phrases; then the event loop; then the monitor's
// end and the save of "dTolvi.dat".
//
// The session manager's commit-data request saves the data at once;
// SIGTERM, SIGHUP and SIGINT end the program through the same exit as the
// Exit command, without its question, so the data is saved.
//
// GUI thread; one per process, after the QApplication exists.
#pragma once

#include <filesystem>
#include <optional>

#include "shell/command_line.h"

namespace tolvi {

inline constexpr int kExitOk = 0;
inline constexpr int kExitNoDataDirectory = 1;

// Runs the program with the data directory given on the command line, if
// any; returns the process's exit status.
int RunDesktopProgram(std::optional<std::filesystem::path> data_dir_option);

// `tolvi --export`: prints RunExportCommand's text (shell/export_command.h)
// on standard output and its complaints on standard error.
int RunExport(ExportFormat format, std::optional<std::filesystem::path> data_dir_option);

}  // namespace tolvi
