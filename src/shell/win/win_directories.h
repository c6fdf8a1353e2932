// The facts about this Windows system that decide where Tolvi keeps its
// files (platform/data_directory.h decides): the program's own folder,
// whether it is writable or on a removable drive, and the user's
// application-data folder, which stands in for the per-user data home.
//
// Main thread at start-up.
#pragma once

#include <filesystem>
#include <optional>

#include "platform/data_directory.h"

namespace tolvi::win {

// The folder of the running tolvi.exe; empty when it cannot be found.
std::filesystem::path ProgramDirectory();

DirectoryFacts GatherDirectoryFacts(std::optional<std::filesystem::path> data_dir_option);

}  // namespace tolvi::win
