// RecentWork: the 20 work types with the most time today, largest first.
// Read by the tray menu, the main window, the day line and the log totals;
// kept current by the monitor tick. The table is plain data in the shared
// state (state/shared_state.h), guarded by its lock.
//
// The operations below run with the shared-state lock held (monitor thread,
// or the GUI thread while the monitor leaves the records alone).
#pragma once

#include <cstdint>

#include "state/shared_state.h"

namespace tolvi {

class RecordDatabase;

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
