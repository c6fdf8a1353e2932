#include "engine/standard_hooks.h"

#include "engine/day_rollover.h"
#include "storage/program_data_file.h"

namespace tolvi {

void InstallStandardHooks(CoreContext& context) {
  context.hooks.backup_data_files = [](CoreContext& c) {
    // A failed copy keeps the previous backup; the next draw tries again.
    (void)BackupDataFiles(c.files, c.records, c.data_directory);
  };
  InstallDayRollover(context);
}

}  // namespace tolvi
