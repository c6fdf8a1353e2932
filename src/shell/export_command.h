// `tolvi --export csv|json`: the data directory's work types and the work
// log's days as one text, the same bytes on every system (CSV lines end in
// "\r\n", JSON in "\n"). Only reads: the record database is opened
// read-only and nothing is created, so it is safe while the program runs.
//
// The front end gathers the directory facts, prints `out` on standard
// output and `errors` on standard error, byte for byte, and exits with
// exit_code. Any thread; borrows the file system for the call.
#pragma once

#include <string>

#include "platform/data_directory.h"
#include "platform/file_system.h"
#include "shell/command_line.h"

namespace tolvi {

struct ExportOutcome {
  int exit_code = 0;   // 1 when the directory or its database cannot be read
  std::string out;     // the export, empty on failure
  std::string errors;  // "tolvi: ..." lines, each ended by "\n"
};

[[nodiscard]] ExportOutcome RunExportCommand(FileSystem& files, const DirectoryFacts& facts,
                                             ExportFormat format);

}  // namespace tolvi
