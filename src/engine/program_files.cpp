#include "engine/program_files.h"

#include "engine/day_check.h"
#include "storage/close_journal.h"
#include "worklog/log_import.h"

namespace tolvi {

LoadResult LoadProgramFiles(CoreContext& context, const LoadServices& services) {
  // An interrupted day close is undone before anything is read, so that the
  // day check below closes that day once, from the files as they were.
  std::vector<std::string> rollback_notices;
  if (RollBackInterruptedClose(context.files, context.clock, context.data_directory,
                               rollback_notices) == RollbackOutcome::kFailed) {
    return {.outcome = LoadOutcome::kQuit, .notices = std::move(rollback_notices)};
  }
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
  LoadResult result = LoadProgramData(files);
  result.notices.insert(result.notices.begin(), rollback_notices.begin(), rollback_notices.end());
  return result;
}

Status SaveProgramFiles(CoreContext& context) {
  // Held through the write: a block taken before a day close must not land
  // on disk after that close saved its own, nor remove its journal.
  const StateLock lock(context.state.mutex);
  const ProgramData& data = context.state.data;
  if (Status saved = SaveProgramData(context.files, context.data_directory, data); !saved.ok()) {
    return saved;
  }
  // A day close whose own save failed left its journal; this save holds
  // the closed day, so the journal has done its work.
  return ForgetCloseJournalIfSaved(context.files, context.data_directory, data.total_days);
}

void SaveProgramFilesOrTell(CoreContext& context) {
  const Status saved = SaveProgramFiles(context);
  bool tell = false;
  {
    const StateLock lock(context.state.mutex);
    bool& reported = context.state.activity.data_save_failure_reported;
    tell = !saved.ok() && !reported;
    reported = !saved.ok();
  }
  if (tell) context.ui.Notify("Tolvi cannot save its data file: " + saved.message());
}

}  // namespace tolvi
