#include "engine/requests.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "accounting/work_type_record.h"
#include "engine/engine_fixture.h"
#include "engine/mode_commands.h"
#include "engine/monitor_thread.h"
#include "state/command_ids.h"
#include "text/text.h"

namespace tolvi {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class RequestsTest : public EngineFixture {
 protected:
  void Post(std::uint32_t code, std::int32_t value) {
    ASSERT_TRUE(TryPostRequest(context_, code, value));
  }
  void Pass() { RunMonitorPass(context_); }
};

// The old work type's flush and the new one's load are the scenarios'.
TEST_F(RequestsTest, ChangeOfWorkTypeMovesTheCurrentSlotAndFreesTheRequest) {
  ASSERT_TRUE(context_.records.WriteText(4, work_type_field::kName, "Writing").ok());
  state().recent[5] = RecentWorkEntry{.record_id = 4, .name = "Writing"};
  Post(request::kChangeWorkType, 4);
  Pass();
  EXPECT_EQ(activity().current_slot, 5);
  EXPECT_TRUE(context_.events.request_free.IsSet());
}

TEST_F(RequestsTest, SlotIsTakenUntilTheMonitorHasFinished) {
  Post(request::kRefresh, 0);
  EXPECT_FALSE(TryPostRequest(context_, request::kRefresh, 0));
  Pass();
  EXPECT_TRUE(TryPostRequest(context_, request::kRefresh, 0));
}

// Edit and Select Work are the work-type dialog scenario's.
TEST_F(RequestsTest, AddWorkTypeKeepsTheSlotAndAsksForANewRecordsDialog) {
  activity().request_code = request::kAddWorkType;
  Pass();
  EXPECT_EQ(activity().request_code, request::kAddWorkType);
  EXPECT_EQ(activity().request_value, request::kNewWorkTypeValue);
  EXPECT_THAT(ui_.calls(), ElementsAre("post 2018"));
}

// What the dialog scenarios cannot see: the monitor is woken when a dialog
// closes and again once its result is applied, instead of sleeping out its
// pace, and the slot is free again.
TEST_F(RequestsTest, AClosedDialogAndItsAppliedResultWakeTheMonitor) {
  activity().request_code = request::kSelectWorkType;
  Pass();
  const std::optional<WorkTypeDialog> dialog = BeginWorkTypeDialog(context_);
  ASSERT_EQ(dialog, WorkTypeDialog::kSelectWork);
  EndWorkTypeDialog(context_, *dialog);
  EXPECT_TRUE(context_.events.wake.IsSet());
  Pass();
  EXPECT_TRUE(context_.events.wake.IsSet());
  EXPECT_TRUE(context_.events.request_free.IsSet());
}

TEST_F(RequestsTest, AStray2018OpensNoDialog) {
  bool opened = false;
  RunWorkTypeDialogCommand(context_, [&](WorkTypeDialog) { opened = true; });
  EXPECT_FALSE(opened);
  EXPECT_EQ(activity().request_code, request::kNone);
}

TEST_F(RequestsTest, AnUnknownCodeIsDroppedSoTheSlotFrees) {
  context_.events.request_free.Reset();
  activity().request_code = 42;
  Pass();
  EXPECT_EQ(activity().request_code, request::kNone);
  EXPECT_TRUE(context_.events.request_free.IsSet());
}

TEST_F(RequestsTest, PostRequestGivesUpWhileADialogHoldsTheSlot) {
  context_.events.request_free.Reset();
  activity().request_code = request::kDialogOpen;
  EXPECT_FALSE(PostRequest(context_, request::kRefresh, 0));
  EXPECT_EQ(activity().request_code, request::kDialogOpen);
}

// The waiting thread sleeps until the monitor frees the slot: it is not
// brought round (wait_step) before, as a polling wait would be.
TEST_F(RequestsTest, PostRequestSleepsUntilTheMonitorFreesTheSlot) {
  Post(request::kRefresh, 0);
  std::jthread monitor([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Pass();
  });
  int steps = 0;
  EXPECT_TRUE(PostRequest(context_, request::kChangeWorkType, 3, [&] { ++steps; }));
  EXPECT_EQ(steps, 0);
  EXPECT_EQ(activity().request_code, request::kChangeWorkType);
}

// The disk refuses the sort that follows the Work Details dialog: the failed
// record write reaches the user instead of vanishing, and the refresh is
// still brought forward.
TEST_F(RequestsTest, AWorkDetailsResultWhoseWriteIsRefusedIsToldToTheUser) {
  ASSERT_TRUE(context_.records.WriteText(0, work_type_field::kName, "Zeta").ok());
  files_.FailRenames(true);
  Post(request::kWorkDetailsClosed, 0);
  Pass();
  EXPECT_THAT(ui_.CallsStartingWith("notice "),
              ElementsAre(StartsWith("notice Tolvi cannot write to its work-type database: ")));
  EXPECT_EQ(activity().phase, kPhaseAfterDialog);
}

TEST_F(RequestsTest, MidnightTimerPostsTheDayCheckWithoutWakingTheMonitor) {
  OnMidnightTimer(context_);
  EXPECT_EQ(activity().request_code, request::kDayCheck);
  EXPECT_FALSE(context_.events.wake.IsSet());
  EXPECT_FALSE(context_.events.request_free.IsSet());
  // A taken slot: try again in a second instead of waiting.
  OnMidnightTimer(context_);
  EXPECT_THAT(Timers(), ElementsAre("timer 3 1000"));
}

TEST_F(RequestsTest, AutoBeginStartsWorkBeforeTheTrayIconIsChosen) {
  data().auto_begin = 1;
  activity().working_flag = WorkingFlag::kOnBreak;
  EXPECT_TRUE(BeginTrayAndCountdown(context_));
  EXPECT_THAT(ui_.CallsStartingWith("addtray"), ElementsAre("addtray 504|Tolvi 1.91"));
}

// The passes, the tray retries and the exit handshake themselves are the
// scenarios'; here the thread that runs them.
TEST_F(RequestsTest, MonitorThreadTicksWithoutATrayAndEndsWithTheExitHandshake) {
  ui_.SetTrayAvailable(false);
  MonitorThread monitor(context_);
  monitor.Start();
  for (int i = 0; i < 400 && ui_.CallsStartingWith("addtray").size() < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  {
    std::lock_guard lock(context_.state.mutex);
    EXPECT_GE(activity().phase, 1u) << "no tick ran";
  }
  EXPECT_GE(ui_.CallsStartingWith("addtray").size(), 3u);
  EXPECT_EQ(CommandExit(context_), ExitStep::kHandshakeBegun);
  monitor.Join();
  EXPECT_EQ(ui_.calls().back(), "post 2012");
  EXPECT_FALSE(context_.records.is_open());
}

}  // namespace
}  // namespace tolvi
