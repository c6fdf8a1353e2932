#include "storage/record_database.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <initializer_list>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "fakes/fake_file_system.h"
#include "platform/native/native_file_system.h"

namespace tolvi {
namespace {

// The work-type schema: name, twelve numbers, notes.
constexpr std::array<std::uint32_t, 14> kSystemTypes = {12, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 13};
constexpr std::size_t kFirstSlot = 1556;
constexpr std::size_t kRecord = 416;
constexpr std::size_t kNameAt = 4;     // field 1, 64 bytes
constexpr std::size_t kNumberAt = 68;  // field 2; field k at 68 + 4 * (k - 2)
constexpr std::size_t kNotesAt = 116;  // field 14, 300 bytes
constexpr std::uint32_t kName = 1;
constexpr std::uint32_t kNotes = 14;
const std::filesystem::path kPath = "/data/TlvDB.lbf";

int ByteOrder(std::string_view a, std::string_view b) {
  return a.compare(b);
}

void PutU32(std::string& image, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) image[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::uint32_t GetU32(const std::string& image, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(image[at + i]);
  return value;
}

std::size_t SlotAt(std::size_t slot) {
  return kFirstSlot + slot * kRecord;
}

// The header of a database of `fields` fields and `capacity` slots, in an
// image of `size` zero bytes.
std::string Header(std::size_t size, std::uint32_t fields, std::uint32_t capacity) {
  std::string image(size, '\0');
  std::memcpy(image.data(), "DATA1000", 8);
  PutU32(image, 608, 1);
  PutU32(image, 1352, 2);
  PutU32(image, 1356, fields);
  PutU32(image, 1360, capacity);
  PutU32(image, 1364, 2);
  return image;
}

// A work-type database written out by hand: header, field table with the
// slot-0 offsets, then `capacity` zero slots (or `size` bytes if larger).
std::string SystemImage(std::uint32_t capacity, std::size_t size = 0) {
  std::string image = Header(std::max(SlotAt(capacity), size), 14, capacity);
  PutU32(image, 1444, 12);
  PutU32(image, 1448, 1560);
  for (std::uint32_t field = 2; field <= 13; ++field) {
    PutU32(image, 1444 + 8 * (field - 1), 2);
    PutU32(image, 1448 + 8 * (field - 1), 1624 + 4 * (field - 2));
  }
  PutU32(image, 1548, 13);
  PutU32(image, 1552, 1672);
  return image;
}

// A database of one field of the given type (slot 0 at 1452), with
// `capacity` zero slots and `trailing` bytes after them.
std::string OneFieldImage(std::uint32_t type, std::uint32_t record_size, std::uint32_t capacity,
                          std::size_t trailing = 0) {
  std::string image = Header(1452 + std::size_t{record_size} * capacity + trailing, 1, capacity);
  PutU32(image, 1444, type);
  PutU32(image, 1448, 1456);
  return image;
}

constexpr std::uint32_t kLive = 10;
constexpr std::uint32_t kDeleted = 5;

void SetSlot(std::string& image, std::size_t slot, std::uint32_t status, std::string_view name) {
  PutU32(image, SlotAt(slot), status);
  std::memcpy(image.data() + SlotAt(slot) + kNameAt, name.data(), name.size());
}

struct SlotContents {
  std::size_t slot;
  std::uint32_t status;
  std::string_view name;
};

std::string ImageWith(std::uint32_t capacity, std::initializer_list<SlotContents> slots) {
  std::string image = SystemImage(capacity);
  for (const SlotContents& s : slots) SetSlot(image, s.slot, s.status, s.name);
  return image;
}

// Three live records out of name order behind a deleted slot.
std::string Unsorted() {
  return ImageWith(20, {{0, kDeleted, "x"}, {1, kLive, "c"}, {2, kLive, "a"}, {3, kLive, "b"}});
}

class RecordDatabaseTest : public ::testing::Test {
 protected:
  FakeFileSystem files_;
  RecordDatabase db_{files_, ByteOrder};

  void OpenImage(const std::string& image, bool writable = true) {
    files_.SetFile(kPath, image);
    ASSERT_TRUE(db_.Open(kPath, writable).ok());
  }
  std::string FileNow() {
    db_.Close();
    return files_.GetFile(kPath).value_or("");
  }
  std::vector<std::string> LiveNames() {
    std::vector<std::string> names;
    for (const std::int32_t slot : db_.LiveRecords()) names.push_back(*db_.ReadText(slot, kName));
    return names;
  }
};

// The file is as long as the slots, and at least 5000 bytes past the header.
TEST_F(RecordDatabaseTest, CreateWritesTheLayoutByteForByte) {
  ASSERT_TRUE(db_.Create(kPath, kSystemTypes).ok());
  // 15 zero slots follow the field table, more than the 5000 reserved bytes.
  const std::string expected = SystemImage(10, SlotAt(15));
  ASSERT_EQ(expected.size(), 7796U);
  EXPECT_EQ(files_.GetFile(kPath), expected);
  EXPECT_FALSE(db_.is_open());
  // One byte field: ten slots of 5 bytes, then zeros to 5000 bytes past the header.
  const std::array<std::uint32_t, 1> types = {0};
  ASSERT_TRUE(db_.Create(kPath, types).ok());
  EXPECT_EQ(files_.GetFile(kPath), OneFieldImage(0, 5, 10, 1444 + 5000 - 1452 - 50));
}

TEST_F(RecordDatabaseTest, CreateRefusesSchemasItCouldNotOpen) {
  EXPECT_EQ(db_.Create(kPath, std::span<const std::uint32_t>()).code(),
            Status::Code::kInvalidArgument);
  const std::array<std::uint32_t, 2> types = {2, 0x80000000U};
  EXPECT_EQ(db_.Create(kPath, types).code(), Status::Code::kInvalidArgument);
  // 42 texts of 5000 bytes: the 5 spare created slots would end over 1 MiB
  // past the slots.
  const std::vector<std::uint32_t> huge(42, 15);
  EXPECT_EQ(db_.Create(kPath, huge).code(), Status::Code::kInvalidArgument);
  EXPECT_FALSE(files_.GetFile(kPath).has_value());
}

TEST_F(RecordDatabaseTest, CreateKeepsTheOldFileWhenTheWriteFails) {
  const std::string old = SystemImage(10);
  files_.SetFile(kPath, old);
  files_.FailNextWrite(100);
  EXPECT_FALSE(db_.Create(kPath, kSystemTypes).ok());
  EXPECT_EQ(files_.GetFile(kPath), old);
}

struct CapacityCase {
  std::uint32_t capacity;
  std::uint32_t live;
  std::uint32_t expected;
  std::int32_t new_slot;
  friend void PrintTo(const CapacityCase& c, std::ostream* out) {
    *out << "S=" << c.capacity << " live=" << c.live;
  }
};

class CapacityRuleTest : public RecordDatabaseTest,
                         public ::testing::WithParamInterface<CapacityCase> {};

// A shrink compacts first, keeping the records' order, and the new record
// takes the lowest free slot after that.
TEST_P(CapacityRuleTest, NewRecordAppliesTheCapacityRules) {
  const CapacityCase c = GetParam();
  std::string image = SystemImage(c.capacity);
  // Live records on even slots first, so a shrink has something to compact.
  std::vector<std::string> names(c.capacity);
  for (std::uint32_t i = 0, slot = 0; i < c.live; ++i) {
    slot = (2 * i < c.capacity) ? 2 * i : 2 * (i - (c.capacity + 1) / 2) + 1;
    names[slot] = "r" + std::to_string(slot);
    SetSlot(image, slot, kLive, names[slot]);
  }
  std::erase(names, "");
  OpenImage(image);
  const std::int32_t slot = db_.NewRecord();
  EXPECT_EQ(slot, c.new_slot);
  EXPECT_EQ(db_.capacity(), c.expected);
  ASSERT_TRUE(db_.SetRecordStatus(slot, SlotStatus::kDeleted).ok());
  EXPECT_EQ(LiveNames(), names);
  EXPECT_EQ(FileNow().size(), SlotAt(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CapacityRuleTest,
    ::testing::Values(CapacityCase{10, 1, 20, 1},          // free 9 < 10: grow by 10
                      CapacityCase{200, 188, 211, 177},    // 94 %: grow by 188 / 16
                      CapacityCase{1000, 900, 1000, 801},  // exactly 90 %: stay
                      CapacityCase{200, 150, 200, 101},    // 75 %: stay
                      CapacityCase{1000, 700, 1000, 401},  // exactly 70 %: stay
                      CapacityCase{160, 100, 130, 100},    // 62 %: compact, shrink by 160 * 3 / 16
                      CapacityCase{60, 20, 50, 20},        // 33 %, at most 100: shrink by 10
                      CapacityCase{50, 20, 50, 1}));       // not above 50: stay

TEST_F(RecordDatabaseTest, NewRecordReusesTheLowestFreeSlotWithItsOldContents) {
  OpenImage(ImageWith(20, {{0, kLive, "keep"}, {1, kDeleted, "old"}, {2, kLive, "keep"}}));
  EXPECT_EQ(db_.NewRecord(), 1);
  EXPECT_EQ(db_.ReadText(1, kName), "old");
  EXPECT_EQ(db_.NewRecord(), 3);
  EXPECT_EQ(db_.live_count(), 4U);
}

TEST_F(RecordDatabaseTest, CompactionMovesLiveRecordsForwardInOrder) {
  OpenImage(ImageWith(
      20,
      {{0, kDeleted, "x"}, {1, kLive, "a"}, {3, kLive, "b"}, {4, kDeleted, "y"}, {6, kLive, "c"}}));
  // a passes 1 free slot, b 2, c 4: one move per free slot passed.
  EXPECT_EQ(db_.CompactRecords(), RecordDatabase::kMoveBudget - 7);
  EXPECT_EQ(db_.LiveRecords(), (std::vector<std::int32_t>{0, 1, 2}));
  EXPECT_EQ(LiveNames(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_FALSE(db_.busy());
  const std::string after = FileNow();
  for (const std::size_t vacated : {3, 6}) EXPECT_EQ(GetU32(after, SlotAt(vacated)), kDeleted);
}

TEST_F(RecordDatabaseTest, CompactionStopsWhenTheMoveBudgetRunsOut) {
  // 1000 free slots before 600 records: each record costs 1000 moves, so the
  // budget is spent after the 500th, which sat in slot 1499.
  std::string image = SystemImage(1600);
  for (std::uint32_t slot = 1000; slot < 1600; ++slot) {
    SetSlot(image, slot, 10, std::to_string(slot));
  }
  OpenImage(image);
  EXPECT_EQ(db_.CompactRecords(), 0U);
  EXPECT_TRUE(db_.busy());
  EXPECT_EQ(db_.busy_text(), "Database is sorting; 1499 \\ 1600");
  const std::vector<std::int32_t> live = db_.LiveRecords();
  ASSERT_EQ(live.size(), 600U);
  EXPECT_EQ(live[499], 499);
  EXPECT_EQ(live[500], 1500);
  EXPECT_EQ(db_.ReadText(0, kName), "1000");
  EXPECT_EQ(db_.ReadText(499, kName), "1499");
}

TEST_F(RecordDatabaseTest, SortCompactsAndKeepsEqualKeysInTheirOrder) {
  // Enough records that an unstable sort would reorder equal keys.
  std::string image = SystemImage(100);
  constexpr std::array<const char*, 3> kNames = {"b", "a", "c"};
  for (std::uint32_t slot = 0; slot < 90; ++slot) {
    SetSlot(image, slot, slot % 9 == 4 ? 5 : 10, kNames[slot * 7 % 3]);
    PutU32(image, SlotAt(slot) + kNumberAt, slot);
  }
  OpenImage(image);
  ASSERT_TRUE(db_.SortRecords(kName).ok());
  const std::vector<std::int32_t> live = db_.LiveRecords();
  ASSERT_EQ(live.size(), 80U);
  EXPECT_EQ(live.back(), 79) << "compacted to the front";
  std::string previous_name;
  std::uint32_t previous_tag = 0;
  for (const std::int32_t slot : live) {
    const std::string name = *db_.ReadText(slot, kName);
    const std::uint32_t tag = *db_.ReadNumber(slot, 2);
    ASSERT_LE(previous_name, name);
    if (name == previous_name) {
      EXPECT_LT(previous_tag, tag) << name;
    }
    previous_name = name;
    previous_tag = tag;
  }
}

TEST_F(RecordDatabaseTest, SortComparesNumbersAsSignedDecimalText) {
  std::string image = SystemImage(20);
  const std::array<std::uint32_t, 5> values = {9, 10, 0xFFFFFFFFU, 100, 2};
  for (std::size_t slot = 0; slot < values.size(); ++slot) {
    SetSlot(image, slot, 10, "");
    PutU32(image, SlotAt(slot) + kNumberAt, values[slot]);
  }
  OpenImage(image);
  ASSERT_TRUE(db_.SortRecords(2).ok());
  std::vector<std::uint32_t> sorted;
  for (const std::int32_t slot : db_.LiveRecords()) sorted.push_back(*db_.ReadNumber(slot, 2));
  EXPECT_EQ(sorted, (std::vector<std::uint32_t>{0xFFFFFFFFU, 10, 100, 2, 9}));
}

TEST_F(RecordDatabaseTest, SortOrdersByTheInjectedCollator) {
  RecordDatabase db(files_, [](std::string_view a, std::string_view b) { return b.compare(a); });
  files_.SetFile(kPath, Unsorted());
  ASSERT_TRUE(db.Open(kPath, true).ok());
  ASSERT_TRUE(db.SortRecords(kName).ok());
  EXPECT_EQ(db.ReadText(0, kName), "c");
  EXPECT_EQ(db.ReadText(2, kName), "a");
}

TEST_F(RecordDatabaseTest, SortDoesNothingItCannotDo) {
  EXPECT_FALSE(db_.SortRecords(kName).ok());  // closed
  OpenImage(ImageWith(20, {{0, kLive, "b"}, {1, kLive, "a"}}));
  EXPECT_FALSE(db_.SortRecords(0).ok());
  EXPECT_FALSE(db_.SortRecords(15).ok());
  EXPECT_EQ(db_.ReadText(0, kName), "b");
}

struct FindCase {
  std::int32_t start;
  const char* key;
  std::int32_t expected;
  friend void PrintTo(const FindCase& c, std::ostream* out) {
    *out << "start " << c.start << " key '" << c.key << "'";
  }
};

class FindRecordTest : public RecordDatabaseTest, public ::testing::WithParamInterface<FindCase> {
 protected:
  void SetUp() override {
    std::string image = ImageWith(20, {{0, kLive, "Homework"},
                                       {1, kLive, "Gardening"},
                                       {2, kLive, "aab"},
                                       {3, kLive, "Filing"},
                                       {4, kLive, "x{y"},
                                       {5, kLive, "a`b"},
                                       {6, kDeleted, "Zebra"}});
    std::memcpy(image.data() + SlotAt(1) + kNotesAt, "More Work tomorrow", 18);
    PutU32(image, SlotAt(3) + kNumberAt + 12, 5);  // field 5
    OpenImage(image);
  }
};

TEST_P(FindRecordTest, FindsTheFirstMatchingLiveRecordAfterStart) {
  const FindCase c = GetParam();
  EXPECT_EQ(db_.FindRecord(c.start, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FindRecordTest,
    ::testing::Values(FindCase{0, "work", 1},    // slot 0 is never examined from 0
                      FindCase{-1, "work", 0},   // from -1 it is
                      FindCase{1, "work", -1},   // nothing after slot 1
                      FindCase{0, "GARDEN", 1},  // letters match either case
                      FindCase{0, "ab", -1},     // a mismatch is not retried as a start
                      FindCase{0, "aa", 2},      //
                      FindCase{0, "5", 3},       // a number field equal to the key
                      FindCase{0, "0", -1},      // key value 0 matches no number
                      FindCase{0, "", 1},        // empty key: any text field
                      FindCase{0, "x{y", -1},    // '{' and up never match
                      FindCase{0, "x", 4},       //
                      FindCase{0, "@", -1},      // '@' is no letter: not '`'
                      FindCase{0, "zebra", -1},  // deleted records are skipped
                      FindCase{25, "x", -1}));   // start past the end

TEST_F(RecordDatabaseTest, ReadTextStopsAtTheFieldEndWithoutATerminator) {
  std::string image = ImageWith(20, {{0, kLive, std::string(64, 'A')}});
  PutU32(image, SlotAt(0) + kNumberAt, 0x42424242);
  OpenImage(image);
  EXPECT_EQ(db_.ReadText(0, kName), std::string(63, 'A'));
  EXPECT_EQ(db_.FindRecord(-1, "B"), -1);
}

TEST_F(RecordDatabaseTest, WriteTextCutsAtTheFieldEndAndZeroesTheRest) {
  OpenImage(SystemImage(20));
  ASSERT_EQ(db_.NewRecord(), 0);
  ASSERT_TRUE(db_.WriteText(0, kName, std::string(70, 'x')).ok());
  EXPECT_EQ(db_.ReadText(0, kName), std::string(63, 'x'));
  ASSERT_TRUE(db_.WriteText(0, kName, "ab").ok());
  const std::string after = FileNow();
  EXPECT_EQ(after.substr(SlotAt(0) + kNameAt, 64), std::string("ab") + std::string(62, '\0'));
}

TEST_F(RecordDatabaseTest, NarrowNumberFieldsKeepTheLowBits) {
  const std::array<std::uint32_t, 4> types = {0, 1, 2, 3};
  ASSERT_TRUE(db_.Create(kPath, types).ok());
  ASSERT_TRUE(db_.Open(kPath, true).ok());
  ASSERT_EQ(db_.NewRecord(), 0);
  for (std::uint32_t field = 1; field <= 4; ++field) {
    ASSERT_TRUE(db_.WriteNumber(0, field, 0x12345678).ok());
  }
  EXPECT_EQ(db_.ReadNumber(0, 1), 0x78U);
  EXPECT_EQ(db_.ReadNumber(0, 2), 0x5678U);
  EXPECT_EQ(db_.ReadNumber(0, 4), 0x12345678U);
  // Slot 0 at 1444 + 4 * 8; status, then 1 + 2 + 4 + 8 bytes.
  const std::string after = FileNow();
  EXPECT_EQ(after.substr(1476 + 4, 15),
            std::string("\x78\x78\x56\x78\x56\x34\x12\x78\x56\x34\x12", 11) + std::string(4, '\0'));
}

TEST_F(RecordDatabaseTest, FieldAccessFailsOutsideTheRecords) {
  OpenImage(SystemImage(20));
  EXPECT_FALSE(db_.ReadNumber(0, 2).has_value()) << "no record is live";
  ASSERT_EQ(db_.NewRecord(), 0);
  EXPECT_FALSE(db_.ReadNumber(0, 0).has_value());
  EXPECT_FALSE(db_.ReadNumber(0, 15).has_value());
  EXPECT_FALSE(db_.ReadNumber(20, 2).has_value());
  EXPECT_FALSE(db_.ReadNumber(0, kName).has_value()) << "a text field";
  EXPECT_FALSE(db_.ReadText(0, 2).has_value()) << "a number field";
  EXPECT_FALSE(db_.WriteNumber(20, 2, 1).ok());
  EXPECT_FALSE(db_.WriteText(0, 2, "x").ok());
  EXPECT_FALSE(db_.SetRecordStatus(20, SlotStatus::kLive).ok());
}

TEST_F(RecordDatabaseTest, ReadOnlyDatabaseRefusesEveryChange) {
  const std::string image = ImageWith(20, {{0, kDeleted, "b"}, {1, kLive, "a"}});
  OpenImage(image, false);
  EXPECT_EQ(db_.ReadText(1, kName), "a");
  EXPECT_EQ(db_.NewRecord(), -1);
  EXPECT_FALSE(db_.WriteNumber(1, 2, 7).ok());
  EXPECT_FALSE(db_.WriteText(1, kName, "z").ok());
  EXPECT_FALSE(db_.SetRecordStatus(1, SlotStatus::kDeleted).ok());
  EXPECT_EQ(db_.CompactRecords(), RecordDatabase::kMoveBudget);
  EXPECT_FALSE(db_.SortRecords(kName).ok());
  EXPECT_EQ(FileNow(), image);
  EXPECT_EQ(files_.read_only_writes(), 0U);
}

struct HostileCase {
  const char* what;
  std::string (*image)();
  friend void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.what; }
};

class HostileFileTest : public RecordDatabaseTest,
                        public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileFileTest, OpenRejectsTheFileWithoutChangingIt) {
  const std::string image = GetParam().image();
  files_.SetFile(kPath, image);
  const Status status = db_.Open(kPath, true);
  EXPECT_EQ(status.code(), Status::Code::kCorruption);
  EXPECT_FALSE(db_.is_open());
  EXPECT_EQ(files_.GetFile(kPath), image);
}

// The work-type database with one live record, a u32 patched at `at` or cut
// to `size` bytes.
template <std::size_t kAt, std::uint32_t kValue>
std::string Patched() {
  std::string image = ImageWith(10, {{0, kLive, "placeholder"}});
  PutU32(image, kAt, kValue);
  return image;
}

template <std::size_t kSize>
std::string CutTo() {
  return ImageWith(10, {{0, kLive, "placeholder"}}).substr(0, kSize);
}

constexpr std::size_t kMiB = 1024 * 1024;

INSTANTIATE_TEST_SUITE_P(
    Files, HostileFileTest,
    ::testing::Values(
        HostileCase{"DATA0999", Patched<4, 0x39393930>},
        HostileCase{"data1000", Patched<0, 0x61746164>},
        HostileCase{"one byte short", CutTo<kFirstSlot + 10 * kRecord - 1>},
        HostileCase{"header cut", CutTo<1443>}, HostileCase{"no fields", Patched<1356, 0>},
        HostileCase{"field count all ones", Patched<1356, 0xFFFFFFFF>},
        HostileCase{"field table past the end", Patched<1356, 4000>},
        HostileCase{"one field too many", Patched<1356, 15>},
        HostileCase{"no slots", Patched<1360, 0>},
        HostileCase{"capacity top bit", Patched<1360, 0x80000000>},
        HostileCase{"capacity whose size overflows 32 bits", Patched<1360, 0x7FFFFFFF>},
        HostileCase{"type code top bit", Patched<1444, 0x80000000>},
        HostileCase{"last field larger than its slot", Patched<1548, 15>},
        HostileCase{"first field larger, offsets kept", Patched<1444, 13>},
        HostileCase{"offset off by one", Patched<1456, 1625>},
        HostileCase{"offset beyond the file", Patched<1552, 0xFFFFFF00>},
        // Files as long as they claim, so only the limits can refuse them.
        HostileCase{"ten million slots", [] { return OneFieldImage(0, 5, 10'000'000); }},
        HostileCase{"one slot over the limit", [] { return OneFieldImage(0, 5, 131'073); }},
        HostileCase{"slots ending past 64 MiB", [] { return OneFieldImage(15, 5004, 13'411); }},
        HostileCase{"2 MiB past the slots", [] { return SystemImage(10, SlotAt(10) + 2 * kMiB); }},
        HostileCase{"1 MiB and a byte past the slots",
                    [] { return OneFieldImage(0, 5, 10, kMiB + 1); }}));

TEST_F(RecordDatabaseTest, OpenAcceptsTheLargestFilesItAllows) {
  OpenImage(OneFieldImage(0, 5, 131'072, kMiB));
}

TEST_F(RecordDatabaseTest, OpenReportsAMissingFile) {
  EXPECT_EQ(db_.Open(kPath, true).code(), Status::Code::kNotFound);
  files_.SetFile(kPath, SystemImage(10));
  files_.FailAccess(kPath);
  EXPECT_EQ(db_.Open(kPath, true).code(), Status::Code::kIoError);
}

// Growth appends zero slots after the end of the file, not of the last
// slot, and clears what lies between: damage there must not come alive.
TEST_F(RecordDatabaseTest, GrowthAppendsZeroSlotsAndRaisesNoRecordsFromBytesPastTheLastSlot) {
  std::string image = SystemImage(10, SlotAt(15));
  SetSlot(image, 0, kLive, "real");
  for (std::size_t slot = 10; slot < 15; ++slot) SetSlot(image, slot, kLive, "ghost");
  OpenImage(image);
  ASSERT_EQ(db_.NewRecord(), 1);
  EXPECT_EQ(db_.capacity(), 20U);
  EXPECT_EQ(db_.live_count(), 2U);
  const std::string after = FileNow();
  EXPECT_EQ(after.size(), SlotAt(15) + 10 * kRecord);
  EXPECT_EQ(GetU32(after, SlotAt(1)), kLive);
  EXPECT_EQ(after.find_first_not_of('\0', SlotAt(2)), std::string::npos);
}

TEST_F(RecordDatabaseTest, AFailedGrowthChangesNothingAndIsReported) {
  const std::string image = ImageWith(10, {{0, kLive, "a"}});
  OpenImage(image);
  files_.FailNextWrite();
  EXPECT_EQ(db_.NewRecord(), -1);
  EXPECT_EQ(db_.last_error().code(), Status::Code::kIoError);
  EXPECT_EQ(db_.capacity(), 10U);
  EXPECT_EQ(files_.GetFile(kPath), image);
  // The fault has cleared: the next one grows.
  EXPECT_EQ(db_.NewRecord(), 1);
  EXPECT_TRUE(db_.last_error().ok());
  EXPECT_EQ(db_.capacity(), 20U);
}

struct LimitCase {
  std::uint32_t type;
  std::uint32_t record_size;
  std::uint32_t capacity;  // all live
  std::uint32_t limit;
  friend void PrintTo(const LimitCase& c, std::ostream* out) { *out << "R=" << c.record_size; }
};

class CapacityLimitTest : public RecordDatabaseTest,
                          public ::testing::WithParamInterface<LimitCase> {};

TEST_P(CapacityLimitTest, GrowthStopsAtTheLimitAndThenNewRecordIsRefused) {
  const LimitCase c = GetParam();
  std::string image = OneFieldImage(c.type, c.record_size, c.capacity);
  for (std::uint32_t slot = 0; slot < c.capacity; ++slot) {
    PutU32(image, 1452 + std::size_t{slot} * c.record_size, 10);
  }
  OpenImage(image);
  for (std::uint32_t slot = c.capacity; slot < c.limit; ++slot) {
    ASSERT_EQ(db_.NewRecord(), static_cast<std::int32_t>(slot));
    ASSERT_EQ(db_.capacity(), c.limit);
  }
  EXPECT_EQ(db_.NewRecord(), -1);
  EXPECT_FALSE(db_.last_error().ok());
  EXPECT_EQ(db_.capacity(), c.limit);
  db_.Close();
  EXPECT_TRUE(db_.Open(kPath, false).ok()) << "the grown file still opens";
}

INSTANTIATE_TEST_SUITE_P(Limits, CapacityLimitTest,
                         ::testing::Values(LimitCase{0, 5, 131'064, 131'072},      // slot count
                                           LimitCase{15, 5004, 13'404, 13'410}));  // 64 MiB

enum class Rewrite { kSort, kCompact };
enum class Fault { kWrite, kRename, kMap };

class FailedRewriteTest : public RecordDatabaseTest,
                          public ::testing::WithParamInterface<std::tuple<Rewrite, Fault>> {};

TEST_P(FailedRewriteTest, LeavesTheFileAndTheRecordsAsTheyWere) {
  const auto [rewrite, fault] = GetParam();
  const std::string image = Unsorted();
  OpenImage(image);
  if (fault == Fault::kWrite) files_.FailNextWrite(1000);
  if (fault == Fault::kRename) files_.FailRenames(true);
  if (fault == Fault::kMap) files_.FailNextMap();
  if (rewrite == Rewrite::kSort) {
    EXPECT_FALSE(db_.SortRecords(kName).ok());
  } else {
    EXPECT_EQ(db_.CompactRecords(), 0U);
  }
  EXPECT_FALSE(db_.last_error().ok());
  EXPECT_EQ(files_.GetFile(kPath), image);
  EXPECT_EQ(db_.LiveRecords(), (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_EQ(LiveNames(), (std::vector<std::string>{"c", "a", "b"}));
  // The handle still writes to the file at the path.
  files_.FailRenames(false);
  ASSERT_TRUE(db_.WriteNumber(2, 2, 77).ok());
  EXPECT_EQ(GetU32(FileNow(), SlotAt(2) + kNumberAt), 77U);
}

INSTANTIATE_TEST_SUITE_P(Faults, FailedRewriteTest,
                         ::testing::Combine(::testing::Values(Rewrite::kSort, Rewrite::kCompact),
                                            ::testing::Values(Fault::kWrite, Fault::kRename,
                                                              Fault::kMap)));

TEST_F(RecordDatabaseTest, ASortReplacesTheFileAndTheHandleWritesToTheNewOne) {
  OpenImage(Unsorted());
  const std::uint64_t stamp = files_.ModifiedStamp(kPath);
  ASSERT_TRUE(db_.SortRecords(kName).ok());
  EXPECT_GT(files_.ModifiedStamp(kPath), stamp) << "written whole, not moved in place";
  ASSERT_TRUE(db_.WriteNumber(0, 2, 77).ok());
  db_.Close();
  OpenImage(files_.GetFile(kPath).value(), false);
  EXPECT_EQ(LiveNames(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(db_.ReadNumber(0, 2), 77U);
}

TEST_F(RecordDatabaseTest, NothingToMoveLeavesTheFileUntouched) {
  OpenImage(ImageWith(20, {{0, kLive, "a"}, {1, kLive, "b"}, {2, kDeleted, "x"}}));
  const std::uint64_t stamp = files_.ModifiedStamp(kPath);
  EXPECT_TRUE(db_.SortRecords(kName).ok());
  EXPECT_EQ(db_.CompactRecords(), RecordDatabase::kMoveBudget);
  EXPECT_EQ(files_.ModifiedStamp(kPath), stamp);
}

TEST_F(RecordDatabaseTest, TwoThreadsCanShareOneHandle) {
  ASSERT_TRUE(db_.Create(kPath, kSystemTypes).ok());
  ASSERT_TRUE(db_.Open(kPath, true).ok());
  ASSERT_EQ(db_.NewRecord(), 0);
  // Each round grows the file, then deletes most of what it made, so the
  // next round compacts and shrinks it: many remaps.
  constexpr std::uint32_t kRounds = 20;
  constexpr std::uint32_t kPerRound = 120;
  constexpr std::uint32_t kKeptEvery = 20;
  std::atomic<bool> done = false;
  std::thread writer([&] {
    std::uint32_t tag = 0;
    for (std::uint32_t round = 0; round < kRounds; ++round) {
      const std::uint32_t first_tag = tag + 1;
      for (std::uint32_t i = 0; i < kPerRound; ++i) {
        const std::int32_t slot = db_.NewRecord();
        ++tag;
        ASSERT_TRUE(db_.WriteText(slot, kName, "r" + std::to_string(tag)).ok());
        ASSERT_TRUE(db_.WriteNumber(slot, 2, tag).ok());
      }
      // Compaction moves records only into free slots before them, so
      // deleting from the top down leaves the slots still to visit in place.
      const std::vector<std::int32_t> live = db_.LiveRecords();
      for (auto slot = live.rbegin(); slot != live.rend(); ++slot) {
        const std::uint32_t made = db_.ReadNumber(*slot, 2).value_or(0);
        if (made >= first_tag && made % kKeptEvery != 0) {
          ASSERT_TRUE(db_.SetRecordStatus(*slot, SlotStatus::kDeleted).ok());
        }
      }
    }
    done = true;
  });
  // A new record always lies before any free slot, so compaction never moves
  // it before the writer has filled it, and sorting by a field nobody else
  // writes keeps records in place while it walks every slot.
  auto pass = [&] {
    EXPECT_TRUE(db_.SortRecords(13).ok());
    (void)db_.FindRecord(-1, "r150");
    for (const std::int32_t slot : db_.LiveRecords()) {
      (void)db_.ReadNumber(slot, 2);
      (void)db_.WriteNumber(slot, 12, 7);
    }
  };
  while (!done) pass();
  writer.join();
  pass();
  ASSERT_EQ(db_.live_count(), 1 + kRounds * kPerRound / kKeptEvery);
  for (const std::int32_t slot : db_.LiveRecords()) {
    const std::uint32_t tag = *db_.ReadNumber(slot, 2);
    EXPECT_EQ(db_.ReadText(slot, kName), tag == 0 ? "" : "r" + std::to_string(tag));
    EXPECT_EQ(db_.ReadNumber(slot, 12), 7U);
  }
}

TEST(RecordDatabase, KeepsRecordsAcrossRemapsOfARealFile) {
  const std::filesystem::path directory = std::filesystem::temp_directory_path() /
                                          ("tolvi-db-" + std::to_string(std::random_device{}()));
  ASSERT_TRUE(std::filesystem::create_directory(directory));
  const std::filesystem::path path = directory / "TlvDB.lbf";
  NativeFileSystem files;
  {
    RecordDatabase db(files, ByteOrder);
    ASSERT_TRUE(db.Create(path, kSystemTypes).ok());
    ASSERT_TRUE(db.Open(path, true).ok());
    for (std::uint32_t i = 0; i < 45; ++i) {
      const std::int32_t slot = db.NewRecord();
      ASSERT_EQ(slot, static_cast<std::int32_t>(i));
      ASSERT_TRUE(db.WriteText(slot, kName, "n" + std::to_string(i)).ok());
    }
    for (std::int32_t slot = 0; slot < 35; ++slot) {
      ASSERT_TRUE(db.SetRecordStatus(slot, SlotStatus::kDeleted).ok());
    }
    ASSERT_GE(db.NewRecord(), 0);  // 10 of 60 used: compacts and shrinks
    EXPECT_EQ(db.capacity(), 50U);
  }
  RecordDatabase db(files, ByteOrder);
  ASSERT_TRUE(db.Open(path, false).ok());
  EXPECT_EQ(db.live_count(), 11U);
  EXPECT_EQ(db.ReadText(0, kName), "n35");
  EXPECT_EQ(db.ReadText(9, kName), "n44");
  EXPECT_EQ(files.FileSize(path), kFirstSlot + 50 * kRecord);
  db.Close();
  std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace tolvi
