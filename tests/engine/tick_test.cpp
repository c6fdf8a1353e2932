#include "engine/tick.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <string>
#include <vector>

#include "accounting/work_type_record.h"
#include "engine/engine_fixture.h"
#include "engine/monitor_thread.h"
#include "text/text.h"

namespace tolvi {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class TickTest : public EngineFixture {
 protected:
  // One monitor pass whose tick is the housekeeping refresh.
  void RefreshPass() {
    activity().phase = kPhaseRefresh;
    clock_.AdvanceWithInput(6'000);
    RunMonitorPass(context_);
  }
  // Asked from another thread: a thread cannot ask about a lock it holds.
  bool StateLockIsFree() {
    return std::async(std::launch::async,
                      [this] {
                        if (!state().mutex.try_lock()) return false;
                        state().mutex.unlock();
                        return true;
                      })
        .get();
  }
  std::vector<std::string> Notices() const { return ui_.CallsStartingWith("notice "); }
};

TEST_F(TickTest, ATickEndingExactlyAtTheWorkTypeMaximumStartsTheBreak) {
  activity().current_maximum_ms = 7'200'000;
  activity().current_today_ms = 7'194'000;
  Tick(6'000);
  EXPECT_EQ(activity().working_flag, WorkingFlag::kOnBreak);
  EXPECT_EQ(activity().current_today_ms, 7'200'000u);
}

// Exactly 15 minutes, booked whole, is the suspend scenario's.
TEST_F(TickTest, AGapOfMoreThanFifteenMinutesBooksOneTickAndTheRestAsSuspended) {
  Tick(900'001);
  EXPECT_EQ(activity().tick_elapsed_ms, 6'000u);
  EXPECT_EQ(data().suspended_today_ms, 894'001u);
}

// Idle time across the wrap is the tick-wrap scenario's.
TEST(IdleTime, AnInputStampedAfterNowIsNoIdleTime) {
  EXPECT_EQ(IdleTimeMs(1'000, 2'000), 0u);
}

TEST_F(TickTest, AWorkingTickRunsTheMicroCountdownDownUntilTheBreakStarts) {
  data().micro_break_mode = 1;
  activity().micro_countdown_ms = 10'000;
  Tick(6'000);
  EXPECT_EQ(activity().micro_countdown_ms, 4'000u);
  // The tick that runs the break countdown out starts the break, which
  // re-arms the micro countdown; that tick does not lower it.
  activity().break_countdown_ms = 4'000;
  Tick(6'000);
  EXPECT_EQ(activity().break_countdown_ms, 0u);
  EXPECT_EQ(activity().working_flag, WorkingFlag::kOnBreak);
  EXPECT_EQ(activity().micro_countdown_ms, 900'000u);
}

// On a break the idle span comes off the break time, which stops at zero.
TEST_F(TickTest, AwayCorrectionOfABreakStopsAtZero) {
  activity().working_flag = WorkingFlag::kOnBreak;
  data().break_today_ms = 50'000;
  Tick(300'000, /*input=*/false);
  EXPECT_EQ(data().break_today_ms, 0u);
  EXPECT_EQ(activity().break_mark, 0u);
}

TEST_F(TickTest, ManualAwayIgnoresIdleTimeAndActivity) {
  data().away_toggle_method = 1;
  Tick(600'000, /*input=*/false);
  EXPECT_EQ(activity().away, 0u);
  activity().away = 1;
  Tick(6'000);
  EXPECT_EQ(activity().away, 1u);
}

// The manual target's notice is the target scenario's; an average mode
// names the target computed for today.
TEST_F(TickTest, TargetNoticeComesWhenTheRemainderIsReachedAndNamesTheTarget) {
  data().manual_target = 21'600'000;
  activity().today_target = 9'000'000;
  data().target_mode = 3;
  activity().target_remaining_ms = 7'000;
  Tick(6'000);
  EXPECT_THAT(Balloons(), IsEmpty());
  Tick(1'000);  // exactly the remainder
  EXPECT_EQ(activity().target_remaining_ms, 0u);
  EXPECT_THAT(Balloons(), ElementsAre("balloon Target time hit|Time was set as 2:30 hours"));
}

// Under the lock, so that a day close on the GUI thread cannot slip in
// between the block's copy and its write and be undone on disk.
TEST_F(TickTest, RefreshPassSavesTheDataFileUnderTheStateLock) {
  std::vector<bool> lock_free_at_save;
  files_.WatchAtomicWrites([&](const std::filesystem::path& path) {
    if (path.filename() == "dTolvi.dat") lock_free_at_save.push_back(StateLockIsFree());
  });
  activity().working_flag = WorkingFlag::kOnBreak;
  data().break_today_ms = 444'000;
  clock_.AdvanceWithInput(6'000);
  RunMonitorPass(context_);  // an ordinary tick saves nothing
  EXPECT_FALSE(files_.GetFile("/data/dTolvi.dat").has_value());

  RefreshPass();
  EXPECT_THAT(lock_free_at_save, ElementsAre(false));
  const std::optional<std::string> saved = files_.GetFile("/data/dTolvi.dat");
  ASSERT_TRUE(saved.has_value());
  // BreakTodayMs, 456,000 = 0x0006F540, at offset 44 of the block.
  EXPECT_EQ(saved->substr(8 + 44, 4), std::string("\x40\xF5\x06\x00", 4));
}

TEST_F(TickTest, AFailedRefreshSaveTellsTheUserOnceUntilASaveSucceeds) {
  files_.FailAccess("/data/dTolvi.dat");
  RefreshPass();
  RefreshPass();
  EXPECT_THAT(Notices(), ElementsAre(StartsWith("notice Tolvi cannot save its data file: ")));
  files_.FailAccess("/data/dTolvi.dat", false);
  RefreshPass();
  EXPECT_TRUE(files_.GetFile("/data/dTolvi.dat").has_value());
  files_.FailAccess("/data/dTolvi.dat");
  RefreshPass();
  EXPECT_EQ(Notices().size(), 2u);
}

TEST_F(TickTest, LogLinesKeptWaitingAreWrittenAtTheMonitorStartAndAtEachRefresh) {
  files_.SetFile("/data/dLog.txt", "older\r\n");
  files_.SetFile("/data/dLog.txt Pending", "kept\r\n");
  PrepareMonitorStart(context_);
  EXPECT_EQ(files_.GetFile("/data/dLog.txt"), "older\r\nkept\r\n");
  files_.SetFile("/data/dLog.txt Pending", "again\r\n");
  activity().phase = kPhaseRefresh;
  Tick(6'000);
  EXPECT_EQ(files_.GetFile("/data/dLog.txt"), "older\r\nkept\r\nagain\r\n");
  EXPECT_FALSE(files_.GetFile("/data/dLog.txt Pending").has_value());
}

TEST_F(TickTest, MonitorStartReplacesACurrentWorkTypeWithNoRecordBehindIt) {
  ASSERT_TRUE(context_.records.WriteNumber(0, work_type_field::kMaximum, 7'200'000).ok());
  ASSERT_TRUE(context_.records.SetRecordStatus(4, SlotStatus::kDeleted).ok());
  data().current_work_type = 4;
  activity().current_maximum_ms = 0;
  PrepareMonitorStart(context_);
  EXPECT_EQ(data().current_work_type, 0u);
  EXPECT_EQ(activity().current_maximum_ms, 7'200'000u);
  EXPECT_THAT(Notices(), ElementsAre(StartsWith("notice The current work type was not found")));
  ui_.Clear();
  data().current_work_type = 2;
  PrepareMonitorStart(context_);
  EXPECT_EQ(data().current_work_type, 2u);
  EXPECT_TRUE(Notices().empty());
}

TEST_F(TickTest, PhaseTwoBacksUpWhenTheDrawIsFive) {
  int backups = 0;
  context_.hooks.backup_data_files = [&](CoreContext&) { ++backups; };
  activity().phase = kPhaseBackup;
  random_.Queue(13);  // 13 mod 9 + 1 = 5
  Tick(6'000);
  EXPECT_EQ(backups, 1);
}

}  // namespace
}  // namespace tolvi
