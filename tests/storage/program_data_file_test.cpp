#include "storage/program_data_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "accounting/work_type_record.h"
#include "engine/program_data_load.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

// Block offsets, written out here rather than taken from the struct, so the
// tests check the layout too.
constexpr std::size_t kAutoStartAt = 0;
constexpr std::size_t kBreakIntervalAt = 8;
constexpr std::size_t kReminderEnabledAt = 12;
constexpr std::size_t kAutoShowAt = 16;
constexpr std::size_t kMaxBreakActionAt = 20;
constexpr std::size_t kShowReportAt = 24;
constexpr std::size_t kAwayTimeAt = 28;
constexpr std::size_t kDayOfMonthAt = 36;
constexpr std::size_t kWorkTodayAt = 40;
constexpr std::size_t kBreakTodayAt = 44;
constexpr std::size_t kAwayTodayAt = 48;
constexpr std::size_t kWorkYesterdayAt = 52;
constexpr std::size_t kMaxBreakSecondsAt = 56;
constexpr std::size_t kLegacyNamesAt = 110;
constexpr std::size_t kLegacyMaximaAt = 360;
constexpr std::size_t kLegacyTodayAt = 380;
constexpr std::size_t kLegacyYesterdayAt = 432;
constexpr std::size_t kAwayYesterdayAt = 452;
constexpr std::size_t kBreakYesterdayAt = 460;
constexpr std::size_t kFileLogAt = 472;
constexpr std::size_t kManualTargetAt = 476;
constexpr std::size_t kReminderActionAt = 488;
constexpr std::size_t kSnoozeTimeAt = 1112;
constexpr std::size_t kReminderTextAt = 1136;
constexpr std::size_t kReservedAt = 1236;
constexpr std::size_t kWindowAlphaAt = 4656;
constexpr std::size_t kTargetModeAt = 4660;
constexpr std::size_t kLastCloseStampAt = 4664;
constexpr std::size_t kPlacementAt = 5584;
constexpr std::size_t kDecimalHoursAt = 5628;
constexpr std::size_t kLongMeetingAt = 5632;

constexpr std::uint32_t kFileTimeHigh = 0x01DD8579;

void PutU32(std::string& block, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    block.at(offset + i) = static_cast<char>((value >> (8 * i)) & 0xFFU);
  }
}

void PutText(std::string& block, std::size_t offset, std::string_view text) {
  block.replace(offset, text.size(), text);
}

std::string EmptyBlock() {
  return std::string(kProgramDataBytes, '\0');
}

std::string BlockOf(const ProgramData& data) {
  std::string block(kProgramDataBytes, '\0');
  std::memcpy(block.data(), &data, kProgramDataBytes);
  return block;
}

// A valid work-type database holding one record of the given name.
std::string DatabaseWith(std::string_view name) {
  FakeFileSystem scratch;
  RecordDatabase db(scratch);
  EXPECT_TRUE(CreateWorkTypeDatabase(db, "/scratch").ok());
  const std::int32_t id = db.NewRecord();
  EXPECT_TRUE(InitWorkType(db, id, /*named=*/true).ok());
  EXPECT_TRUE(db.WriteText(id, field::kName, name).ok());
  db.Close();
  return scratch.GetFile("/scratch").value();
}

// A valid work-type database whose only slot holds the given status, so no
// record is live.
std::string DatabaseWithoutLiveRecords(SlotStatus status) {
  FakeFileSystem scratch;
  RecordDatabase db(scratch);
  EXPECT_TRUE(CreateWorkTypeDatabase(db, "/scratch").ok());
  EXPECT_TRUE(db.SetRecordStatus(0, status).ok());
  db.Close();
  return scratch.GetFile("/scratch").value();
}

// A whole current-version data file with every setting at its default but
// the break interval.
std::string SoundDataFile(std::uint32_t break_interval) {
  FakeClock clock;
  ProgramData data{};
  SetDefaultSettings(data, clock);
  data.break_interval = break_interval;
  return ProgramDataFileImage(data);
}

class ProgramDataFileTest : public ::testing::Test {
 protected:
  ProgramDataFileTest() { clock_.SetFileTimeHigh(kFileTimeHigh); }

  LoadResult Load() { return LoadProgramData(context_); }

  std::optional<std::string> File(std::string_view path) const { return files_.GetFile(path); }

  std::vector<std::string> LiveNames() const {
    std::vector<std::string> names;
    for (const std::int32_t slot : records_.LiveRecords()) {
      names.push_back(records_.ReadText(slot, field::kName).value_or("?"));
    }
    return names;
  }

  FakeFileSystem files_;
  FakeClock clock_;
  RecordingUi ui_;
  RecordDatabase records_{files_};
  ProgramData data_{};
  DataFileContext context_{.files = files_,
                           .clock = clock_,
                           .ui = ui_,
                           .data_directory = "/data",
                           .program_directory = "/prog",
                           .records = records_,
                           .data = data_,
                           .day_check = {},
                           .import_work = {},
                           .write_plain_log_line = {}};
};

TEST_F(ProgramDataFileTest, SavedDefaultsMatchTheLayoutByteForByte) {
  std::string block = EmptyBlock();
  const std::pair<std::size_t, std::uint32_t> values[] = {
      {kBreakIntervalAt, 1800000}, {kReminderEnabledAt, 1}, {kAutoShowAt, 1},
      {kShowReportAt, 1},          {kAwayTimeAt, 300000},   {kDayOfMonthAt, 99},
      {kMaxBreakSecondsAt, 300},   {kFileLogAt, 1},         {kManualTargetAt, 21600000},
      {kReminderActionAt, 1},      {kSnoozeTimeAt, 300000}, {kWindowAlphaAt, 75},
      {kTargetModeAt, 1},          {kPlacementAt, 44},      {kPlacementAt + 12, 989898},
      {kLongMeetingAt, 1}};
  for (const auto& [at, value] : values) PutU32(block, at, value);
  PutU32(block, kLastCloseStampAt, kFileTimeHigh - 100);  // midnight, 12 hours before noon
  PutText(block, kReminderTextAt, "Take a Break!");
  const std::string expected = "TOLV1320" + block;

  ProgramData data{};
  SetDefaultSettings(data, clock_);
  ASSERT_TRUE(SaveProgramData(files_, "/data", data).ok());
  const std::string saved = File("/data/dTolvi.dat").value();
  ASSERT_EQ(saved.size(), 6508u);
  for (std::size_t i = 0; i < saved.size(); ++i) {
    ASSERT_EQ(saved[i], expected[i]) << "first difference at file offset " << i;
  }
}

TEST_F(ProgramDataFileTest, FailedSaveLeavesThePreviousFileWhole) {
  files_.SetFile("/data/dTolvi.dat", "previous");
  files_.FailNextWrite(100);
  EXPECT_FALSE(SaveProgramData(files_, "/data", data_).ok());
  EXPECT_EQ(File("/data/dTolvi.dat"), "previous");
}

TEST_F(ProgramDataFileTest, FirstRunWelcomesAndCreatesTenNewWorkTypes) {
  ui_.QueueAnswers({1});
  data_.current_work_type = 7;
  context_.day_check = [](ProgramData& data) { data.day_of_month = 6; };
  EXPECT_EQ(Load().outcome, LoadOutcome::kReady);
  ASSERT_EQ(ui_.questions().size(), 1u);
  EXPECT_EQ(ui_.questions()[0].font, QuestionFont::kLarge);
  EXPECT_FALSE(ui_.questions()[0].has_owner);
  EXPECT_EQ(LiveNames(), std::vector<std::string>(10, "New Work"));
  EXPECT_EQ(data_.current_work_type, 0u);
  EXPECT_EQ(data_.day_of_month, 6u) << "the defaults end with the day check";
  EXPECT_FALSE(File("/data/dTolvi.dat").has_value()) << "nothing is saved while loading";
}

TEST_F(ProgramDataFileTest, WelcomeSecondAnswerOpensTheReadMe) {
  ui_.QueueAnswers({2});
  ASSERT_EQ(Load().outcome, LoadOutcome::kReady);
  EXPECT_EQ(ui_.calls().back(), "open /prog/ReadMe.htm");
}

TEST_F(ProgramDataFileTest, OlderVersionsAreReadAndAdjusted) {
  const struct {
    std::string_view magic;
    std::uint32_t auto_show;
    std::uint32_t decimal_hours;
    std::uint32_t long_meeting;
  } cases[] = {
      {"TOLV1310", 0, 1, 0},
      {"TOLV1300", 0, 0, 1},
      {"TOLV1999", 1, 1, 0},  // a later version: read as it is
  };
  std::string block = EmptyBlock();
  PutU32(block, kBreakIntervalAt, 2700000);
  PutU32(block, kAutoShowAt, 1);
  PutU32(block, kDecimalHoursAt, 1);
  PutU32(block, kLongMeetingAt, 0);
  files_.SetFile("/data/TlvDB.lbf", DatabaseWith("Proj A"));
  for (const auto& c : cases) {
    files_.SetFile("/data/dTolvi.dat", std::string(c.magic) + block);
    data_ = ProgramData{};
    ASSERT_EQ(Load().outcome, LoadOutcome::kReady) << c.magic;
    EXPECT_EQ(data_.break_interval, 2700000u) << c.magic;
    EXPECT_EQ(data_.auto_show, c.auto_show) << c.magic;
    EXPECT_EQ(data_.decimal_hours, c.decimal_hours) << c.magic;
    EXPECT_EQ(data_.long_meeting, c.long_meeting) << c.magic;
  }
}

TEST_F(ProgramDataFileTest, VersionIsReadFromTheMagic) {
  EXPECT_EQ(ReadDataFileVersion("TOLV1320"), 1000u);
  EXPECT_EQ(ReadDataFileVersion("TOLV1250xyz"), 250u);
  EXPECT_EQ(ReadDataFileVersion("TOLV2320"), 1001u);
  EXPECT_EQ(ReadDataFileVersion("TOLV132"), 1001u) << "shorter than the magic";
}

TEST_F(ProgramDataFileTest, ZeroedFileHasItsOutOfRangeOptionsResetWithOneNotice) {
  files_.SetFile("/data/dTolvi.dat", "TOLV1320" + EmptyBlock());
  files_.SetFile("/data/TlvDB.lbf", DatabaseWith("Proj A"));
  const LoadResult result = Load();
  ASSERT_EQ(result.outcome, LoadOutcome::kReady);
  EXPECT_EQ(result.notices,
            std::vector<std::string>{
                "These options were out of range and were reset to their "
                "defaults: Work Time (in Minutes), Away Time, Snooze, WindowAlpha."});
  EXPECT_EQ(data_.window_alpha, 75u);
}

struct DataFileCase {
  const char* what;
  std::optional<std::string> main;  // none: no such file
  bool kept_aside;
};

class DataFileBackupTest : public ProgramDataFileTest,
                           public ::testing::WithParamInterface<DataFileCase> {};

// A data file that cannot be loaded gives way to its " Bak", and one that
// holds bytes is kept aside first; either way the user is told.
TEST_P(DataFileBackupTest, UnusableOrMissingDataFileLoadsItsBackup) {
  const DataFileCase& c = GetParam();
  if (c.main) files_.SetFile("/data/dTolvi.dat", *c.main);
  files_.SetFile("/data/dTolvi.dat Bak", SoundDataFile(2700000));
  files_.SetFile("/data/TlvDB.lbf", DatabaseWith("Proj A"));
  const LoadResult result = Load();
  ASSERT_EQ(result.outcome, LoadOutcome::kReady);
  EXPECT_EQ(data_.break_interval, 2700000u);
  EXPECT_EQ(File("/data/dTolvi.dat.bad-20261206-120000"),
            c.kept_aside ? c.main : std::optional<std::string>());
  ASSERT_FALSE(result.notices.empty());
  EXPECT_EQ(ForwardSlashes(result.notices.back()),
            "The settings and today's figures were restored from /data/dTolvi.dat Bak.");
  EXPECT_EQ(File("/data/dTolvi.dat Bak"), SoundDataFile(2700000));
}

INSTANTIATE_TEST_SUITE_P(
    DataFiles, DataFileBackupTest,
    ::testing::Values(DataFileCase{"short", "TOLV1320" + EmptyBlock().substr(1), true},
                      DataFileCase{"over-long", SoundDataFile(600000) + "x", true},
                      DataFileCase{"foreign", "XOLV1320" + EmptyBlock(), true},
                      DataFileCase{"missing", std::nullopt, false},
                      DataFileCase{"empty", "", false}));

TEST_F(ProgramDataFileTest, CutDataFileWithoutUsableBackupGivesDefaultsAndSaysWhy) {
  const std::string cut = SoundDataFile(2700000).substr(0, 4000);
  files_.SetFile("/data/dTolvi.dat", cut);
  files_.SetFile("/data/dTolvi.dat Bak", "TOLV1320 cut as well");
  const LoadResult result = Load();
  ASSERT_EQ(result.outcome, LoadOutcome::kReady);
  EXPECT_EQ(data_.break_interval, 1800000u);
  EXPECT_EQ(File("/data/dTolvi.dat.bad-20261206-120000"), cut);
  ASSERT_GE(result.notices.size(), 3u);
  EXPECT_EQ(ForwardSlashes(result.notices[0]),
            "The data file /data/dTolvi.dat was not used because it holds 4000 bytes instead of "
            "6508; it was kept as /data/dTolvi.dat.bad-20261206-120000.");
  EXPECT_EQ(ForwardSlashes(result.notices[1]),
            "The backup /data/dTolvi.dat Bak was not used because it holds 20 bytes instead of "
            "6508.");
}

// An unusable backup still shows the user had data: no welcome.
TEST_F(ProgramDataFileTest, UnusableBackupAloneIsNoFirstRun) {
  files_.SetFile("/data/dTolvi.dat Bak", "TOLV1320 cut");
  const LoadResult result = Load();
  ASSERT_EQ(result.outcome, LoadOutcome::kReady);
  EXPECT_TRUE(ui_.calls().empty());
  ASSERT_FALSE(result.notices.empty());
  EXPECT_EQ(result.notices.back(), "No usable data file was found, so the default settings apply.");
}

// A file ReadFile refuses (no permission, not a regular file, too large)
// is never taken for a missing one, which would mean a silent first run.
class UnreadableDataFileTest : public ProgramDataFileTest,
                               public ::testing::WithParamInterface<const char*> {};

TEST_P(UnreadableDataFileTest, IsReportedNotTakenAsMissing) {
  const std::string refused = GetParam();
  files_.SetFile(refused, SoundDataFile(2700000));
  files_.FailAccess(refused);
  const LoadResult result = Load();
  ASSERT_EQ(result.outcome, LoadOutcome::kReady);
  EXPECT_TRUE(ui_.calls().empty());
  ASSERT_FALSE(result.notices.empty());
  EXPECT_TRUE(
      ForwardSlashes(result.notices[0])
          .starts_with("The data file " + refused + " was not used because it cannot be read"))
      << result.notices[0];
  EXPECT_EQ(data_.break_interval, 1800000u);
}

INSTANTIATE_TEST_SUITE_P(Places, UnreadableDataFileTest,
                         ::testing::Values("/data/dTolvi.dat", "/prog/dTolvi.dat"));

TEST_F(ProgramDataFileTest, KeptAsideNamesDoNotCollide) {
  files_.SetFile("/data/x", "one");
  ASSERT_EQ(KeepFileAside(files_, clock_, "/data/x"), "/data/x.bad-20261206-120000");
  files_.SetFile("/data/x", "two");
  ASSERT_EQ(KeepFileAside(files_, clock_, "/data/x"), "/data/x.bad-20261206-120000-2");
  EXPECT_EQ(File("/data/x.bad-20261206-120000"), "one");
  EXPECT_EQ(File("/data/x.bad-20261206-120000-2"), "two");
}

TEST_F(ProgramDataFileTest, ShortOlderFileFillsOnlyWhatItHolds) {
  std::string part(20, '\0');
  PutU32(part, kAutoStartAt, 1);
  PutU32(part, kBreakIntervalAt, 2700000);
  files_.SetFile("/data/dTolvi.dat", "TOLV1310" + part);
  files_.SetFile("/data/TlvDB.lbf", DatabaseWith("Proj A"));
  ASSERT_EQ(Load().outcome, LoadOutcome::kReady);
  EXPECT_EQ(data_.auto_start, 1u);
  EXPECT_EQ(data_.break_interval, 2700000u);
  ProgramData rest{};
  (void)ResetOutOfRangeSettings(rest);
  EXPECT_TRUE(BlockOf(data_).substr(20) == BlockOf(rest).substr(20));
}

TEST_F(ProgramDataFileTest, TooOldFileErasedOnRequestKeepsUnnamedBytes) {
  std::string block = EmptyBlock();
  PutU32(block, kBreakIntervalAt, 1234);
  PutU32(block, kWorkTodayAt, 777);
  block.at(kReservedAt) = '\x77';
  files_.SetFile("/data/dTolvi.dat", "TOLV1249" + block);
  ui_.QueueAnswers({1});
  ASSERT_EQ(Load().outcome, LoadOutcome::kReady);
  EXPECT_EQ(ui_.calls().at(0),
            "ask The data file is too old to be upgraded so all past data will be lost."
            "|Erase data and create new file|Don't erase the old data -> 1");
  EXPECT_EQ(data_.break_interval, 1800000u);
  EXPECT_EQ(data_.work_today_ms, 0u);
  EXPECT_EQ(data_.reserved_1236[0], std::byte{0x77});
}

TEST_F(ProgramDataFileTest, TooOldFileKeptOnRequestEndsWithNothingWritten) {
  const std::string old_file = "TOLV1249" + EmptyBlock();
  files_.SetFile("/data/dTolvi.dat", old_file);
  ui_.QueueAnswers({2});
  EXPECT_EQ(Load().outcome, LoadOutcome::kQuit);
  EXPECT_EQ(files_.AllFiles(), std::vector<std::filesystem::path>{"/data/dTolvi.dat"});
  EXPECT_TRUE(File("/data/dTolvi.dat") == old_file);
}

// A version-250 file: durations in tenths of a minute, two old work types.
class Version250Test : public ProgramDataFileTest {
 protected:
  Version250Test() {
    const std::pair<std::size_t, std::uint32_t> values[] = {
        {kAwayTimeAt, 50},        {kBreakIntervalAt, 300},   {kManualTargetAt, 3600},
        {kSnoozeTimeAt, 5},       {kWorkTodayAt, 100},       {kWorkYesterdayAt, 200},
        {kBreakTodayAt, 10},      {kBreakYesterdayAt, 20},   {kAwayTodayAt, 30},
        {kAwayYesterdayAt, 40},   {kFileLogAt, 1},           {kMaxBreakActionAt, 2},
        {kLegacyMaximaAt, 120},   {kLegacyMaximaAt + 4, 60}, {kLegacyTodayAt, 10},
        {kLegacyTodayAt + 4, 20}, {kLegacyYesterdayAt, 30},  {kLegacyYesterdayAt + 4, 40}};
    for (const auto& [at, value] : values) PutU32(block_, at, value);
    PutText(block_, kLegacyNamesAt, "Homework");
    PutText(block_, kLegacyNamesAt + 50, "Work");
    context_.write_plain_log_line = [this](std::string_view line) { log_.emplace_back(line); };
    context_.import_work = [this] {
      ++imports_;
      return true;
    };
  }
  std::string File250() const { return "TOLV1250" + block_; }
  void Write() { files_.SetFile("/data/dTolvi.dat", File250()); }

  std::string block_ = EmptyBlock();
  std::vector<std::string> log_;
  int imports_ = 0;
};

TEST_F(Version250Test, IsUpgradedIntoANewDatabase) {
  Write();
  ASSERT_EQ(Load().outcome, LoadOutcome::kReady);
  EXPECT_TRUE(ui_.calls().empty());
  const std::pair<std::uint32_t ProgramData::*, std::uint32_t> converted[] = {
      {&ProgramData::away_time, 300000},
      {&ProgramData::break_interval, 1800000},
      {&ProgramData::manual_target, 21600000},
      {&ProgramData::snooze_time, 300000},
      {&ProgramData::work_today_ms, 600000},
      {&ProgramData::work_yesterday_ms, 1200000},
      {&ProgramData::break_today_ms, 60000},
      {&ProgramData::break_yesterday_ms, 120000},
      {&ProgramData::away_today_ms, 180000},
      {&ProgramData::away_yesterday_ms, 240000},
      {&ProgramData::auto_show, 1},
      {&ProgramData::max_break_seconds, 300},
      {&ProgramData::max_break_action, 0}};
  for (const auto& row : converted) {
    EXPECT_EQ(data_.*row.first, row.second) << "row " << &row - converted;
  }
  EXPECT_EQ(imports_, 1);
  EXPECT_EQ(log_, std::vector<std::string>{"\r\n#C\r\n \r\n"});

  // "Work" occurs inside "Homework", yet each keeps its own record and values.
  ASSERT_EQ(LiveNames(), (std::vector<std::string>{"", "Homework", "Work"}));
  for (const auto& [id, maximum, today, yesterday] :
       {std::array<std::uint32_t, 4>{1, 7200000, 60000, 180000}, {2, 3600000, 120000, 240000}}) {
    const auto slot = static_cast<std::int32_t>(id);
    EXPECT_EQ(records_.ReadNumber(slot, field::kMaximum), maximum) << id;
    EXPECT_EQ(records_.ReadNumber(slot, field::kToday), today) << id;
    EXPECT_EQ(records_.ReadNumber(slot, field::kYesterday), yesterday) << id;
  }
}

TEST_F(Version250Test, WritesNoLogMarkerWithoutFileLog) {
  PutU32(block_, kFileLogAt, 0);
  Write();
  ASSERT_EQ(Load().outcome, LoadOutcome::kReady);
  EXPECT_TRUE(log_.empty());
}

TEST_F(Version250Test, UpgradeThatFindsNoWorkTypeStartsWithTheUsualTen) {
  block_.replace(kLegacyNamesAt, 100, 100, '\0');
  Write();
  // The import removes the placeholder and finds nothing in the log.
  context_.import_work = [&] {
    for (const std::int32_t slot : records_.LiveRecords()) {
      EXPECT_TRUE(records_.SetRecordStatus(slot, SlotStatus::kDeleted).ok());
    }
    return true;
  };
  ASSERT_EQ(Load().outcome, LoadOutcome::kReady);
  EXPECT_EQ(LiveNames(), std::vector<std::string>(10, "New Work"));
  EXPECT_EQ(data_.current_work_type, 0u);
}

TEST_F(Version250Test, CancelledImportEndsWithTheFilesAsTheyWere) {
  Write();
  files_.SetFile("/data/TlvDB.lbf", "the user's older database");
  context_.import_work = [] { return false; };
  EXPECT_EQ(Load().outcome, LoadOutcome::kQuit);
  EXPECT_EQ(files_.AllFiles(),
            (std::vector<std::filesystem::path>{"/data/TlvDB.lbf", "/data/dTolvi.dat"}));
  EXPECT_EQ(File("/data/TlvDB.lbf"), "the user's older database");
  EXPECT_TRUE(File("/data/dTolvi.dat") == File250());
}

TEST_F(Version250Test, CancelledImportThatCannotPutTheOldDatabaseBackSaysWhereItIs) {
  Write();
  files_.SetFile("/data/TlvDB.lbf", "the user's older database");
  context_.import_work = [&] {
    files_.FailRenames(true);
    return false;
  };
  const LoadResult result = Load();
  EXPECT_EQ(result.outcome, LoadOutcome::kQuit);
  ASSERT_EQ(result.notices.size(), 2u);
  EXPECT_EQ(ForwardSlashes(result.notices[1]),
            "The old work-type database could not be put back (Rename failed on demand: "
            "/data/TlvDB.lbf.bad-20261206-120000); it is kept as "
            "/data/TlvDB.lbf.bad-20261206-120000");
  EXPECT_EQ(File("/data/TlvDB.lbf.bad-20261206-120000"), "the user's older database");
}

// A saved file loads back whole, unnamed bytes too; one found beside the
// program is read, and saving puts it in the data directory.
TEST_F(ProgramDataFileTest, SavedFileLoadsBackWholeAndAPortableOneMovesToTheDataDirectory) {
  ProgramData saved{};
  SetDefaultSettings(saved, clock_);
  saved.break_interval = 2700000;
  saved.reserved_1236[17] = std::byte{0x42};
  saved.current_work_type = 3;
  const std::string file = ProgramDataFileImage(saved);
  files_.SetFile("/prog/dTolvi.dat", file);
  files_.SetFile("/data/dTolvi.dat Bak", SoundDataFile(600000));  // older than the portable file
  files_.SetFile("/data/TlvDB.lbf", DatabaseWith("Proj A"));
  EXPECT_EQ(ResolveDataFilePath(files_, "/data", "/prog", "dTolvi.dat"), "/prog/dTolvi.dat");
  const LoadResult result = Load();
  ASSERT_EQ(result.outcome, LoadOutcome::kReady);
  EXPECT_TRUE(BlockOf(data_) == BlockOf(saved));
  EXPECT_TRUE(result.notices.empty());
  EXPECT_EQ(LiveNames(), (std::vector<std::string>{"", "Proj A"}));
  EXPECT_EQ(records_.path(), "/data/TlvDB.lbf");
  EXPECT_TRUE(records_.writable());

  ASSERT_TRUE(SaveProgramData(files_, "/data", data_).ok());
  EXPECT_TRUE(File("/data/dTolvi.dat") == file);
  EXPECT_TRUE(File("/prog/dTolvi.dat") == file);
  EXPECT_EQ(ResolveDataFilePath(files_, "/data", "/prog", "dTolvi.dat"), "/data/dTolvi.dat");
}

struct RejectedDatabaseCase {
  const char* what;
  std::string database;
  std::optional<std::string> backup;
  std::vector<std::string> names_after;
  friend void PrintTo(const RejectedDatabaseCase& c, std::ostream* out) { *out << c.what; }
};

class RejectedDatabaseTest : public ProgramDataFileTest,
                             public ::testing::WithParamInterface<RejectedDatabaseCase> {};

// The rejected file is kept aside before anything replaces it; the backup,
// used only when it opens, is never consumed.
TEST_P(RejectedDatabaseTest, IsKeptAsideAndReplacedByAValidBackupOrANewDatabase) {
  const RejectedDatabaseCase& c = GetParam();
  files_.SetFile("/data/dTolvi.dat", "TOLV1320" + EmptyBlock());
  files_.SetFile("/data/TlvDB.lbf", c.database);
  if (c.backup) files_.SetFile("/data/TlvDB.lbf Bak", *c.backup);
  const LoadResult result = Load();
  ASSERT_EQ(result.outcome, LoadOutcome::kReady);
  EXPECT_EQ(File("/data/TlvDB.lbf.bad-20261206-120000"), c.database);
  EXPECT_EQ(File("/data/TlvDB.lbf Bak"), c.backup);
  EXPECT_EQ(LiveNames(), c.names_after);
  EXPECT_EQ(records_.path(), "/data/TlvDB.lbf");
  EXPECT_TRUE(records_.writable());
  EXPECT_FALSE(result.notices.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Databases, RejectedDatabaseTest,
    ::testing::Values(RejectedDatabaseCase{"no backup", "DATA0999 not a database", std::nullopt,
                                           std::vector<std::string>(10, "New Work")},
                      RejectedDatabaseCase{"cut short, valid backup",
                                           DatabaseWith("Proj A").substr(0, 1600),
                                           DatabaseWith("Proj A"),
                                           {"", "Proj A"}},
                      RejectedDatabaseCase{"invalid backup", "broken", "also broken",
                                           std::vector<std::string>(10, "New Work")},
                      RejectedDatabaseCase{"empty, valid backup",
                                           DatabaseWithoutLiveRecords(SlotStatus::kDeleted),
                                           DatabaseWith("Proj A"),
                                           {"", "Proj A"}},
                      RejectedDatabaseCase{"slots of an unknown status, no backup",
                                           DatabaseWithoutLiveRecords(static_cast<SlotStatus>(7)),
                                           std::nullopt, std::vector<std::string>(10, "New Work")},
                      RejectedDatabaseCase{"never used, empty backup",
                                           DatabaseWithoutLiveRecords(SlotStatus::kNeverUsed),
                                           DatabaseWithoutLiveRecords(SlotStatus::kDeleted),
                                           std::vector<std::string>(10, "New Work")}));

// Whether a new database is to be created or a rejected one kept aside
// first, when no file can be put in place the load ends, changing nothing.
TEST_F(ProgramDataFileTest, DatabaseThatCannotBePutInPlaceEndsTheLoad) {
  files_.SetFile("/data/dTolvi.dat", "TOLV1320" + EmptyBlock());
  files_.FailRenames(true);
  EXPECT_EQ(Load().outcome, LoadOutcome::kQuit);
  files_.SetFile("/data/TlvDB.lbf", "broken");
  const LoadResult result = Load();
  EXPECT_EQ(result.outcome, LoadOutcome::kQuit);
  EXPECT_EQ(File("/data/TlvDB.lbf"), "broken");
  EXPECT_FALSE(result.notices.empty());
}

TEST_F(ProgramDataFileTest, BackupCopiesBothFilesUnderTheirBakNames) {
  ui_.QueueAnswers({1});
  ASSERT_EQ(Load().outcome, LoadOutcome::kReady);
  ASSERT_TRUE(SaveProgramData(files_, "/data", data_).ok());
  const std::string saved = File("/data/dTolvi.dat").value();
  data_.work_today_ms = 999;  // in memory only: the backup copies the file
  ASSERT_TRUE(records_.WriteText(0, field::kName, "Proj B").ok());
  const std::uint64_t stamp_before = files_.ModifiedStamp("/data/TlvDB.lbf");

  ASSERT_TRUE(BackupDataFiles(files_, records_, "/data").ok());
  EXPECT_EQ(File("/data/dTolvi.dat Bak"), saved);
  EXPECT_EQ(File("/data/TlvDB.lbf Bak"), File("/data/TlvDB.lbf"));
  EXPECT_GT(files_.ModifiedStamp("/data/TlvDB.lbf"), stamp_before);
  EXPECT_TRUE(records_.writable());
  EXPECT_EQ(records_.ReadText(0, field::kName), "Proj B");
}

TEST_F(ProgramDataFileTest, FailedBackupCopyKeepsThePreviousBackup) {
  ui_.QueueAnswers({1});
  ASSERT_EQ(Load().outcome, LoadOutcome::kReady);
  files_.SetFile("/data/TlvDB.lbf Bak", "yesterday's backup");
  ASSERT_TRUE(SaveProgramData(files_, "/data", data_).ok());
  files_.FailNextWrite(10);
  const Status status = BackupDataFiles(files_, records_, "/data");
  EXPECT_EQ(status.code(), Status::Code::kIoError);
  EXPECT_NE(status.message().find("/data/TlvDB.lbf Bak"), std::string::npos) << status.message();
  EXPECT_EQ(File("/data/TlvDB.lbf Bak"), "yesterday's backup");
}

// A backup never replaces a better one: the flushed database is copied only
// when it opens and is not an empty file over one with work types, the data
// file only when it is a whole current file.
TEST_F(ProgramDataFileTest, BackupNeverReplacesABetterOne) {
  const std::string sound = SoundDataFile(2700000);
  const std::string old_data = SoundDataFile(600000);
  const std::string empty = DatabaseWithoutLiveRecords(SlotStatus::kDeleted);
  const struct {
    const char* what;
    std::string data_file;
    std::string database;
    std::string old_backup;
    bool data_copied;
    bool database_copied;
  } cases[] = {
      {"database does not open", sound, "DATA0999 broken", DatabaseWith("Old"), true, false},
      {"empty over work types", sound, empty, DatabaseWith("Old"), true, false},
      {"empty over empty", sound, empty, DatabaseWithoutLiveRecords(SlotStatus::kNeverUsed), true,
       true},
      {"work types over a broken backup", sound, DatabaseWith("New"), "broken", true, true},
      {"data file a byte short", sound.substr(0, 6507), DatabaseWith("New"), "", false, true},
      {"data file a byte long", sound + "x", DatabaseWith("New"), "", false, true},
      {"older data file", "TOLV1310" + sound.substr(8), DatabaseWith("New"), "", false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    files_.SetFile("/data/dTolvi.dat", c.data_file);
    files_.SetFile("/data/dTolvi.dat Bak", old_data);
    files_.SetFile("/data/TlvDB.lbf", c.database);
    files_.SetFile("/data/TlvDB.lbf Bak", c.old_backup);
    const Status status = BackupDataFiles(files_, records_, "/data");
    EXPECT_TRUE(File("/data/dTolvi.dat Bak") == (c.data_copied ? c.data_file : old_data));
    EXPECT_TRUE(File("/data/TlvDB.lbf Bak") == (c.database_copied ? c.database : c.old_backup));
    const std::string refused = c.data_copied ? "/data/TlvDB.lbf" : "/data/dTolvi.dat";
    if (c.data_copied && c.database_copied) {
      EXPECT_TRUE(status.ok()) << status.message();
    } else {
      EXPECT_EQ(status.code(), Status::Code::kCorruption);
      EXPECT_TRUE(ForwardSlashes(status.message()).starts_with(refused + " was not copied because"))
          << status.message();
    }
    records_.Close();
  }
}

constexpr std::string_view kDayFolder = "/data/Backups/";

TEST_F(ProgramDataFileTest, UnsoundDayCopyNeverReplacesTheDaysSoundOne) {
  files_.SetFile("/data/Backups/2026-03-09 dTolvi.dat", SoundDataFile(2700000));
  files_.SetFile("/data/Backups/2026-03-09 TlvDB.lbf", DatabaseWith("Proj A"));
  files_.SetFile("/data/dTolvi.dat", SoundDataFile(600000).substr(0, 100));
  files_.SetFile("/data/TlvDB.lbf", DatabaseWithoutLiveRecords(SlotStatus::kDeleted));
  clock_.SetLocalTime(2026, 3, 9, 23, 59);
  const Status status = KeepDayBackup(files_, "/data", clock_.Now());
  EXPECT_EQ(File("/data/Backups/2026-03-09 dTolvi.dat"), SoundDataFile(2700000));
  EXPECT_EQ(File("/data/Backups/2026-03-09 TlvDB.lbf"), DatabaseWith("Proj A"));
  EXPECT_NE(ForwardSlashes(status.message()).find("/data/TlvDB.lbf was not copied"),
            std::string::npos);
  EXPECT_NE(ForwardSlashes(status.message()).find("/data/dTolvi.dat was not copied"),
            std::string::npos);
}

// Today's set is copied under its date; of the sets, only the seven newest
// dates are kept.
TEST_F(ProgramDataFileTest, DayBackupsKeepTheSevenNewestDatesAndNothingElseIsRemoved) {
  files_.SetFile("/data/dTolvi.dat", SoundDataFile(2700000));
  files_.SetFile("/data/TlvDB.lbf", DatabaseWith("Proj A"));
  const std::vector<std::string> others = {"notes.txt", "2026-01-01 notes.txt",
                                           "2026-1-01 dTolvi.dat", "2026-01-01 dTolvi.dat Bak",
                                           "x2026-01-01 TlvDB.lbf"};
  // Eight older days, one of them with its data file only, across a year's end.
  std::vector<std::string> expected = others;
  for (const std::string date : {"2025-12-30", "2025-12-31", "2026-01-02", "2026-01-03",
                                 "2026-01-05", "2026-01-06", "2026-01-07", "2026-01-08"}) {
    for (const std::string& name : {date + " dTolvi.dat", date + " TlvDB.lbf"}) {
      if (!date.starts_with("2025")) expected.push_back(name);
      if (!date.ends_with("08")) files_.SetFile(std::string(kDayFolder) + name, "old");
    }
  }
  expected.push_back("2026-01-01 dTolvi.dat");
  for (const std::string& name : others) files_.SetFile(std::string(kDayFolder) + name, "keep");
  files_.SetFile(std::string(kDayFolder) + "2026-01-01 dTolvi.dat", "old");
  clock_.SetLocalTime(2026, 1, 8);
  ASSERT_TRUE(KeepDayBackup(files_, "/data", clock_.Now()).ok());

  EXPECT_EQ(File("/data/Backups/2026-01-08 dTolvi.dat"), SoundDataFile(2700000));
  EXPECT_EQ(File("/data/Backups/2026-01-08 TlvDB.lbf"), DatabaseWith("Proj A"));
  std::vector<std::string> left = files_.ListFiles("/data/Backups");
  std::sort(left.begin(), left.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(left, expected);
}

TEST_F(ProgramDataFileTest, OldWorkTypesAreMatchedByTheirWholeName) {
  const struct {
    std::string_view name;
    bool stored;
    std::vector<std::string> names_after;
  } cases[] = {
      {"Homework", true, {"", "Homework", "5"}},
      {"5", true, {"", "Homework", "5"}},  // digits never match numbers
      {"homework", true, {"", "Homework", "5", "homework"}},
      {"", false, {"", "Homework", "5"}},  // nothing to import
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(CreateWorkTypeDatabase(records_, "/data/TlvDB.lbf").ok());
    ASSERT_TRUE(ImportOldWorkType(records_, "Homework", 5, 5, 5).ok());
    ASSERT_TRUE(ImportOldWorkType(records_, "5", 5, 5, 5).ok());
    EXPECT_TRUE(ImportOldWorkType(records_, c.name, 60000, 6000, 12000).ok()) << c.name;
    EXPECT_EQ(LiveNames(), c.names_after) << c.name;
    if (c.stored) {
      const std::int32_t id = static_cast<std::int32_t>(
          std::find(c.names_after.begin(), c.names_after.end(), c.name) - c.names_after.begin());
      EXPECT_EQ(records_.ReadNumber(id, field::kMaximum), 60000u) << c.name;
      EXPECT_EQ(records_.ReadNumber(id, field::kToday), 6000u) << c.name;
      EXPECT_EQ(records_.ReadNumber(id, field::kYesterday), 12000u) << c.name;
    }
  }
}

}  // namespace
}  // namespace tolvi
