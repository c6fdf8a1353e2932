#include "engine/program_files.h"

#include "engine/day_check.h"
#include "worklog/log_import.h"

namespace tolvi {

LoadResult LoadProgramFiles(CoreContext& context, const LoadServices& services) {
  const LoadServices work_log = WorkLogLoadServices(context);
  // Nothing else runs yet, but the day check takes the lock as it always
  // does, so the block is handed to the loader without holding it.
  DataFileContext files{
      .files = context.files,
      .clock = context.clock,
      .ui = context.ui,
      .data_directory = context.data_directory,
      .program_directory = context.program_directory,
      .records = context.records,
      .data = context.state.data,
      .day_check = [&context](ProgramData&) { RunDayCheck(context); },
      .import_work = services.import_work ? services.import_work : work_log.import_work,
      .write_plain_log_line = services.write_plain_log_line ? services.write_plain_log_line
                                                            : work_log.write_plain_log_line,
  };
  return LoadProgramData(files);
}

Status SaveProgramFiles(CoreContext& context) {
  const ProgramData snapshot = SnapshotProgramData(context.state.data, context.state.mutex);
  return SaveProgramData(context.files, context.data_directory, snapshot);
}

}  // namespace tolvi
