#include "engine/tray_tip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "text/text.h"

namespace tolvi {
namespace {

// Working, on a break and without reminders the tips are the scenarios'.
class TrayTipTest : public ::testing::Test {
 protected:
  TrayTipTest() {
    data_.reminder_enabled = 1;
    SetFieldText(data_.current_name, "Writing");
    activity_.working_flag = WorkingFlag::kWorking;
    activity_.current_today_ms = 5'400'000;
    data_.work_today_ms = 11'100'000;
  }
  std::string Tip() const { return TrayTooltip(data_, activity_); }

  ProgramData data_{};
  ActivityState activity_;
};

TEST_F(TrayTipTest, MicroBreaksAddTheirMinutesInBrackets) {
  data_.micro_break_mode = 1;
  activity_.break_countdown_ms = 690'000;  // 11 min 30 s
  activity_.micro_countdown_ms = 190'000;  // 3 min 10 s
  EXPECT_EQ(Tip(), "Time until break: 12 (4) minutes\r\nWriting: 1:30/3:04 hours");
}

TEST_F(TrayTipTest, MinutesCountFromNineMillisecondsBeforeTheFullMinute) {
  EXPECT_EQ(TooltipMinutes(59'991), 2u);
  EXPECT_EQ(TooltipMinutes(59'990), 1u);
}

TEST_F(TrayTipTest, AwayAndAtMeetingNameThemselvesFirst) {
  activity_.away = 1;
  EXPECT_EQ(Tip(), "Away, Writing: 1:30/3:04 hours");
  EXPECT_EQ(TrayIconFor(activity_), TrayIcon::kAway);
  activity_.meeting = 1;
  EXPECT_EQ(Tip(), "At Meeting, Writing: 1:30/3:04 hours");
  EXPECT_EQ(TrayIconFor(activity_), TrayIcon::kAtMeeting);
}

// A name from an old Windows file grows as UTF-8 (each euro sign takes
// three bytes), so the tip can pass its limit.
TEST_F(TrayTipTest, ALongTipIsCutTo127BytesAtACharacterBoundary) {
  std::fill(std::begin(data_.current_name), std::end(data_.current_name) - 1, '\x80');
  const std::string tip = Tip();
  EXPECT_GE(tip.size(), 125u);
  EXPECT_LE(tip.size(), 127u);
  EXPECT_EQ(ToUtf8(tip), tip);  // still valid UTF-8
}

}  // namespace
}  // namespace tolvi
