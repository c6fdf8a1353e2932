// SharedState: everything the monitor thread and the GUI thread share, under
// one mutex. The monitor holds the lock for a tick or a request; the GUI
// thread for a command, a save, or to copy a snapshot for painting. Nobody
// holds it while waiting for the other thread (a question to the user, a
// request hand-off): that rule keeps the design free of deadlocks.
#pragma once

#include <mutex>

#include "accounting/recent_work.h"
#include "state/activity_state.h"
#include "storage/program_data.h"
#include "worklog/work_log.h"

namespace tolvi {

struct SharedState {
  std::mutex mutex;
  ProgramData data{};
  ActivityState activity;
  RecentWorkTable recent;
  // Work-log lines waiting for a log that could not take them.
  WorkLogBacklog log_backlog;
};

}  // namespace tolvi
