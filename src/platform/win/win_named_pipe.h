// The named pipe through which the command line controls the running copy:
// \\.\pipe\Tolvi-<session id>-<user SID>, one per user and log-on session.
// Only local clients of the same user may open it: remote clients are
// refused and its security descriptor grants access to the user alone.
//
// Byte mode, blocking handles. Any thread.
#pragma once

#include <windows.h>

#include <string>

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

}  // namespace tolvi
