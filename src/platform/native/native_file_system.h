// NativeFileSystem: the FileSystem port of the system being built for, for
// tools that run on either (the scenario runner). Stateless, like both.
#pragma once

#ifdef _WIN32
#include "platform/win/win_file_system.h"
namespace tolvi {
using NativeFileSystem = WinFileSystem;
}
#else
#include "platform/posix/posix_file_system.h"
namespace tolvi {
using NativeFileSystem = PosixFileSystem;
}
#endif
