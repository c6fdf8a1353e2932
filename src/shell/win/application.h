// Application: the Windows program from start to end. In order: the
// program and data directories, the single instance (the mutex
// "Tolvi.exe"; a second copy tries again after 5 s, then gives way
// quietly), the ports and the core, the data files (which may ask the
// welcome question or end the program), the main window shown or hidden,
// the monitor thread, the phrases; then the message loop until the window
// is destroyed; then the monitor's end and the save of "dTolvi.dat".
//
// Main (GUI) thread; once per process.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>

namespace tolvi::win {

inline constexpr int kExitOk = 0;
inline constexpr int kExitNoDataDirectory = 1;

// Runs the program with the data directory given on the command line, if
// any; returns the process's exit status.
int RunWindowsProgram(HINSTANCE instance, std::optional<std::filesystem::path> data_dir_option);

}  // namespace tolvi::win
