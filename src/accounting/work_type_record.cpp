#include "accounting/work_type_record.h"

#include "text/text.h"

namespace tolvi {

Status InitWorkType(RecordDatabase& records, std::int32_t record_id, bool named) {
  FirstFailure failure;
  for (std::uint32_t field = work_type_field::kTotal; field <= work_type_field::kLastReserved;
       ++field) {
    failure.Note(records.WriteNumber(record_id, field, 0));
  }
  failure.Note(records.WriteNumber(record_id, work_type_field::kMaximum, kDefaultMaximumMs));
  if (!named) return failure.status();
  failure.Note(records.WriteText(record_id, work_type_field::kName, kNewWorkName));
  failure.Note(records.WriteText(record_id, work_type_field::kNotes, ""));
  failure.Note(records.WriteNumber(record_id, work_type_field::kToday, kNewWorkTodayMs));
  return failure.status();
}

Status CreateInitialWorkTypes(RecordDatabase& records) {
  FirstFailure failure;
  for (int i = 0; i < kInitialWorkTypes; ++i) {
    const std::int32_t id = records.NewRecord();
    failure.Note(id >= 0 ? InitWorkType(records, id, /*named=*/true) : records.last_error());
  }
  failure.Note(records.SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted));
  failure.Note(records.SortRecords(work_type_field::kName));
  return failure.status();
}

Status CreateWorkTypeDatabase(RecordDatabase& records, const std::filesystem::path& path) {
  if (Status created = records.Create(path, kWorkTypeFieldTypes); !created.ok()) return created;
  if (Status opened = records.Open(path, /*writable=*/true); !opened.ok()) return opened;
  if (records.NewRecord() != kPlaceholderSlot) {
    records.Close();
    return Status::IoError("cannot add the first record to " + PathText(path));
  }
  return Status::Ok();
}

}  // namespace tolvi
