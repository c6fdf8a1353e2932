// The named pipe through which the command line controls the running copy:
// \\.\pipe\Tolvi-<session id>-<user SID>, one per user and log-on session.
// Only local clients of the same user may open it: remote clients are
// refused and its security descriptor grants access to the user alone.
//
// Byte mode, blocking handles. Any thread.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "platform/win/win_handle.h"

namespace tolvi {

// The pipe's name for this process's user and session; empty when the
// user's SID cannot be read.
[[nodiscard]] std::wstring RemotePipeName();

// One server end of the pipe, not yet connected. The first instance a
// process makes is created with FILE_FLAG_FIRST_PIPE_INSTANCE, so a pipe
// of that name made by someone else is a failure, not a shared name.
[[nodiscard]] Status CreateRemotePipe(const std::wstring& name, bool first_instance,
                                      WinHandle& pipe);

// The client end; NotFound when no running copy serves the pipe.
[[nodiscard]] Status OpenRemotePipe(const std::wstring& name, WinHandle& pipe);

// Reads a pipe's bytes a line at a time, the "\n" dropped. Next is false
// at the pipe's end, on a failed read, or when a line grows past max_bytes
// (the sender is not one of ours). One reader per pipe end.
class PipeLineReader {
 public:
  PipeLineReader(HANDLE pipe, std::size_t max_bytes) : pipe_(pipe), max_bytes_(max_bytes) {}
  [[nodiscard]] bool Next(std::string& line);

 private:
  HANDLE pipe_;
  std::size_t max_bytes_;
  std::string buffered_;
};

// Writes line and "\n" whole; false when the other end went.
[[nodiscard]] bool WritePipeLine(HANDLE pipe, std::string_view line);

}  // namespace tolvi
