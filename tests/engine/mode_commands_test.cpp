#include "engine/mode_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/engine_fixture.h"
#include "engine/requests.h"
#include "state/command_ids.h"

namespace tolvi {
namespace {

using ::testing::ElementsAre;

class ModeCommandsTest : public EngineFixture {};

// The other reset modes, and Auto Reset+ after four and six minutes, are the
// working-day scenario's.
TEST_F(ModeCommandsTest, AutoResetPlusKeepsTheCountdownAfterABreakOfExactlyFiveMinutes) {
  data().reset_mode = 2;
  activity().break_countdown_ms = 700'000;
  Locked([&] { StartBreak(context_); });
  data().break_today_ms += 300'000;
  Locked([&] { StartWork(context_); });
  EXPECT_EQ(activity().break_countdown_ms, 700'000u);
}

TEST_F(ModeCommandsTest, StartBreakEndsAMeetingButLeavesAway) {
  activity().meeting = true;
  activity().away = true;
  Locked([&] { StartBreak(context_); });
  EXPECT_FALSE(activity().meeting);
  EXPECT_TRUE(activity().away);
  EXPECT_THAT(ui_.CallsStartingWith("tray "),
              ElementsAre("tray 503|Away, New Work: 0:00/0:00 hours"));
}

// From a break or from work the click is in the scenarios.
TEST_F(ModeCommandsTest, TrayLeftClickWhileAwayReturnsToWorkOnlyWhenActivityIsWatched) {
  struct Case {
    const char* what;
    std::uint32_t meeting, away, away_method, expected_flag;
  };
  for (const Case& c :
       {Case{"at a meeting", 1, 0, 0, 0}, Case{"away, monitor activity", 0, 1, 0, 1},
        Case{"away, manual", 0, 1, 1, 0}}) {
    activity().working_flag = WorkingFlag::kWorking;
    activity().meeting = c.meeting;
    activity().away = c.away;
    data().away_toggle_method = c.away_method;
    TrayLeftClick(context_);
    EXPECT_EQ(activity().working_flag, static_cast<WorkingFlag>(c.expected_flag)) << c.what;
    EXPECT_FALSE(activity().meeting) << c.what;
  }
}

// A tray click racing the Exit command lands after the exit request.
TEST_F(ModeCommandsTest, NoModeChangeUndoesAnExitRequest) {
  using Change = void (*)(CoreContext&);
  const Change changes[] = {CommandWorking,
                            CommandOnBreak,
                            CommandAway,
                            CommandAtMeeting,
                            TrayLeftClick,
                            [](CoreContext& c) {
                              const StateLock lock(c.state.mutex);
                              StartWork(c);
                            },
                            [](CoreContext& c) {
                              const StateLock lock(c.state.mutex);
                              StartBreak(c);
                            }};
  for (const Change change : changes) {
    activity().working_flag = WorkingFlag::kExit;
    change(context_);
    EXPECT_EQ(activity().working_flag, WorkingFlag::kExit);
    EXPECT_FALSE(activity().meeting);
    EXPECT_FALSE(activity().away);
  }
}

// Leaving a meeting is the suspend scenario's.
TEST_F(ModeCommandsTest, AtMeetingFromABreakOrAwayIsWorking) {
  activity().working_flag = WorkingFlag::kOnBreak;
  activity().away = true;
  CommandAtMeeting(context_);
  EXPECT_TRUE(activity().meeting);
  EXPECT_FALSE(activity().away);
  EXPECT_EQ(activity().working_flag, WorkingFlag::kWorking);
}

TEST_F(ModeCommandsTest, ResetReminderRestartsBothCountdownsWithoutWakingTheMonitor) {
  data().micro_break_mode = 2;
  activity().break_countdown_ms = 5;
  activity().micro_countdown_ms = 5;
  CommandResetReminder(context_);
  EXPECT_EQ(activity().break_countdown_ms, 1'800'000u);
  EXPECT_EQ(activity().micro_countdown_ms, 450'000u);
  EXPECT_FALSE(context_.events.wake.IsSet());
}

TEST_F(ModeCommandsTest, AwayCommandSetsAwayAndWakes) {
  activity().meeting = true;
  CommandAway(context_);
  EXPECT_TRUE(activity().away);
  EXPECT_FALSE(activity().meeting);
  EXPECT_TRUE(context_.events.wake.IsSet());
}

TEST_F(ModeCommandsTest, ExitChosenTwiceDestroysTheWindowAtOnce) {
  EXPECT_EQ(CommandExit(context_), ExitStep::kHandshakeBegun);
  EXPECT_TRUE(context_.events.wake.IsSet());
  EXPECT_EQ(CommandExit(context_), ExitStep::kDestroyNow);
  EXPECT_THAT(ui_.CallsStartingWith("post "), ElementsAre("post 2012"));
}

// Select Work, Refresh, Edit and the filled slots reach the monitor in the
// scenarios; Add Work Type and an empty slot do not.
TEST_F(ModeCommandsTest, AddWorkTypeIsARequestAndAnEmptySlotIsNone) {
  EXPECT_EQ(RequestForCommand(context_, command::kAddWorkType)->code, request::kAddWorkType);
  // An empty Recent Work slot names no work type, and is still handled here.
  EXPECT_FALSE(RequestForCommand(context_, command::kChangeWorkFirst + 4).has_value());
  EXPECT_TRUE(DispatchEngineCommand(context_, command::kChangeWorkFirst + 19));
  EXPECT_FALSE(DispatchEngineCommand(context_, command::kOptions));
}

}  // namespace
}  // namespace tolvi
