#include "shell/alert_timers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_fixture.h"
#include "text/text.h"

namespace tolvi {
namespace {

class AlertTimersTest : public EngineFixture {
 protected:
  AlertTimersTest() {
    services_.play_reminder_sound = [this](std::uint32_t kind, const std::string& path) {
      done_.push_back("play " + std::to_string(kind) + " " + path);
    };
    services_.pause = [this](std::uint32_t ms) { done_.push_back("pause " + std::to_string(ms)); };
    SetFieldText(data().micro_break_file, "/sounds/micro.wav");
    SetFieldText(data().reminder_file, "/sounds/reminder.wav");
    SetFieldText(data().max_break_file, "/sounds/long.wav");
  }

  AlertServices services_;
  std::vector<std::string> done_;
};

TEST_F(AlertTimersTest, MicroBreakActionsPlayAndShowTheBalloonOrPause) {
  struct Case {
    std::uint32_t action;
    std::vector<std::string> done;
    bool balloon;
  };
  const std::vector<Case> cases = {
      {0, {"pause 4000"}, false},
      {1, {"play 1 /sounds/micro.wav"}, true},
      {2, {"play 2 /sounds/micro.wav", "pause 4000"}, false},
      {3, {"play 3 /sounds/micro.wav", "pause 4000"}, false},
  };
  for (const Case& c : cases) {
    data().micro_break_action = c.action;
    done_.clear();
    ui_.Clear();
    EXPECT_TRUE(HandleMicroBreakTimer(context_, services_, /*held=*/false));
    EXPECT_EQ(done_, c.done) << "action " << c.action;
    EXPECT_EQ(ui_.calls().front(), "kill 5");
    const std::vector<std::string> expected_balloons =
        c.balloon ? std::vector<std::string>{"balloon Micro Break|Get up for a quick stretch!"}
                  : std::vector<std::string>{};
    EXPECT_EQ(Balloons(), expected_balloons) << "action " << c.action;
  }
}

TEST_F(AlertTimersTest, MaximumAlertsPlayTheirActionsAndOnlyTheBreakOnePauses) {
  data().reminder_action = 6;
  data().max_break_action = 2;
  EXPECT_TRUE(HandleWorkTypeMaximumTimer(context_, services_, false));
  EXPECT_TRUE(HandleMaximumBreakTimer(context_, services_, false));
  EXPECT_EQ(done_, (std::vector<std::string>{"play 6 /sounds/reminder.wav",
                                             "play 2 /sounds/long.wav", "pause 4000"}));
  EXPECT_EQ(ui_.calls(), (std::vector<std::string>{"kill 8", "kill 9"}));
}

TEST_F(AlertTimersTest, AlertsWaitWhileHeldAndKeepTheirTimers) {
  EXPECT_FALSE(HandleMicroBreakTimer(context_, services_, /*held=*/true));
  EXPECT_FALSE(HandleWorkTypeMaximumTimer(context_, services_, true));
  EXPECT_FALSE(HandleMaximumBreakTimer(context_, services_, true));
  EXPECT_TRUE(done_.empty());
  EXPECT_TRUE(ui_.calls().empty());
}

}  // namespace
}  // namespace tolvi
