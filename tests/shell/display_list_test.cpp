#include "shell/display_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "text/text.h"

namespace tolvi {
namespace {

TEST(DisplayLayout, FollowsTheClientSize) {
  const struct {
    std::uint32_t width, height;
    std::int32_t right, bottom;
    std::uint32_t rows;
  } cases[] = {
      {411, 281, 401, 276, 2},
      {410, 280, 400, 270, 2},  // at the edges
      {300, 200, 400, 270, 2},  // narrow and low: laid out as 400 x 270
      {500, 225, 490, 270, 2},  // unsigned wrap below 230
      {500, 290, 490, 285, 3},
      {570, 652, 560, 647, 20},  // the largest window: 21 rows are more than the table has
  };
  for (const auto& c : cases) {
    const MainWindowLayout layout = LayoutFor(c.width, c.height);
    EXPECT_EQ(layout.right, c.right) << c.width << " x " << c.height;
    EXPECT_EQ(layout.bottom, c.bottom) << c.width << " x " << c.height;
    EXPECT_EQ(layout.rows, c.rows) << c.width << " x " << c.height;
  }
}

class DisplayListTest : public ::testing::Test {
 protected:
  DisplayListTest() {
    SetFieldText(data_.current_name, "Writing");
    activity_.working_flag = WorkingFlag::kWorking;
    activity_.break_countdown_ms = 900'000;  // 15 minutes
    activity_.current_today_ms = 5'400'000;
    data_.work_today_ms = 7'200'000;
    data_.total_days = 4;
    recent_[0] = RecentWorkEntry{5'400'000, 3, 1'200, 3'600'000, 0, "Writing"};
    recent_[1] = RecentWorkEntry{1'800'000, 5, 600, 0, 0, "Mail"};
  }
  DisplayList List(std::uint32_t width = 420, std::uint32_t height = 452) const {
    return BuildDisplayList(DisplayState{data_, activity_, recent_}, width, height);
  }
  // The texts of the line whose top edge is at y, left to right, joined by "|".
  static std::string Row(const DisplayList& list, std::int32_t y) {
    std::vector<DisplayText> row;
    std::copy_if(list.texts.begin(), list.texts.end(), std::back_inserter(row),
                 [y](const DisplayText& text) { return text.rect.top == y; });
    std::stable_sort(row.begin(), row.end(), [](const DisplayText& a, const DisplayText& b) {
      return a.rect.left < b.rect.left;
    });
    std::string joined;
    for (const DisplayText& text : row) joined += (&text == row.data() ? "" : "|") + text.text;
    return joined;
  }
  static Rgb ColourOf(const DisplayList& list, const std::string& text) {
    const auto found = std::find_if(list.texts.begin(), list.texts.end(),
                                    [&](const DisplayText& t) { return t.text == text; });
    return found == list.texts.end() ? Rgb{1, 2, 3} : found->colour;
  }

  ProgramData data_{};
  ActivityState activity_;
  RecentWorkTable recent_;
};

TEST_F(DisplayListTest, WorkingShowsTheTaskItsTimeAndTheCountdown) {
  const DisplayList list = List();
  EXPECT_EQ(Row(list, 15), "Task:|Writing|Time:|1 Hrs, 30 Mns");
  EXPECT_EQ(Row(list, 35), "Time until break: |16 Mns| Tot:|2 Hrs");
  data_.micro_break_mode = 1;
  activity_.micro_countdown_ms = 450'000;
  activity_.target_remaining_ms = 1'800'000;
  EXPECT_EQ(Row(List(), 35), "Time until break: |16 (8) Mns|TTG:|30 Mns");
}

TEST_F(DisplayListTest, ABreakShowsItsLengthRedOnlyAfterTheMaximumBreakAlert) {
  activity_.working_flag = WorkingFlag::kOnBreak;
  data_.break_today_ms = 1'500'000;
  activity_.break_mark = 900'000;
  activity_.max_break_state = MaxBreakState::kArmed;
  const DisplayList list = List();
  EXPECT_EQ(Row(list, 15), "On Break (Writing)|Time:|10 Mns");
  EXPECT_EQ(Row(list, 35), "Total Time:|25 Mns| Tot:|2 Hrs");
  EXPECT_EQ(ColourOf(list, "10 Mns"), (Rgb{0, 0, 0}));
  activity_.max_break_state = MaxBreakState::kFired;
  EXPECT_EQ(ColourOf(List(), "10 Mns"), (Rgb{255, 0, 0}));
}

TEST_F(DisplayListTest, AwayShowsTheAbsenceInsteadOfTheBreak) {
  activity_.away = 1;
  data_.away_today_ms = 3'600'000;
  activity_.away_mark = 1'200'000;
  data_.break_today_ms = 60'000;
  const DisplayList list = List();
  EXPECT_EQ(Row(list, 15), "Away (Writing)|Time:|40 Mns");
  EXPECT_EQ(Row(list, 35), "Total Time:|1 Hrs| Tot:|2 Hrs");
}

TEST_F(DisplayListTest, FigureLinesShowTodayYesterdayAverageTotalAndShare) {
  activity_.grand_total = 3'600;  // six hours in tenths of a minute
  DisplayList list = List();
  // Writing: 1200 + 5400000 / 6000 = 2100 tenths of a minute of 3600, over
  // 4 days 525; Mail: 600 + 300 = 900 tenths, a quarter of all work.
  EXPECT_EQ(Row(list, 100), "Writing|1:30|1:00|0:52|3:30|58.33");
  EXPECT_EQ(Row(list, 120), "Mail|0:30|0:00|0:22|1:30|25.0");
  recent_[0] = RecentWorkEntry{0, 3, 0, 0, 0, "Idle type"};  // no totals: no numbers
  list = List();
  EXPECT_EQ(Row(list, 100), "Idle type");
  EXPECT_EQ(Row(list, 120), "Mail|0:30|0:00|0:22|1:30|25.0");
}

TEST_F(DisplayListTest, WithoutClosedDaysAverageIsTodayAndSharesAreZero) {
  data_.total_days = 0;
  activity_.grand_total = 3'600;
  const DisplayList list = List();
  EXPECT_EQ(Row(list, 100), "Writing|1:30|1:00|1:30|3:30|0.0");
  EXPECT_FALSE(list.refresh_totals);
}

TEST_F(DisplayListTest, DayLinesShareTheDaysSinceTheFirst) {
  data_.total_days = 1;
  data_.break_total = 1'440;  // a tenth of a day
  data_.away_total = 0;
  data_.work_today_ms = 0;
  activity_.grand_total = 7'200;
  const DisplayList list = List(420, 290);  // three rows: the day lines start at 190
  EXPECT_EQ(Row(list, 210), "Break|0:00|0:00|2:24|2:24|10.0");
  EXPECT_EQ(Row(list, 230), "Total Work|0:00|0:00|12:00|12:00|50.0");
}

TEST_F(DisplayListTest, OnlyAShareAboveAllWorkAsksForARefresh) {
  activity_.grand_total = 2'099;  // a tenth of a minute less than Writing alone
  EXPECT_TRUE(List().refresh_totals);
  activity_.grand_total = 2'100;  // Writing is all the work: exactly 100 %
  EXPECT_FALSE(List().refresh_totals);
}

}  // namespace
}  // namespace tolvi
