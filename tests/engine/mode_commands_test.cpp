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

TEST_F(ModeCommandsTest, ReturningToWorkRestartsTheCountdownByResetMode) {
  struct Case {
    const char* what;
    std::uint32_t reset_mode, break_ms, countdown_before, countdown_after;
  };
  for (const Case& c : {Case{"manual keeps", 0, 3'600'000, 700'000, 700'000},
                        Case{"manual restarts from zero", 0, 60'000, 0, 1'800'000},
                        Case{"auto always restarts", 1, 1'000, 700'000, 1'800'000},
                        Case{"auto+ keeps after a short break", 2, 240'000, 700'000, 700'000},
                        Case{"auto+ keeps after five minutes", 2, 300'000, 700'000, 700'000},
                        Case{"auto+ restarts after a long break", 2, 360'000, 700'000, 1'800'000},
                        Case{"auto+ restarts from zero", 2, 1'000, 0, 1'800'000}}) {
    data().reset_mode = c.reset_mode;
    activity().break_countdown_ms = c.countdown_before;
    Locked([&] { StartBreak(context_); });
    data().break_today_ms += c.break_ms;
    Locked([&] { StartWork(context_); });
    EXPECT_EQ(activity().break_countdown_ms, c.countdown_after) << c.what;
  }
}

TEST_F(ModeCommandsTest, StartBreakEndsAMeetingButLeavesAwayAndArmsTheMaximumBreak) {
  activity().meeting = true;
  activity().away = true;
  data().max_break_action = 2;
  data().break_today_ms = 42'000;
  Locked([&] { StartBreak(context_); });
  EXPECT_FALSE(activity().meeting);
  EXPECT_TRUE(activity().away);
  EXPECT_EQ(activity().working_flag, WorkingFlag::kOnBreak);
  EXPECT_EQ(activity().break_mark, 42'000u);
  EXPECT_EQ(activity().max_break_state, MaxBreakState::kArmed);
  EXPECT_THAT(ui_.CallsStartingWith("tray "),
              ElementsAre("tray 503|Away, New Work: 0:00/0:00 hours"));
}

TEST_F(ModeCommandsTest, StartWorkRefreshesTheTrayBeforeItResetsTheCountdown) {
  activity().working_flag = WorkingFlag::kOnBreak;
  activity().break_countdown_ms = 0;
  CommandWorking(context_);
  // The tooltip shows the countdown as it stood; the next refresh corrects
  // it, which StartWork asks for.
  EXPECT_THAT(ui_.CallsStartingWith("tray "),
              ElementsAre("tray 504|Time until break: 1 minutes\r\nNew Work: 0:00/0:00 hours"));
  EXPECT_TRUE(activity().tray_refresh_pending);
  EXPECT_EQ(activity().break_countdown_ms, 1'800'000u);
  EXPECT_TRUE(context_.events.wake.IsSet());
}

TEST_F(ModeCommandsTest, TrayLeftClickTogglesByModeAndAwayMethod) {
  struct Case {
    const char* what;
    std::uint32_t working_flag, away, meeting, away_method, expected_flag;
  };
  for (const Case& c :
       {Case{"on break", 0, 0, 0, 0, 1}, Case{"working", 1, 0, 0, 0, 0},
        Case{"at a meeting", 1, 0, 1, 0, 0}, Case{"away, monitor activity", 1, 1, 0, 0, 1},
        Case{"away, manual", 1, 1, 0, 1, 0}}) {
    activity().working_flag = static_cast<WorkingFlag>(c.working_flag);
    activity().away = c.away;
    activity().meeting = c.meeting;
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
    activity().away = false;
    activity().meeting = false;
    change(context_);
    EXPECT_EQ(activity().working_flag, WorkingFlag::kExit);
    EXPECT_FALSE(activity().meeting);
    EXPECT_FALSE(activity().away);
  }
}

TEST_F(ModeCommandsTest, AtMeetingTogglesAndLeavingKeepsWorking) {
  activity().working_flag = WorkingFlag::kOnBreak;
  activity().away = true;
  CommandAtMeeting(context_);
  EXPECT_TRUE(activity().meeting);
  EXPECT_FALSE(activity().away);
  EXPECT_EQ(activity().working_flag, WorkingFlag::kWorking);
  CommandAtMeeting(context_);
  EXPECT_FALSE(activity().meeting);
  EXPECT_EQ(activity().working_flag, WorkingFlag::kWorking);
}

TEST_F(ModeCommandsTest, ResetReminderRestartsBothCountdownsWithoutWakingTheMonitor) {
  data().micro_break_mode = 2;
  activity().break_countdown_ms = 5;
  activity().micro_countdown_ms = 5;
  CommandResetReminder(context_);
  EXPECT_EQ(activity().break_countdown_ms, 1'800'000u);
  EXPECT_EQ(activity().micro_countdown_ms, 450'000u);
  EXPECT_TRUE(activity().tray_refresh_pending);
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
  EXPECT_EQ(activity().working_flag, WorkingFlag::kExit);
  EXPECT_TRUE(context_.events.wake.IsSet());
  EXPECT_EQ(CommandExit(context_), ExitStep::kDestroyNow);
  EXPECT_THAT(ui_.CallsStartingWith("post "), ElementsAre("post 2012"));
}

// Select Work, Refresh and the filled slots reach the monitor in the
// scenarios; Add Work Type and an empty slot do not.
TEST_F(ModeCommandsTest, WorkTypeCommandsNameTheirRequestAndRecord) {
  state().recent[3].record_id = 7;
  const auto edit = RequestForCommand(context_, command::kEditWorkFirst + 3);
  ASSERT_TRUE(edit.has_value());
  EXPECT_EQ(edit->code, request::kEditWorkType);
  EXPECT_EQ(edit->value, 7);
  EXPECT_EQ(RequestForCommand(context_, command::kAddWorkType)->code, request::kAddWorkType);
  // An empty Recent Work slot names no work type, and is still handled here.
  EXPECT_FALSE(RequestForCommand(context_, command::kChangeWorkFirst + 4).has_value());
  EXPECT_TRUE(DispatchEngineCommand(context_, command::kChangeWorkFirst + 19));
  EXPECT_TRUE(context_.events.request_free.IsSet());
  EXPECT_FALSE(DispatchEngineCommand(context_, command::kOptions));
}

}  // namespace
}  // namespace tolvi
