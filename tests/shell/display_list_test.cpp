#include "shell/display_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "text/text.h"

namespace tolvi {
namespace {

struct LayoutCase {
  std::uint32_t width, height;
  std::int32_t right, bottom;
  std::uint32_t rows;
};

TEST(DisplayLayout, FollowsTheClientSize) {
  const LayoutCase cases[] = {
      {411, 281, 401, 276, 2},
      {410, 280, 400, 270, 2},  // at the edges
      {300, 200, 400, 270, 2},  // narrow and low: laid out as 400 x 270
      {500, 225, 490, 270, 2},  // unsigned wrap below 230
      {500, 290, 490, 285, 3},
      {570, 652, 560, 647, 20},  // the largest window: 21 rows are more than the table has
  };
  for (const LayoutCase& c : cases) {
    const MainWindowLayout layout = LayoutFor(c.width, c.height);
    EXPECT_EQ(layout.right, c.right) << c.width << " x " << c.height;
    EXPECT_EQ(layout.bottom, c.bottom) << c.width << " x " << c.height;
    EXPECT_EQ(layout.rows, c.rows) << c.width << " x " << c.height;
  }
}

TEST(DisplayLayout, SharesAreExactAndCapped) {
  EXPECT_EQ(ShareOf(100, 200, 1), 30'000u);
  EXPECT_EQ(ShareOf(1, 3, 1), 20'000u);
  // A base just above 60000 once lost a tenth of its size to rounding and
  // called a whole share 110 %.
  EXPECT_EQ(ShareOf(65'999, 65'999, 5), 60'000u);
  EXPECT_EQ(ShareOf(5, 0, 1), 0u);
  EXPECT_EQ(ShareOf(5, 10, 0), 0u);
  EXPECT_EQ(ShareOf(0xFFFF'FFFF, 1, 1), 0xFFFF'FFFFu);
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
  static std::optional<DisplayText> At(const DisplayList& list, DisplayRect rect) {
    for (const DisplayText& text : list.texts) {
      if (text.rect == rect) return text;
    }
    return std::nullopt;
  }
  static std::string TextAt(const DisplayList& list, DisplayRect rect) {
    const std::optional<DisplayText> text = At(list, rect);
    return text ? text->text : "<none>";
  }

  ProgramData data_{};
  ActivityState activity_;
  RecentWorkTable recent_;
};

TEST_F(DisplayListTest, WorkingShowsTheTaskItsTimeAndTheCountdown) {
  const DisplayList list = List();  // R 410
  EXPECT_EQ(TextAt(list, {55, 15, 205, 35}), "Writing");
  EXPECT_EQ(TextAt(list, {260, 15, 390, 35}), "1 Hrs, 30 Mns");
  EXPECT_EQ(TextAt(list, {140, 35, 240, 55}), "16 Mns");
  EXPECT_EQ(TextAt(list, {288, 35, 405, 55}), "2 Hrs");
  EXPECT_EQ(TextAt(list, {250, 35, 285, 55}), " Tot:");
}

TEST_F(DisplayListTest, MicroBreaksAndTargetsAddTheirFigures) {
  data_.micro_break_mode = 1;
  activity_.micro_countdown_ms = 450'000;
  activity_.target_remaining_ms = 1'800'000;
  const DisplayList list = List();
  EXPECT_EQ(TextAt(list, {140, 35, 240, 55}), "16 (8) Mns");
  EXPECT_EQ(TextAt(list, {288, 35, 405, 55}), "30 Mns");
  EXPECT_EQ(TextAt(list, {250, 35, 285, 55}), "TTG:");
}

TEST_F(DisplayListTest, ABreakShowsItsLengthRedOnlyAfterTheMaximumBreakAlert) {
  activity_.working_flag = WorkingFlag::kOnBreak;
  data_.break_today_ms = 1'500'000;
  activity_.break_mark = 900'000;
  activity_.max_break_state = MaxBreakState::kArmed;
  DisplayList list = List();
  EXPECT_EQ(TextAt(list, {9, 15, 205, 35}), "On Break (Writing)");
  EXPECT_EQ(TextAt(list, {260, 15, 390, 35}), "10 Mns");
  EXPECT_EQ(At(list, {260, 15, 390, 35})->colour, (Rgb{0, 0, 0}));
  EXPECT_EQ(TextAt(list, {100, 35, 245, 55}), "25 Mns");
  activity_.max_break_state = MaxBreakState::kFired;
  list = List();
  EXPECT_EQ(At(list, {260, 15, 390, 35})->colour, (Rgb{255, 0, 0}));
}

TEST_F(DisplayListTest, AwayShowsTheAbsenceInsteadOfTheBreak) {
  activity_.away = 1;
  data_.away_today_ms = 3'600'000;
  activity_.away_mark = 1'200'000;
  data_.break_today_ms = 60'000;
  const DisplayList list = List();
  EXPECT_EQ(TextAt(list, {9, 15, 205, 35}), "Away (Writing)");
  EXPECT_EQ(TextAt(list, {260, 15, 390, 35}), "40 Mns");
  EXPECT_EQ(TextAt(list, {100, 35, 245, 55}), "1 Hrs");
}

TEST_F(DisplayListTest, FigureLinesShowTodayYesterdayAverageTotalAndShare) {
  activity_.grand_total = 3'600;  // six hours in tenths of a minute
  const DisplayList list = List();
  // Writing: 1200 + 5400000 / 6000 = 2100 tenths of a minute of 3600.
  EXPECT_EQ(TextAt(list, {140, 100, 185, 120}), "1:30");
  EXPECT_EQ(TextAt(list, {185, 100, 230, 120}), "1:00");
  EXPECT_EQ(TextAt(list, {230, 100, 280, 120}), "0:52");  // 2100 / 4 days = 525 tenths
  EXPECT_EQ(TextAt(list, {280, 100, 360, 120}), "3:30");
  EXPECT_EQ(TextAt(list, {360, 100, 410, 120}), "58.33");
  // Mail: 600 + 300 = 900 tenths, a quarter of all work.
  EXPECT_EQ(TextAt(list, {360, 120, 410, 140}), "25.0");
}

TEST_F(DisplayListTest, ASlotWithoutTotalsGetsItsNameButNoNumbers) {
  recent_[0] = RecentWorkEntry{0, 3, 0, 0, 0, "Idle type"};
  const DisplayList list = List();
  EXPECT_EQ(TextAt(list, {9, 100, 150, 120}), "Idle type");
  EXPECT_EQ(TextAt(list, {140, 100, 185, 120}), "<none>");
  EXPECT_EQ(TextAt(list, {140, 120, 185, 140}), "0:30");  // Mail keeps its row
}

TEST_F(DisplayListTest, WithoutClosedDaysAverageIsTodayAndSharesAreZero) {
  data_.total_days = 0;
  activity_.grand_total = 3'600;
  const DisplayList list = List();
  EXPECT_EQ(TextAt(list, {230, 100, 280, 120}), "1:30");
  EXPECT_EQ(TextAt(list, {360, 100, 410, 120}), "0.0");
  EXPECT_FALSE(list.refresh_totals);
}

TEST_F(DisplayListTest, DayLinesShareTheDaysSinceTheFirst) {
  data_.total_days = 1;
  data_.break_total = 1'440;  // a tenth of a day
  data_.away_total = 0;
  data_.work_today_ms = 0;
  activity_.grand_total = 7'200;
  const DisplayList list = List(420, 290);
  EXPECT_EQ(TextAt(list, {360, 210, 410, 230}), "10.0");  // Break
  EXPECT_EQ(TextAt(list, {360, 230, 410, 250}), "50.0");  // Total Work
}

TEST_F(DisplayListTest, OnlyAShareAboveAllWorkAsksForARefresh) {
  activity_.grand_total = 2'099;  // a tenth of a minute less than Writing alone
  EXPECT_TRUE(List().refresh_totals);
  activity_.grand_total = 2'100;  // Writing is all the work: exactly 100 %
  EXPECT_FALSE(List().refresh_totals);
}

}  // namespace
}  // namespace tolvi
