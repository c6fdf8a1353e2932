// RecentWork: the 20 work types with the most time today, largest first.
// Read by the tray menu, the main window, the day line and the log totals;
// kept current by the monitor tick. Plain data, guarded by the shared-state
// lock like the rest of the running state.
//
// The operations below run with the shared-state lock held (monitor thread,
// or the GUI thread while the monitor leaves the records alone).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tolvi {

class RecordDatabase;
struct SharedState;

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

// Empties every entry (times, total and yesterday 0, id -1, name empty); the
// maximum is left as it was.
void ClearRecentWork(RecentWorkTable& table);

// Puts the record in place of the last entry when the last entry has less
// time today than the record's field 4, then re-sorts (largest first, equal
// values keep their order). A record that cannot be read changes nothing.
void InsertRecentWork(RecentWorkTable& table, const RecordDatabase& records,
                      std::int32_t record_id);

// Sorts by today's time, largest first, never swapping equal values.
void SortRecentWork(RecentWorkTable& table);

// Points CurrentSlot at the entry of the current record, else at the
// highest used entry named CurrentName, else at none (-1).
void FindCurrentSlot(SharedState& state);

// Clears the table, inserts every live record with more time today than the
// last entry, then FindCurrentSlot and UpdateTarget (no window).
void RebuildRecentWork(SharedState& state, const RecordDatabase& records);

}  // namespace tolvi
