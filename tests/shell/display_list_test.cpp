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
      {420, 452, 410, 447, 11},                           // the first size
      {411, 281, 401, 276, 2},  {410, 280, 400, 270, 2},  // at the edges
      {300, 200, 400, 270, 2},                            // narrow and low: laid out as 400 x 270
      {500, 230, 490, 270, 2},  {500, 269, 490, 270, 2},
      {500, 225, 490, 270, 2},  // unsigned wrap below 230
      {500, 270, 490, 270, 2},  {500, 290, 490, 285, 3},
      {500, 610, 490, 605, 19}, {570, 649, 560, 644, 20},
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

TEST_F(DisplayListTest, TwoRoundedPanelsOnWhite) {
  const DisplayList list = List();
  EXPECT_EQ(list.background, (Rgb{255, 255, 255}));
  ASSERT_EQ(list.panels.size(), 2u);
  EXPECT_EQ(list.panels[0].rect, (DisplayRect{5, 5, 410, 65}));
  EXPECT_EQ(list.panels[1].rect, (DisplayRect{5, 70, 410, 447}));
  EXPECT_EQ(list.panels[1].fill, (Rgb{213, 215, 183}));
}

TEST_F(DisplayListTest, WorkingShowsTheTaskItsTimeAndTheCountdown) {
  const DisplayList list = List();  // R 410
  EXPECT_EQ(TextAt(list, {55, 15, 205, 35}), "Writing");
  EXPECT_EQ(TextAt(list, {260, 15, 390, 35}), "1 Hrs, 30 Mns");
  EXPECT_EQ(TextAt(list, {140, 35, 240, 55}), "16 Mns");
  EXPECT_EQ(TextAt(list, {288, 35, 405, 55}), "2 Hrs");
  EXPECT_EQ(TextAt(list, {8, 15, 48, 35}), "Task:");
  EXPECT_EQ(TextAt(list, {190, 15, 260, 35}), "Time:");
  EXPECT_EQ(TextAt(list, {8, 35, 135, 55}), "Time until break: ");
  EXPECT_EQ(TextAt(list, {250, 35, 285, 55}), " Tot:");
  EXPECT_EQ(At(list, {55, 15, 205, 35})->font, DisplayFont::kBold);
  EXPECT_EQ(At(list, {8, 15, 48, 35})->font, DisplayFont::kRegular);
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
  EXPECT_EQ(TextAt(list, {210, 15, 260, 35}), "Time:");
  EXPECT_EQ(TextAt(list, {8, 35, 100, 55}), "Total Time:");
  activity_.max_break_state = MaxBreakState::kFired;
  list = List();
  EXPECT_EQ(At(list, {260, 15, 390, 35})->colour, (Rgb{255, 0, 0}));
}

TEST_F(DisplayListTest, AwayShowsTheAbsenceInsteadOfTheBreak) {
  activity_.away = true;
  data_.away_today_ms = 3'600'000;
  activity_.away_mark = 1'200'000;
  data_.break_today_ms = 60'000;
  const DisplayList list = List();
  EXPECT_EQ(TextAt(list, {9, 15, 205, 35}), "Away (Writing)");
  EXPECT_EQ(TextAt(list, {260, 15, 390, 35}), "40 Mns");
  EXPECT_EQ(TextAt(list, {100, 35, 245, 55}), "1 Hrs");
}

TEST_F(DisplayListTest, TheTableHasItsHeadingNamesAndSummaryLines) {
  const DisplayList list = List(420, 290);  // N 3: four work type lines
  EXPECT_EQ(TextAt(list, {140, 80, 410, 100}), "Tod   Yes    Avg    Tot           %");
  EXPECT_EQ(TextAt(list, {9, 100, 150, 120}), "Writing");
  EXPECT_EQ(TextAt(list, {9, 120, 150, 140}), "Mail");
  EXPECT_EQ(TextAt(list, {9, 140, 150, 160}), "");
  EXPECT_EQ(TextAt(list, {9, 160, 150, 180}), "");
  EXPECT_EQ(TextAt(list, {9, 190, 150, 210}), "Away");
  EXPECT_EQ(TextAt(list, {9, 210, 150, 230}), "Break");
  EXPECT_EQ(TextAt(list, {9, 230, 150, 250}), "Total Work");
  EXPECT_EQ(TextAt(list, {9, 260, 150, 280}), "Total Days");
  EXPECT_EQ(TextAt(list, {130, 260, 170, 280}), "4");
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

TEST_F(DisplayListTest, HalfAndAThirdOfAllWork) {
  activity_.grand_total = 1'800;
  recent_[0] = RecentWorkEntry{0, 3, 900, 0, 0, "Half"};
  recent_[1] = RecentWorkEntry{0, 5, 600, 0, 0, "Third"};
  const DisplayList list = List();
  EXPECT_EQ(TextAt(list, {360, 100, 410, 120}), "50.0");
  EXPECT_EQ(TextAt(list, {360, 120, 410, 140}), "33.33");
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

TEST_F(DisplayListTest, AShareAboveAllWorkAsksForARefresh) {
  activity_.grand_total = 1'000;  // less than Writing alone
  EXPECT_TRUE(List().refresh_totals);
  activity_.grand_total = 50'000;
  EXPECT_FALSE(List().refresh_totals);
}

TEST_F(DisplayListTest, ANarrowWindowIsLaidOutAt400) {
  const DisplayList list = List(300, 452);
  EXPECT_EQ(list.panels[0].rect, (DisplayRect{5, 5, 400, 65}));
  EXPECT_EQ(TextAt(list, {130, 80, 400, 100}), "Tod   Yes    Avg    Tot           %");
}

}  // namespace
}  // namespace tolvi
