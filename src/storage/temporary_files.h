// Leftovers of interrupted saves: the hidden temporary files an atomic
// replace writes beside its target (platform/file_system.h names them).
// A save killed between creating and renaming its temporary file leaves
// one behind; nothing else ever removes them.
//
// Threads: run at start-up, while this program holds the single-instance
// lock and no save of its own is under way.
#pragma once

#include <filesystem>
#include <vector>

#include "platform/file_system.h"

namespace tolvi {

// Removes, in `directory`, the temporary files of this program's own data
// files and nothing else; returns the paths removed.
std::vector<std::filesystem::path> RemoveStaleTemporaryFiles(
    FileSystem& files, const std::filesystem::path& directory);

}  // namespace tolvi
