#include "accounting/work_type_record.h"

namespace tolvi {

void InitWorkType(RecordDatabase& records, std::int32_t record_id, bool named) {
  for (std::uint32_t field = work_type_field::kTotal; field <= work_type_field::kLastReserved;
       ++field) {
    (void)records.WriteNumber(record_id, field, 0);
  }
  (void)records.WriteNumber(record_id, work_type_field::kMaximum, kDefaultMaximumMs);
  if (!named) return;
  (void)records.WriteText(record_id, work_type_field::kName, kNewWorkName);
  (void)records.WriteText(record_id, work_type_field::kNotes, "");
  (void)records.WriteNumber(record_id, work_type_field::kToday, kNewWorkTodayMs);
}

void CreateInitialWorkTypes(RecordDatabase& records) {
  for (int i = 0; i < kInitialWorkTypes; ++i) {
    const std::int32_t id = records.NewRecord();
    if (id >= 0) InitWorkType(records, id, /*named=*/true);
  }
  (void)records.SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted);
  (void)records.SortRecords(work_type_field::kName);
}

Status CreateWorkTypeDatabase(RecordDatabase& records, const std::filesystem::path& path) {
  if (Status created = records.Create(path, kWorkTypeFieldTypes); !created.ok()) return created;
  if (Status opened = records.Open(path, /*writable=*/true); !opened.ok()) return opened;
  if (records.NewRecord() != kPlaceholderSlot) {
    records.Close();
    return Status::IoError("cannot add the first record to " + path.string());
  }
  return Status::Ok();
}

}  // namespace tolvi
