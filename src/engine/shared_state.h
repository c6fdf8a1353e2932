// SharedState: everything the monitor thread and the GUI thread share, under
// one mutex. The monitor holds the lock for a tick or a request; the GUI
// thread for a command, a save, or to copy a snapshot for painting. Nobody
// holds it while waiting for the other thread (a question to the user, a
// request hand-off): that rule keeps the design free of deadlocks.
//
// The members are GUARDED_BY the mutex, and the functions that expect it
// held say REQUIRES, so a clang build with -Wthread-safety checks the rule.
#pragma once

#include "accounting/recent_work.h"
#include "state/activity_state.h"
#include "platform/mutex.h"
#include "platform/thread_annotations.h"
#include "storage/program_data.h"
#include "worklog/work_log.h"

namespace tolvi {

struct SharedState {
  Mutex mutex;
  ProgramData data GUARDED_BY(mutex){};
  ActivityState activity GUARDED_BY(mutex);
  RecentWorkTable recent GUARDED_BY(mutex);
  // Work-log lines waiting for a log that could not take them.
  WorkLogBacklog log_backlog GUARDED_BY(mutex);
};

}  // namespace tolvi
