#include "engine/day_rollover.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "accounting/work_types.h"
#include "engine/day_check.h"
#include "engine/program_files.h"
#include "storage/close_journal.h"
#include "storage/program_data_file.h"
#include "text/text.h"
#include "worklog/core_fixture.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

// A valid last-close stamp (any value after July 2008 will do).
constexpr std::uint32_t kLastClose = 31'000'000;
constexpr std::uint32_t kProjA = 0;
constexpr std::uint32_t kProjB = 1;

// Saturday, 5 December 2026 is open: Proj A 4 hours (the current work type),
// Proj B 2.5 hours, eight untouched "New Work" types; 45 minutes of break
// and a little over 70 minutes away. The clock stands just after midnight.
class DayRolloverTest : public CoreFixture {
 protected:
  DayRolloverTest() {
    clock_.SetLocalTime(2026, 12, 6, 0, 0, 45);
    clock_.SetFileTimeHigh(kLastClose + kStampUnitsPerDay);
    ProgramData& data = context_.state.data;
    data.day_of_month = 5;
    SetFieldText(data.today_text, "Saturday, 5 December 2026");
    data.last_close_stamp = kLastClose;
    data.break_today_ms = 2'700'000;
    data.away_today_ms = 4'212'000;
    data.suspended_today_ms = 60'000;

    // The placeholder goes, leaving ten "New Work" types in slots 0 to 9.
    EXPECT_TRUE(CreateInitialWorkTypes(records()).ok());
    EXPECT_TRUE(records().WriteText(kProjA, field::kName, "Proj A").ok());
    EXPECT_TRUE(records().WriteText(kProjB, field::kName, "Proj B").ok());
    EXPECT_TRUE(records().WriteNumber(kProjB, field::kToday, 9'000'000).ok());
    data.current_work_type = kProjA;
    context_.state.activity.current_today_ms = 14'400'000;  // not yet flushed
  }

  void Check() {
    StateLock lock(context_.state.mutex);
    DayRolloverCheck(context_, lock, [this] { ++quits_; });
    EXPECT_TRUE(lock.owns_lock());
  }

  int quits_ = 0;
};

// The day line, the report, the work and break figures and the new day's
// seeding are pinned by the midnight scenario; here the figures it leaves at
// zero, and the working copy of the current work type that was never flushed.
TEST_F(DayRolloverTest, MidnightMovesTheDayIntoYesterdayAndTheTotals) {
  Check();
  EXPECT_EQ(data().away_yesterday_ms, 4'212'000u);
  EXPECT_EQ(data().suspended_yesterday_ms, 60'000u);
  EXPECT_EQ(data().away_total, 702u);
  EXPECT_EQ(data().suspended_total, 10u);
  EXPECT_EQ(Field(kProjA, field::kYesterday), 14'400'000u);
}

TEST_F(DayRolloverTest, EachCloseIsBackedUpAndSavedWithTheNewDate) {
  Check();
  EXPECT_TRUE(files_.GetFile("/data/TlvDB.lbf Bak").has_value());
  const std::string saved = files_.GetFile("/data/dTolvi.dat").value_or("");
  EXPECT_EQ(saved.substr(8 + 60, 24), std::string("Sunday, 6 December 2026\0", 24));
}

// The question is asked without the state lock, so that the monitor is not
// held while the user thinks. The question itself is the clock-back
// scenarios'.
TEST_F(DayRolloverTest, QuittingAtTheClockGuardWritesAndSavesNothing) {
  data().day_of_month = 7;
  clock_.SetFileTimeHigh(kLastClose - 9);
  bool lock_was_free = false;
  ui_.SetAnswerer([&](const Question&) {
    lock_was_free = context_.state.mutex.try_lock();
    if (lock_was_free) context_.state.mutex.unlock();
    return 2;
  });
  Check();
  EXPECT_TRUE(lock_was_free);
  EXPECT_EQ(quits_, 1);
  EXPECT_EQ(data().total_days, 0u);
  EXPECT_FALSE(files_.GetFile("/data/dTolvi.dat").has_value());
}

TEST_F(DayRolloverTest, NotesAreClearedWhenOnlyTheReportIsShown) {
  data().file_log = 0;
  SetFieldText(data().work_notes, "seen once");
  Check();
  EXPECT_FALSE(files_.GetFile("/data/dLog.txt").has_value());
  EXPECT_EQ(FieldText(data().work_notes), "");
}

TEST_F(DayRolloverTest, AJournalThatCannotBeWrittenLeavesTheDayOpenForTheNextCheck) {
  files_.FailNextWrite();  // the journal is the close's first write
  Check();
  EXPECT_EQ(data().day_of_month, 5u);
  EXPECT_EQ(data().total_days, 0u);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(ui_.CallsStartingWith("notice The day could not be closed").size(), 1u);

  Check();
  EXPECT_EQ(data().total_days, 1u);
  EXPECT_NE(Log().find("Saturday, 5 December 2026"), std::string::npos);
}

TEST_F(DayRolloverTest, ASaveThatFailsKeepsTheJournalUntilTheNextSave) {
  files_.FailAccess("/data/dTolvi.dat");
  Check();
  EXPECT_EQ(data().total_days, 1u);  // the closed day stays in memory
  EXPECT_TRUE(files_.GetFile("/data/TlvClose.jnl").has_value());
  EXPECT_FALSE(files_.GetFile("/data/TlvDB.lbf Bak").has_value());
  EXPECT_EQ(ui_.CallsStartingWith("notice The closed day could not be saved").size(), 1u);

  files_.FailAccess("/data/dTolvi.dat", false);
  EXPECT_TRUE(SaveProgramFiles(context_).ok());
  EXPECT_FALSE(files_.GetFile("/data/TlvClose.jnl").has_value());
}

// A program on fake files that can be killed and started again: the first
// run leaves Saturday, 5 December 2026 open and saved, with 4 hours on the
// current work type; the clock then stands at Sunday 00:00:45.
struct RestartableProgram {
  RestartableProgram() {
    clock_.SetLocalTime(2026, 12, 5, 9, 0, 0);
    clock_.SetFileTimeHigh(kLastClose +
                           kStampUnitsPerDay);  // a first run dates its last close a day back
    Start();
    EXPECT_EQ(LoadProgramFiles(*context_).outcome, LoadOutcome::kReady);
    {
      const StateLock lock(context_->state.mutex);
      context_->state.activity.current_today_ms = 14'400'000;
    }
    EXPECT_TRUE(SaveProgramFiles(*context_).ok());
    opened_total_days_ = context_->state.data.total_days;
    clock_.SetLocalTime(2026, 12, 6, 0, 0, 45);
  }

  void Start() {
    context_ =
        std::make_unique<CoreContext>(CorePorts{clock_, ui_, files_, random_}, "/data", "/program");
    InstallDayRollover(*context_, [] { FAIL() << "no question expected"; });
  }
  // The monitor's start: the current work type, then the day check.
  LoadResult Restart() {
    context_.reset();
    files_.Revive();
    Start();
    LoadResult loaded = LoadProgramFiles(*context_);
    if (loaded.outcome == LoadOutcome::kReady) {
      {
        const StateLock lock(context_->state.mutex);
        LoadCurrentWorkType(context_->state, context_->records);
      }
      RunDayCheck(*context_);
    }
    return loaded;
  }
  // Every file by its size and checksum, so that a difference reads briefly.
  // The " Bak" copies and the day's set in Backups/ are left out: a close
  // killed after its save is done, and its copies wait for the next backup.
  std::map<std::string, std::string> Files() const {
    std::map<std::string, std::string> all;
    for (const auto& path : files_.AllFiles()) {
      if (path.string().ends_with(kBackupSuffix)) continue;
      if (path.parent_path().filename() == kDayBackupFolder) continue;
      const std::string bytes = *files_.GetFile(path);
      all[path.string()] =
          std::to_string(bytes.size()) + " bytes, CRC " + std::to_string(Crc32(bytes));
    }
    return all;
  }

  FakeClock clock_;
  RecordingUi ui_;
  FakeFileSystem files_;
  ScriptedRandom random_;
  std::unique_ptr<CoreContext> context_;
  std::uint32_t opened_total_days_ = 0;
};

TEST(DayCloseRestart, ACloseKilledAtAnyFileChangeRunsOnceAtTheNextStart) {
  RestartableProgram uninterrupted;
  const std::size_t before = uninterrupted.files_.change_count();
  RunDayCheck(*uninterrupted.context_);
  const std::size_t changes = uninterrupted.files_.change_count() - before;
  ASSERT_GE(changes, 4u);  // journal, day line, data file, journal removal
  EXPECT_EQ(uninterrupted.Restart().notices, std::vector<std::string>{});
  const std::map<std::string, std::string> expected = uninterrupted.Files();
  ASSERT_EQ(expected.count("/data/TlvClose.jnl"), 0u);
  EXPECT_EQ(uninterrupted.context_->state.data.total_days, uninterrupted.opened_total_days_ + 1);

  for (std::size_t k = 1; k <= changes; ++k) {
    SCOPED_TRACE("killed at change " + std::to_string(k));
    RestartableProgram killed;
    killed.files_.CrashAtChange(k);
    RunDayCheck(*killed.context_);
    const LoadResult restarted = killed.Restart();
    EXPECT_EQ(restarted.outcome, LoadOutcome::kReady);
    EXPECT_EQ(killed.Files(), expected);  // the data file and the database among them
    if (k == 2) {  // the day line: the undone close is named in the start notices
      EXPECT_EQ(restarted.notices,
                std::vector<std::string>{"The day close that was interrupted on Sunday, 6 "
                                         "December 2026 00:00 was undone and will run again."});
    }
  }
}

TEST(DayCloseRestart, AFullLogIsRotatedBeforeTheCloseSoItsLineIsWrittenOnce) {
  RestartableProgram program;
  const std::string full = kLogHeader + std::string(kWorkLogRotateBytes, 'x') + "\r\n";
  program.files_.SetFile("/data/dLog.txt", full);
  program.files_.CrashAtChange(4);  // rotation copy and restart, journal, then the day line
  RunDayCheck(*program.context_);
  program.Restart();
  const std::string log = program.files_.GetFile("/data/dLog.txt").value_or("");
  EXPECT_EQ(log.rfind(kLogHeader + "Saturday, 5 December 2026     ", 0), 0u);
  EXPECT_EQ(log.find(" : Work: "), log.rfind(" : Work: "));
  EXPECT_EQ(program.files_.GetFile("/data/dLogOld.txt"), full);
}

TEST(DayCloseRestart, ACloseThatCannotBeUndoneEndsTheStartWithNothingChanged) {
  RestartableProgram program;
  program.files_.CrashAtChange(3);  // the data file's save
  RunDayCheck(*program.context_);
  program.context_.reset();
  program.files_.Revive();
  const std::map<std::string, std::string> left = program.Files();
  program.files_.FailAccess("/data/TlvDB.lbf");
  program.Start();
  const LoadResult loaded = LoadProgramFiles(*program.context_);
  EXPECT_EQ(loaded.outcome, LoadOutcome::kQuit);
  ASSERT_EQ(loaded.notices.size(), 1u);
  EXPECT_NE(loaded.notices[0].find("cannot be undone"), std::string::npos);
  EXPECT_EQ(program.Files(), left);
}

// On the open day's number the stamp alone tells a month or more from a day
// that lasted 25 hours; a month later is the same-day-next-month scenario's.
TEST_F(DayRolloverTest, TheSameDayNumberClosesOnceTheStampCountsTwoDays) {
  clock_.SetLocalTime(2027, 1, 5, 9, 0, 0);
  clock_.SetFileTimeHigh(kLastClose + 2 * kStampUnitsPerDay - 1);
  Check();
  EXPECT_EQ(data().total_days, 0u);
  clock_.SetFileTimeHigh(kLastClose + 2 * kStampUnitsPerDay);
  Check();
  EXPECT_EQ(data().total_days, 2u);
}

struct StampCase {
  std::uint32_t now;
  std::uint32_t last;
  std::optional<std::uint32_t> days;
};

TEST(DaysSinceLastClose, CountsWholeDaysFromOneToSeven) {
  const StampCase cases[] = {
      {kLastClose + 200, kLastClose, 1},
      {kLastClose + 401, kLastClose, 1},
      {kLastClose + 402, kLastClose, 2},
      {kLastClose + 1608, kLastClose, 7},
      {kLastClose - 1, kLastClose, std::nullopt},
      {kLastClose, kOldestValidStamp - 1, 1},  // no valid stamp yet
      {kLastClose, kOldestValidStamp, 7},
  };
  for (const StampCase& c : cases) {
    EXPECT_EQ(DaysSinceLastClose(c.now, c.last), c.days) << c.now << " after " << c.last;
  }
}

}  // namespace
}  // namespace tolvi
