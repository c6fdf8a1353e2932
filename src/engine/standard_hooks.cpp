#include "engine/standard_hooks.h"

#include "storage/program_data_file.h"

namespace tolvi {

void InstallStandardHooks(CoreContext& context) {
  context.hooks.backup_data_files = [](CoreContext& c) {
    // A failed copy keeps the previous backup; the next draw tries again.
    (void)BackupDataFiles(c.files, c.records, c.data_directory);
  };
  // The day rollover plugs into context.hooks.day_check here; until then
  // the engine opens days without closing them (engine/day_check.h).
}

}  // namespace tolvi
