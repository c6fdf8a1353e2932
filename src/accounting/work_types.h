// Work accounting over the work-type records: the current work type's
// working copy (flush, load, select), the sums over all records, the day
// shift of one record and the seeding of a new day, and the record-level
// edits the dialogs and options use. Field numbers and the record schema
// live in accounting/work_type_record.h.
//
// Every function runs with the shared-state lock held: on the monitor
// thread, or on the GUI thread before the monitor starts, while it is
// parked on request 999, or for the options' "Zero" functions. The record
// database takes its own lock per operation. A record that cannot be read
// or written leaves the working values as they were; the functions that
// write return the first record write that failed (every write is tried),
// for the caller to tell the user.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/status.h"

namespace tolvi {

class RecordDatabase;
struct SharedState;

// Stores the working copy of today's time in the current work type's record.
Status FlushCurrentWorkType(SharedState& state, RecordDatabase& records);

// Copies the current work type's name, total, maximum, today's time and
// notes into the working copy, and asks for a tray refresh.
void LoadCurrentWorkType(SharedState& state, const RecordDatabase& records);

// When CurrentWorkType names no live record (a damaged or restored
// database), makes the first live record current and returns true; false
// when it was live (or no record is). The caller then loads it.
[[nodiscard]] bool ReplaceMissingCurrentWorkType(SharedState& state, const RecordDatabase& records);

// Makes record_id the current work type and loads it. The caller has
// flushed the old current work type.
void SelectCurrentById(SharedState& state, const RecordDatabase& records, std::int32_t record_id);

// After the Work Details dialog: sorts the records by name and makes the
// record named CurrentName current: the old current record, followed through
// the sort, when it still carries that name; else the first record of that
// name; else record 0. Then LoadCurrentWorkType.
Status SelectCurrentByName(SharedState& state, RecordDatabase& records);

// The first live work type whose name is exactly name; nullopt when none.
std::optional<std::int32_t> FindWorkTypeByName(const RecordDatabase& records,
                                               std::string_view name);

// Sum of a numeric field over all live records, wrapping at 2^32.
std::uint32_t SumField(const RecordDatabase& records, std::uint32_t field);

// Today's work is the sum of every record's today field. With the grand
// total, also the closed totals plus today's work in tenths of a minute,
// which is returned; else today's work is.
enum class GrandTotal : bool { kSkip = false, kCompute = true };
std::uint32_t ComputeTotals(SharedState& state, const RecordDatabase& records,
                            GrandTotal grand_total);

// Closes one day of one record: fields 4..9 move to 5..10, field 2 gains
// field 4 / 6000, the record enters RecentWork when its closed day beats the
// last entry, and field 4 becomes 0.
Status ShiftDay(SharedState& state, RecordDatabase& records, std::int32_t record_id);

// Gives every work type listed in RecentWork a token time for the new day
// (field 2 / 6000, at least 3, and 999 above 1000) so the ended day's list
// carries over, then LoadCurrentWorkType.
Status SeedRecentWork(SharedState& state, RecordDatabase& records);

// The token today's time of a seeded work type with the given total.
std::uint32_t SeedTime(std::uint32_t total);

// A new record named "New Work" with the default maximum; -1 when none
// could be added.
std::int32_t NewWorkType(RecordDatabase& records);

// A new record with the given name, maximum and notes, then initialised
// without its name (so its history is empty and its maximum the default
// again); -1 when none could be added.
std::int32_t CopyWorkType(RecordDatabase& records, std::string_view name, std::uint32_t maximum_ms,
                          std::string_view notes);

// Marks the record deleted and sorts the rest by name.
Status DeleteWorkType(RecordDatabase& records, std::int32_t record_id);

// Clears the totals, today's time and the day history of every live record,
// and the working copy of today's time.
Status ZeroWorkTypes(SharedState& state, RecordDatabase& records);

}  // namespace tolvi
