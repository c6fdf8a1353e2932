#include "accounting/work_types.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "accounting/recent_work.h"
#include "accounting/work_type_record.h"
#include "state/shared_state.h"
#include "storage/record_database.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kMsPerTenthMinute = 6'000;
constexpr std::uint32_t kSeedMinimum = 3;
constexpr std::uint32_t kSeedLimit = 1'000;
constexpr std::uint32_t kSeedCapped = 999;

std::int32_t CurrentId(const SharedState& state) REQUIRES(state.mutex) {
  return static_cast<std::int32_t>(state.data.current_work_type);
}

}  // namespace

Status FlushCurrentWorkType(SharedState& state, RecordDatabase& records) REQUIRES(state.mutex) {
  return records.WriteNumber(CurrentId(state), work_type_field::kToday,
                             state.activity.current_today_ms);
}

void LoadCurrentWorkType(SharedState& state, const RecordDatabase& records) REQUIRES(state.mutex) {
  const std::int32_t id = CurrentId(state);
  ActivityState& activity = state.activity;
  if (const auto name = records.ReadText(id, work_type_field::kName)) {
    SetFieldText(state.data.current_name, *name);
  }
  activity.current_total =
      records.ReadNumber(id, work_type_field::kTotal).value_or(activity.current_total);
  activity.current_maximum_ms =
      records.ReadNumber(id, work_type_field::kMaximum).value_or(activity.current_maximum_ms);
  activity.current_today_ms =
      records.ReadNumber(id, work_type_field::kToday).value_or(activity.current_today_ms);
  if (const auto notes = records.ReadText(id, work_type_field::kNotes)) {
    activity.current_notes = *notes;
  }
  activity.tray_refresh_pending = true;
}

bool ReplaceMissingCurrentWorkType(SharedState& state, const RecordDatabase& records)
    REQUIRES(state.mutex) {
  const std::vector<std::int32_t> live = records.LiveRecords();
  if (live.empty() || std::find(live.begin(), live.end(), CurrentId(state)) != live.end()) {
    return false;
  }
  state.data.current_work_type = static_cast<std::uint32_t>(live.front());
  return true;
}

void SelectCurrentById(SharedState& state, const RecordDatabase& records, std::int32_t record_id)
    REQUIRES(state.mutex) {
  state.data.current_work_type = static_cast<std::uint32_t>(record_id);
  LoadCurrentWorkType(state, records);
}

Status SelectCurrentByName(SharedState& state, RecordDatabase& records) REQUIRES(state.mutex) {
  const std::string name = FieldText(state.data.current_name);
  const std::int32_t old_id = CurrentId(state);
  // The sort is stable, so records of one name keep their order: the old
  // current record is found again as the same one among its namesakes.
  const auto named = [&](std::int32_t slot) {
    return records.ReadText(slot, work_type_field::kName).value_or(std::string()) == name;
  };
  std::optional<std::size_t> rank;
  if (named(old_id)) {
    std::size_t before = 0;
    for (const std::int32_t slot : records.LiveRecords()) {
      if (slot == old_id) {
        rank = before;
        break;
      }
      if (named(slot)) ++before;
    }
  }
  // A failed sort leaves the records as they were, where the rank finds the
  // same record.
  Status sorted = records.SortRecords(work_type_field::kName);
  std::int32_t chosen = 0;
  std::size_t seen = 0;
  for (const std::int32_t slot : records.LiveRecords()) {
    if (!named(slot)) continue;
    if (!rank || seen == *rank) {
      chosen = slot;
      break;
    }
    ++seen;
  }
  state.data.current_work_type = static_cast<std::uint32_t>(chosen);
  LoadCurrentWorkType(state, records);
  return sorted;
}

std::optional<std::int32_t> FindWorkTypeByName(const RecordDatabase& records,
                                               std::string_view name) {
  for (const std::int32_t slot : records.LiveRecords()) {
    const std::optional<std::string> stored = records.ReadText(slot, work_type_field::kName);
    // ReadText gives old Windows-1252 names as UTF-8, as the caller's are.
    if (stored && *stored == name) return slot;
  }
  return std::nullopt;
}

std::uint32_t SumField(const RecordDatabase& records, std::uint32_t field) {
  std::uint32_t sum = 0;
  for (const std::int32_t slot : records.LiveRecords()) {
    sum += records.ReadNumber(slot, field).value_or(0);
  }
  return sum;
}

std::uint32_t ComputeTotals(SharedState& state, const RecordDatabase& records,
                            GrandTotal grand_total) REQUIRES(state.mutex) {
  state.data.work_today_ms = SumField(records, work_type_field::kToday);
  if (grand_total == GrandTotal::kSkip) return state.data.work_today_ms;
  state.activity.grand_total =
      SumField(records, work_type_field::kTotal) + state.data.work_today_ms / kMsPerTenthMinute;
  return state.activity.grand_total;
}

Status ShiftDay(SharedState& state, RecordDatabase& records, std::int32_t record_id)
    REQUIRES(state.mutex) {
  FirstFailure failure;
  for (std::uint32_t field = work_type_field::kSixDaysBack - 1; field >= work_type_field::kToday;
       --field) {
    if (const auto value = records.ReadNumber(record_id, field)) {
      failure.Note(records.WriteNumber(record_id, field + 1, *value));
    }
  }
  const std::uint32_t closed = records.ReadNumber(record_id, work_type_field::kToday).value_or(0);
  const std::uint32_t total = records.ReadNumber(record_id, work_type_field::kTotal).value_or(0);
  failure.Note(
      records.WriteNumber(record_id, work_type_field::kTotal, total + closed / kMsPerTenthMinute));
  if (closed > state.recent.back().today_ms) InsertRecentWork(state.recent, records, record_id);
  failure.Note(records.WriteNumber(record_id, work_type_field::kToday, 0));
  return failure.status();
}

std::uint32_t SeedTime(std::uint32_t total) {
  const std::uint32_t seed = total / kMsPerTenthMinute;
  if (seed < kSeedMinimum) return kSeedMinimum;
  if (seed > kSeedLimit) return kSeedCapped;
  return seed;
}

Status SeedRecentWork(SharedState& state, RecordDatabase& records) REQUIRES(state.mutex) {
  FirstFailure failure;
  for (const RecentWorkEntry& entry : state.recent) {
    if (entry.record_id == -1) continue;
    const auto total = records.ReadNumber(entry.record_id, work_type_field::kTotal);
    if (!total) continue;
    failure.Note(records.WriteNumber(entry.record_id, work_type_field::kToday, SeedTime(*total)));
  }
  LoadCurrentWorkType(state, records);
  return failure.status();
}

std::int32_t NewWorkType(RecordDatabase& records) {
  const std::int32_t id = records.NewRecord();
  if (id < 0) return id;
  return InitWorkType(records, id, /*named=*/true).ok() ? id : -1;
}

std::int32_t CopyWorkType(RecordDatabase& records, std::string_view name, std::uint32_t maximum_ms,
                          std::string_view notes) {
  const std::int32_t id = records.NewRecord();
  if (id < 0) return id;
  FirstFailure failure;
  failure.Note(records.WriteText(id, work_type_field::kName, name));
  failure.Note(records.WriteNumber(id, work_type_field::kMaximum, maximum_ms));
  failure.Note(records.WriteText(id, work_type_field::kNotes, notes));
  failure.Note(InitWorkType(records, id, /*named=*/false));
  return failure.status().ok() ? id : -1;
}

Status DeleteWorkType(RecordDatabase& records, std::int32_t record_id) {
  if (Status deleted = records.SetRecordStatus(record_id, SlotStatus::kDeleted); !deleted.ok()) {
    return deleted;
  }
  return records.SortRecords(work_type_field::kName);
}

Status ZeroWorkTypes(SharedState& state, RecordDatabase& records) REQUIRES(state.mutex) {
  FirstFailure failure;
  for (const std::int32_t slot : records.LiveRecords()) {
    for (std::uint32_t field = work_type_field::kToday; field <= work_type_field::kSixDaysBack;
         ++field) {
      failure.Note(records.WriteNumber(slot, field, 0));
    }
    failure.Note(records.WriteNumber(slot, work_type_field::kTotal, 0));
  }
  state.activity.current_today_ms = 0;
  return failure.status();
}

}  // namespace tolvi
