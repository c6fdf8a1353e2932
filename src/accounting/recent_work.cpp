#include "accounting/recent_work.h"

#include <utility>

#include "accounting/targets.h"
#include "accounting/work_type_record.h"
#include "state/shared_state.h"
#include "storage/record_database.h"
#include "text/text.h"

namespace tolvi {

void ClearRecentWork(RecentWorkTable& table) {
  for (RecentWorkEntry& entry : table) {
    entry.today_ms = 0;
    entry.total = 0;
    entry.yesterday_ms = 0;
    entry.record_id = -1;
    entry.name.clear();
  }
}

void SortRecentWork(RecentWorkTable& table) {
  // A bubble sort that only ever swaps a larger value forward, so entries
  // with equal times keep the order in which they arrived.
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (std::size_t i = 1; i < table.size(); ++i) {
      if (table[i].today_ms > table[i - 1].today_ms) {
        std::swap(table[i], table[i - 1]);
        swapped = true;
      }
    }
  }
}

void InsertRecentWork(RecentWorkTable& table, const RecordDatabase& records,
                      std::int32_t record_id) {
  const std::optional<std::uint32_t> today = records.ReadNumber(record_id, work_type_field::kToday);
  if (!today) return;
  RecentWorkEntry& last = table.back();
  if (last.today_ms < *today) {
    last.today_ms = *today;
    last.record_id = record_id;
    last.total = records.ReadNumber(record_id, work_type_field::kTotal).value_or(0);
    last.yesterday_ms = records.ReadNumber(record_id, work_type_field::kYesterday).value_or(0);
    last.maximum_ms = records.ReadNumber(record_id, work_type_field::kMaximum).value_or(0);
    last.name = std::string(
        TruncateUtf8(records.ReadText(record_id, work_type_field::kName).value_or(std::string()),
                     kNameBytes - 1));
  }
  SortRecentWork(table);
}

void FindCurrentSlot(SharedState& state) REQUIRES(state.mutex) {
  // The entry of the current record itself wins: several work types may
  // share a name (a fresh database holds ten "New Work"). The name decides
  // only when the record's slot number has moved; empty entries never match.
  const auto current_id = static_cast<std::int32_t>(state.data.current_work_type);
  const std::string current_name = FieldText(state.data.current_name);
  std::int32_t by_name = -1;
  for (std::size_t i = 0; i < state.recent.size(); ++i) {
    const RecentWorkEntry& entry = state.recent[i];
    if (entry.record_id == -1) continue;
    if (entry.record_id == current_id && entry.name == current_name) {
      state.activity.current_slot = static_cast<std::int32_t>(i);
      return;
    }
    if (entry.name == current_name) by_name = static_cast<std::int32_t>(i);
  }
  state.activity.current_slot = by_name;
}

void RebuildRecentWork(SharedState& state, const RecordDatabase& records) REQUIRES(state.mutex) {
  ClearRecentWork(state.recent);
  for (const std::int32_t slot : records.LiveRecords()) {
    const std::uint32_t today = records.ReadNumber(slot, work_type_field::kToday).value_or(0);
    if (today > state.recent.back().today_ms) InsertRecentWork(state.recent, records, slot);
  }
  FindCurrentSlot(state);
  UpdateTarget(state, records);
}

}  // namespace tolvi
