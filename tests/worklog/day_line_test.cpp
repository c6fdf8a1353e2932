#include "worklog/day_line.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvi {
namespace {

// Friday, 4 December 2026: Proj A 4 hours, Proj B 2.5 hours; 45 minutes of
// break and 70 minutes (and a little) away.
DayFigures ExampleDay() {
  DayFigures day;
  day.work_ms = 23'400'000;
  day.break_ms = 2'700'000;
  day.away_ms = 4'212'000;
  day.top[0] = {"Proj A", 14'400'000};
  day.top[1] = {"Proj B", 9'000'000};
  return day;
}

TEST(FormatDayLine, MatchesTheLogFormatByteForByteInBothStyles) {
  EXPECT_EQ(FormatDayLine("Friday, 4 December 2026",
                          FormatDaySummary(ExampleDay(), TimeStyle::kHoursMinutes), "client visit"),
            "Friday, 4 December 2026       "
            " : Work: 6:30, Break: 0:45, Away: 1:10, (Proj A: 4:00, Proj B: 2:30, : "
            "0:00, "
            ": 0:00, : 0:00) client visit");
  // Empty notes add nothing, not even the space.
  EXPECT_EQ(FormatDayLine("Friday, 4 December 2026",
                          FormatDaySummary(ExampleDay(), TimeStyle::kDecimal), ""),
            "Friday, 4 December 2026       "
            " : Work: 6.50, Break: 0.75, Away: 1.17, (Proj A: 4.00, Proj B: "
            "2.50, : 0.00, "
            ": 0.00, : 0.00)");
}

TEST(FormatDayLine, NeverCutsALongDate) {
  const DaySummaryText summary = FormatDaySummary(DayFigures{}, TimeStyle::kHoursMinutes);
  const std::string long_date = "Wednesday, 30 September 2026 (week 40)";
  EXPECT_TRUE(FormatDayLine(long_date, summary, "").starts_with(long_date + " : Work"));
}

TEST(FormatDayReport, HoldsTheTotalsAndTheThreeBusiestWorkTypes) {
  EXPECT_EQ(FormatDayReport(FormatDaySummary(ExampleDay(), TimeStyle::kHoursMinutes)),
            "Work: 6:30, Break: 0:45, Away: 1:10\r\n(Proj A: 4:00, Proj B: 2:30, : "
            "0:00)");
}

}  // namespace
}  // namespace tolvi
