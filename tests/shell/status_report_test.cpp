#include "shell/status_report.h"

#include <gtest/gtest.h>

#include "text/text.h"

namespace tolvi {
namespace {

// Working with reminders and micro breaks on, a daily target, on "Proj A".
struct Working {
  Working() {
    data.reminder_enabled = 1;
    data.micro_break_mode = 1;
    data.target_mode = 1;
    data.work_today_ms = 11'100'999;  // 185 minutes, shown 3:04
    data.break_today_ms = 600'500;
    data.away_today_ms = 1'000;
    SetFieldText(data.current_name, "Proj \"A\"");
    activity.working_flag = WorkingFlag::kWorking;
    activity.break_countdown_ms = 690'000;  // 11:30
    activity.micro_countdown_ms = 190'000;
    activity.current_today_ms = 5'400'000;  // 1:30
    activity.target_remaining_ms = 3'600'999;
  }
  ProgramData data{};
  ActivityState activity;
};

TEST(StatusReport, JsonHoldsEveryFieldInWholeSecondsInItsFixedOrderAndTheLineTheTooltip) {
  const Working w;
  EXPECT_EQ(StatusLine(MakeStatusReport(w.data, w.activity)),
            "Time until break: 12 (4) minutes Proj \"A\": 1:30/3:04 hours");
  EXPECT_EQ(StatusJson(MakeStatusReport(w.data, w.activity)),
            "{\"mode\":\"Working\",\"counting_down\":true,\"seconds_until_break\":690,"
            "\"micro_break_seconds\":190,\"work_today_seconds\":11100,"
            "\"break_today_seconds\":600,\"away_today_seconds\":1,"
            "\"work_type\":\"Proj \\\"A\\\"\",\"work_type_today_seconds\":5400,"
            "\"target_left_seconds\":3600,"
            "\"tooltip\":\"Time until break: 12 (4) minutes\\nProj \\\"A\\\": 1:30/3:04 hours\"}");
}

TEST(StatusReport, FiguresThatAreOffAreNullAndNoCountdownOutsideWork) {
  Working w;
  w.data.micro_break_mode = 0;
  w.data.target_mode = 0;
  w.activity.away = true;
  const StatusReport report = MakeStatusReport(w.data, w.activity);
  EXPECT_EQ(report.mode, ActivityMode::kAway);
  EXPECT_FALSE(report.counting_down);
  const std::string json = StatusJson(report);
  EXPECT_NE(json.find("\"micro_break_seconds\":null,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"target_left_seconds\":null,"), std::string::npos) << json;
  w.data.reminder_enabled = 0;
  w.activity.away = false;
  EXPECT_FALSE(MakeStatusReport(w.data, w.activity).counting_down);
}

TEST(StatusReport, WaybarShowsMinutesWhileCountingDownElseTheMode) {
  Working w;
  EXPECT_EQ(WaybarJson(MakeStatusReport(w.data, w.activity)),
            "{\"text\":\"12 min\",\"tooltip\":\"Time until break: 12 (4) minutes\\nProj "
            "\\\"A\\\": 1:30/3:04 hours\",\"class\":\"working\",\"alt\":\"working\"}");
  w.activity.meeting = true;
  EXPECT_EQ(WaybarJson(MakeStatusReport(w.data, w.activity)),
            "{\"text\":\"At Meeting\",\"tooltip\":\"At Meeting, Proj \\\"A\\\": 1:30/3:04 "
            "hours\",\"class\":\"at-meeting\",\"alt\":\"at-meeting\"}");
}

TEST(StatusReport, ModeNamesReadBack) {
  for (const ActivityMode mode : {ActivityMode::kWorking, ActivityMode::kOnBreak,
                                  ActivityMode::kAway, ActivityMode::kAtMeeting}) {
    EXPECT_EQ(ModeFromName(ModeName(mode)), mode);
  }
  EXPECT_EQ(ModeFromName("working"), std::nullopt);
}

}  // namespace
}  // namespace tolvi
