// SharedState: everything the monitor thread and the GUI thread share, under
// one mutex. The monitor holds the lock for a tick or a request; the GUI
// thread for a command, a save, or to copy a snapshot for painting. Nobody
// holds it while waiting for the other thread (a question to the user, a
// request hand-off): that rule keeps the design free of deadlocks.
//
// The members are GUARDED_BY the mutex, and the functions that expect it
// held say REQUIRES, so a clang build with -Wthread-safety checks the rule.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/mutex.h"
#include "platform/thread_annotations.h"
#include "state/activity_state.h"
#include "storage/program_data.h"

namespace tolvi {

// One entry of the table of the work types with the most time today
// (accounting/recent_work.h keeps it sorted).
struct RecentWorkEntry {
  std::uint32_t today_ms = 0;      // the sort key
  std::int32_t record_id = -1;     // -1 = empty entry
  std::uint32_t total = 0;         // tenths of a minute (record field 2)
  std::uint32_t yesterday_ms = 0;  // record field 5
  std::uint32_t maximum_ms = 0;    // record field 3
  std::string name;                // at most 59 bytes
};

inline constexpr std::size_t kRecentWorkEntries = 20;
using RecentWorkTable = std::array<RecentWorkEntry, kRecentWorkEntries>;

// What outlives one WorkLog view: the lines that not even the pending file
// could take (all newer than the file's), and whether the user has been
// told of the current outage.
struct WorkLogBacklog {
  std::string unsaved;
  bool outage_reported = false;
};

struct SharedState {
  Mutex mutex;
  ProgramData data GUARDED_BY(mutex){};
  ActivityState activity GUARDED_BY(mutex);
  RecentWorkTable recent GUARDED_BY(mutex);
  // Work-log lines waiting for a log that could not take them.
  WorkLogBacklog log_backlog GUARDED_BY(mutex);
};

}  // namespace tolvi
