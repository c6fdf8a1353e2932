// The facts about this system that decide where Tolvi keeps its files: the
// program's own directory, whether it is writable, installed or on a
// removable drive, and the user's home and XDG data folder. The decision
// itself is made by platform/data_directory.h.
//
// Main thread at start-up.
#pragma once

#include <filesystem>
#include <optional>

#include "platform/data_directory.h"

namespace tolvi {

// The directory of the running executable; empty when it cannot be found.
std::filesystem::path ExecutableDirectory();

DirectoryFacts GatherDirectoryFacts(std::optional<std::filesystem::path> data_dir_option);

// Where the shipped files ("Text.txt", the read-me) are: share/tolvi beside
// an installed program's bin/, the program directory otherwise.
std::filesystem::path ResourceDirectory(const DirectoryFacts& facts);

}  // namespace tolvi
