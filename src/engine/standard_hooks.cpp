#include "engine/standard_hooks.h"

#include "engine/day_rollover.h"
#include "storage/close_journal.h"
#include "storage/program_data_file.h"

namespace tolvi {

void InstallStandardHooks(CoreContext& context) {
  context.hooks.backup_data_files = [](CoreContext& c) {
    // While a day close waits for its save, "dTolvi.dat" on disk is still
    // the unclosed day: copies now would pair it with the closed database.
    if (c.files.Exists(CloseJournalPath(c.data_directory))) return;
    // A refused or failed copy keeps the previous backup; the next draw
    // tries again.
    BackupDataFiles(c.files, c.records, c.data_directory).IgnoreError();
  };
  InstallDayRollover(context);
}

}  // namespace tolvi
