#include "reminders/break_reminder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/engine_fixture.h"
#include "settings/settings.h"
#include "text/text.h"

namespace tolvi {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

class BreakReminderTest : public EngineFixture {
 protected:
  BreakReminderTest() {
    // The monitor ran the countdown out: On Break, timer 2 armed.
    activity().break_countdown_ms = 0;
    Locked([&] { StartBreak(context_); });
    services_.play_reminder_sound = [&](std::uint32_t kind, const std::string& path) {
      sounds_.push_back(std::to_string(kind) + "|" + path);
    };
    services_.pause = [&](std::uint32_t ms) { pauses_.push_back(ms); };
    services_.stop_reminder_sound = [&] { ++stops_; };
    ui_.Clear();
  }
  void Fire(bool choice_open = false) {
    HandleBreakReminderTimer(context_, services_, choice_open);
  }

  BreakReminderServices services_;
  std::vector<std::string> sounds_;
  std::vector<std::uint32_t> pauses_;
  int stops_ = 0;
};

TEST_F(BreakReminderTest, WaitsWhileAnotherQuestionIsOpen) {
  Fire(/*choice_open=*/true);
  EXPECT_THAT(ui_.calls(), IsEmpty());
  EXPECT_THAT(sounds_, IsEmpty());
}

TEST_F(BreakReminderTest, SnoozeWorksOnForTheSnoozeTimeEvenUnderAutoResetAndAutoCont) {
  data().reset_mode = 1;
  data().auto_cont = 1;
  data().snooze_time = 300'000;
  ui_.QueueAnswers({2});
  Fire();
  EXPECT_THAT(sounds_, ElementsAre("1|"));
  EXPECT_EQ(ui_.questions().at(0).font, QuestionFont::kSmall);
  EXPECT_EQ(activity().working_flag, WorkingFlag::kWorking);
  EXPECT_EQ(activity().break_countdown_ms, 300'000u);
  EXPECT_EQ(stops_, 1);
}

TEST_F(BreakReminderTest, TakingTheBreakUnderAutoContGoesBackToWork) {
  data().auto_cont = 1;
  ui_.QueueAnswers({1});
  Fire();
  EXPECT_EQ(activity().working_flag, WorkingFlag::kWorking);
  EXPECT_EQ(activity().break_countdown_ms, data().break_interval);
}

TEST_F(BreakReminderTest, KindsWithoutAWindowPauseAndLeaveTheBreak) {
  data().reminder_action = 6;
  SetFieldText(data().reminder_file, "/sounds/gong.wav");
  Fire();
  EXPECT_THAT(sounds_, ElementsAre("6|/sounds/gong.wav"));
  EXPECT_THAT(pauses_, ElementsAre(5'000u));
  EXPECT_THAT(ui_.CallsStartingWith("ask "), IsEmpty());
  EXPECT_EQ(activity().working_flag, WorkingFlag::kOnBreak);
}

TEST_F(BreakReminderTest, RandomPhraseReplacesTheReminderText) {
  data().random_phrase = 1;
  services_.random_phrase = [] { return std::string("Stretch your legs"); };
  Fire();
  EXPECT_EQ(ui_.questions().at(0).message, "Stretch your legs");
  services_.random_phrase = nullptr;  // no phrases loaded: an empty message
  Fire();
  EXPECT_EQ(ui_.questions().at(1).message, "");
}

TEST_F(BreakReminderTest, LockScreenAsksOnTheLockDesktop) {
  int locked_questions = 0;
  services_.ask_on_lock_desktop = [&](const Question& question) {
    ++locked_questions;
    EXPECT_EQ(question.first_button, "I'll take a break now.");
    return 2;
  };
  ui_.QueueAnswers({1});
  Fire();  // the lock screen is off: the usual window asks
  data().lock_screen = 1;
  Fire();
  EXPECT_EQ(locked_questions, 1);
  EXPECT_THAT(ui_.CallsStartingWith("ask "), SizeIs(1));
  EXPECT_EQ(activity().working_flag, WorkingFlag::kWorking);
}

}  // namespace
}  // namespace tolvi
