// RecentWork: the 20 work types with the most time today, largest first.
// Read by the tray menu, the main window, the day line and the log totals;
// kept current by the monitor tick. Plain data, guarded by the shared-state
// lock like the rest of the running state.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tolvi {

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

}  // namespace tolvi
