// The program's data files as the engine uses them: the start-up load of
// "dTolvi.dat" and "TlvDB.lbf" into the context, and the save of a snapshot
// of the block. Thin glue over engine/program_data_load.h and
// storage/program_data_file.h so every front end loads and saves the same
// way.
//
// LoadProgramFiles first undoes a day close that was interrupted (its
// journal "TlvClose.jnl", storage/close_journal.h), then loads. A journal
// that cannot be applied ends the load with kQuit and its notice, nothing
// else changed. SaveProgramFiles removes the journal of a close whose own
// save failed, once the block it writes holds the closed day.
//
// LoadProgramFiles runs on the GUI thread before the monitor starts;
// SaveProgramFiles on the GUI thread (exit, session end, Options OK). It
// takes the state lock and holds it through the write, so it must not be
// called with the lock held; a save then never lands a block older than
// the one a day close saved.
#pragma once

#include "engine/program_data_load.h"
#include "state/core_context.h"
#include "worklog/log_import.h"

namespace tolvi {

LoadResult LoadProgramFiles(CoreContext& context, const LoadServices& services = {});
Status SaveProgramFiles(CoreContext& context);
// SaveProgramFiles for the save points the user does not watch (the
// housekeeping save, Options OK, the session's end): the first failure
// after a success tells the user, later ones stay quiet until a save works.
void SaveProgramFilesOrTell(CoreContext& context);

}  // namespace tolvi
