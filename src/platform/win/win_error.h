// Win32 errors as Status values with readable messages. Pure functions; any
// thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/status.h"

namespace tolvi {

// The system's text for a GetLastError() code, without the trailing newline.
std::string SystemErrorText(std::uint32_t error);
// "<what> <path>: <system text>"; NotFound for a missing file or folder,
// IoError for anything else.
Status WinErrorStatus(const std::string& what, const std::filesystem::path& path,
                      std::uint32_t error);

}  // namespace tolvi
