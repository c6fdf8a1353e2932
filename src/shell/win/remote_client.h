// The command line's remote controls on Windows (--status, --watch,
// --working, ...): each sends its request down the running copy's pipe
// (shell/win/remote_server.h) and never starts a copy. With no running
// copy it says so and returns 1 at once; a refused request is 1 too.
// --watch prints every line the copy sends until the copy ends (then 1) or
// standard output fails.
//
// Main thread; the writers put text on standard output and standard error
// byte for byte; out says whether all of it went (a failed standard error
// has nowhere to be told).
#pragma once

#include <functional>
#include <string_view>

#include "shell/command_line.h"

namespace tolvi::win {

inline constexpr int kExitNotRunning = 1;

struct ConsoleWriters {
  std::function<bool(std::string_view)> out;
  std::function<void(std::string_view)> errors;
};

// Precondition: line.remote is set.
[[nodiscard]] int RunRemoteControl(const CommandLine& line, const ConsoleWriters& console);

}  // namespace tolvi::win
