// The program's data files as the engine uses them: the start-up load of
// "dTolvi.dat" and "TlvDB.lbf" into the context, and the save of a snapshot
// of the block. Thin glue over storage/program_data_file.h so every front
// end loads and saves the same way.
//
// LoadProgramFiles runs on the GUI thread before the monitor starts;
// SaveProgramFiles on the GUI thread (exit, session end, Options OK) or
// wherever a day closes. Neither holds the state lock while it writes.
#pragma once

#include <functional>
#include <string_view>

#include "engine/core_context.h"
#include "storage/program_data_file.h"

namespace tolvi {

// Empty members take the work log's own (worklog/log_import.h).
struct LoadServices {
  // The version-250 upgrade's import dialog: true to go on.
  std::function<bool()> import_work;
  // Appends a plain line to the work log.
  std::function<void(std::string_view)> write_plain_log_line;
};

LoadResult LoadProgramFiles(CoreContext& context, const LoadServices& services = {});
Status SaveProgramFiles(CoreContext& context);

}  // namespace tolvi
