// Fuzz target: the bytes of a "TlvDB.lbf", optionally followed by
// kScriptMark and a script of operations. A file that opens is worked by a
// fixed script touching every operation, then by the drawn script, with
// the invariants checked after each step; then it is closed and must open
// again with the same live records.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fakes/fake_file_system.h"
#include "fuzz_support.h"
#include "storage/record_database.h"

namespace tolvi::fuzz {
namespace {

constexpr std::string_view kScriptMark = "\n#~OPS~#\n";
constexpr const char* kPath = "/data/TlvDB.lbf";
constexpr std::string_view kKeys[] = {"", "a", "New Work", "0", "7", "\xC3\xA9"};

using FieldValue = std::variant<std::monostate, std::uint32_t, std::string>;
using Contents = std::vector<std::vector<FieldValue>>;

FieldValue ReadField(const RecordDatabase& db, std::int32_t slot, std::uint32_t field) {
  if (const auto number = db.ReadNumber(slot, field)) return *number;
  if (auto text = db.ReadText(slot, field)) return std::move(*text);
  return std::monostate{};
}

// Every live record's fields, in slot order.
Contents ContentsOf(const RecordDatabase& db) {
  Contents contents;
  for (const std::int32_t slot : db.LiveRecords()) {
    std::vector<FieldValue> fields;
    for (std::uint32_t field = 1; field <= db.field_count(); ++field) {
      fields.push_back(ReadField(db, slot, field));
    }
    contents.push_back(std::move(fields));
  }
  return contents;
}

void CheckListing(const RecordDatabase& db) {
  const std::vector<std::int32_t> live = db.LiveRecords();
  TOLVI_FUZZ_CHECK(live.size() == db.live_count());
  std::int32_t previous = -1;
  for (const std::int32_t slot : live) {
    TOLVI_FUZZ_CHECK(slot > previous);
    TOLVI_FUZZ_CHECK(static_cast<std::uint32_t>(slot) < db.capacity());
    previous = slot;
  }
}

void CheckWrites(RecordDatabase& db, std::int32_t slot, std::uint32_t field, std::uint32_t value,
                 const std::string& text) {
  if (db.WriteNumber(slot, field, value).ok()) {
    const std::uint32_t read = db.ReadNumber(slot, field).value_or(~value);
    TOLVI_FUZZ_CHECK(read == value || read == (value & 0xFFFFU) || read == (value & 0xFFU));
  }
  // Bytes that are not UTF-8 read back as Windows-1252, so only UTF-8 text
  // must come back as written.
  if (db.WriteText(slot, field, text).ok() && IsValidUtf8(text)) {
    const std::string read = db.ReadText(slot, field).value_or("\x01missing");
    TOLVI_FUZZ_CHECK(text.compare(0, read.size(), read) == 0);
    if (text.size() <= 3 && text.find('\0') == std::string::npos) TOLVI_FUZZ_CHECK(read == text);
  }
}

void CheckFind(const RecordDatabase& db, std::int32_t start, std::string_view key) {
  const std::int32_t found = db.FindRecord(start, key);
  if (found < 0) return;
  TOLVI_FUZZ_CHECK(found > start);
  const std::vector<std::int32_t> live = db.LiveRecords();
  TOLVI_FUZZ_CHECK(std::find(live.begin(), live.end(), found) != live.end());
}

void CheckCompaction(RecordDatabase& db) {
  const Contents before = ContentsOf(db);
  db.CompactRecords();
  CheckListing(db);
  TOLVI_FUZZ_CHECK(ContentsOf(db) == before);
}

void CheckSort(RecordDatabase& db, std::uint32_t field) {
  const std::uint32_t live_before = db.live_count();
  const auto before = ContentsOf(db);
  const Status sorted = db.SortRecords(field);
  CheckListing(db);
  TOLVI_FUZZ_CHECK(db.live_count() == live_before);
  // A sort that failed leaves every record where it was.
  if (!sorted.ok()) TOLVI_FUZZ_CHECK(ContentsOf(db) == before);
}

void CheckNewRecord(RecordDatabase& db) {
  const std::uint32_t live_before = db.live_count();
  const std::int32_t slot = db.NewRecord();
  if (!db.is_open()) return;
  CheckListing(db);
  if (slot < 0) return;
  TOLVI_FUZZ_CHECK(db.live_count() == live_before + 1);
  const std::vector<std::int32_t> live = db.LiveRecords();
  TOLVI_FUZZ_CHECK(std::find(live.begin(), live.end(), slot) != live.end());
}

void CheckDelete(RecordDatabase& db, std::int32_t slot) {
  const std::vector<std::int32_t> live = db.LiveRecords();
  const bool was_live = std::find(live.begin(), live.end(), slot) != live.end();
  const std::uint32_t live_before = db.live_count();
  if (!db.SetRecordStatus(slot, SlotStatus::kDeleted).ok()) return;
  CheckListing(db);
  TOLVI_FUZZ_CHECK(db.live_count() == live_before - (was_live ? 1U : 0U));
}

// One pass over every operation, on the first and last live slots.
void RunFixedScript(RecordDatabase& db) {
  CheckNewRecord(db);
  const std::vector<std::int32_t> live = db.LiveRecords();
  for (const std::int32_t slot :
       {live.empty() ? -1 : live.front(), live.empty() ? -1 : live.back()}) {
    for (std::uint32_t field = 0; field <= db.field_count() + 1; ++field) {
      CheckWrites(db, slot, field, 0x12345678U + field,
                  "Fix\xC3\xA9 text " + std::to_string(field));
    }
  }
  for (const std::string_view key : kKeys) CheckFind(db, -1, key);
  CheckCompaction(db);
  for (std::uint32_t field = 0; field <= db.field_count() + 1; ++field) CheckSort(db, field);
  db.MaintainCapacity();
  if (db.is_open()) CheckListing(db);
}

void RunDrawnScript(RecordDatabase& db, ByteReader& script, FakeFileSystem& files) {
  const auto slot_of = [&db](std::uint8_t pick) {
    const std::vector<std::int32_t> live = db.LiveRecords();
    if (pick >= 0xF0 || live.empty()) return static_cast<std::int32_t>(pick) - 0xF2;
    return live[pick % live.size()];
  };
  for (int step = 0; step < 64 && !script.Empty() && db.is_open(); ++step) {
    const std::uint8_t op = script.Byte();
    const std::uint32_t field = script.Byte() % (db.field_count() + 2);
    switch (op % 9) {
      case 0:
        CheckNewRecord(db);
        break;
      case 1:
        CheckDelete(db, slot_of(script.Byte()));
        break;
      case 2:
        CheckWrites(db, slot_of(script.Byte()), field, script.U32(), script.Text(40));
        break;
      case 3:
        CheckFind(db, slot_of(script.Byte()), script.Text(8));
        break;
      case 4:
        CheckCompaction(db);
        break;
      case 5:
        CheckSort(db, field);
        break;
      case 6:
        db.MaintainCapacity();
        break;
      case 7:
        files.FailNextResize();
        CheckNewRecord(db);
        files.FailNextResize();
        db.MaintainCapacity();
        break;
      default: {
        const std::int32_t slot = slot_of(script.Byte());
        const bool in_range = slot >= 0 && static_cast<std::uint32_t>(slot) < db.capacity();
        const Status set = db.SetRecordStatus(slot, static_cast<SlotStatus>(script.U32()));
        TOLVI_FUZZ_CHECK(set.ok() == (in_range && db.writable()));
      }
    }
    if (db.is_open()) CheckListing(db);
  }
}

void CheckReadOnly(FakeFileSystem& files) {
  RecordDatabase db(files, Collator{});
  if (!db.Open(kPath, /*writable=*/false).ok()) return;
  CheckListing(db);
  TOLVI_FUZZ_CHECK(db.NewRecord() == -1);
  for (const std::int32_t slot : db.LiveRecords()) {
    TOLVI_FUZZ_CHECK(!db.WriteNumber(slot, 1, 1).ok());
    TOLVI_FUZZ_CHECK(!db.WriteText(slot, 1, "x").ok());
  }
  TOLVI_FUZZ_CHECK(!db.SortRecords(1).ok());
  db.Close();
  TOLVI_FUZZ_CHECK(files.read_only_writes() == 0);
}

void Run(std::string_view input) {
  const std::vector<std::string_view> parts = SplitAt(input, kScriptMark);
  FakeFileSystem files;
  files.SetFile(kPath, std::string(parts[0]));
  CheckReadOnly(files);

  RecordDatabase db(files, Collator{});
  if (!db.Open(kPath, /*writable=*/true).ok()) {
    // A rejected file is left exactly as it was.
    TOLVI_FUZZ_CHECK(files.GetFile(kPath) == std::string(parts[0]));
    return;
  }
  CheckListing(db);
  RunFixedScript(db);
  ByteReader script(parts.size() > 1 ? parts[1] : std::string_view());
  if (db.is_open()) RunDrawnScript(db, script, files);
  if (!db.is_open() || db.busy()) return;

  const Contents before = ContentsOf(db);
  db.Close();
  TOLVI_FUZZ_CHECK(db.Open(kPath, /*writable=*/true).ok());
  TOLVI_FUZZ_CHECK(ContentsOf(db) == before);
}

}  // namespace
}  // namespace tolvi::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tolvi::fuzz::Run(tolvi::fuzz::AsText(data, size));
  return 0;
}
