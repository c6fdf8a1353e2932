#include "worklog/log_totals.h"

#include <gtest/gtest.h>

#include "accounting/recent_work.h"
#include "worklog/core_fixture.h"

namespace tolvi {
namespace {

TEST(FormatTotalsLine, WritesAverageTotalAndShareWithoutSpacesAfterTheLabels) {
  // 45 hours of 90 over ten days.
  EXPECT_EQ(FormatTotalsLine(27'000, 54'000, "Proj A", 10, TimeStyle::kHoursMinutes),
            "Proj A Avg:4:30 Tot:45:00 Per:50.0");
  EXPECT_EQ(FormatTotalsLine(27'000, 54'000, "Proj A", 10, TimeStyle::kDecimal),
            "Proj A Avg:4.50 Tot:45.00 Per:50.0");
  // No average or share before the first closed day, nor a share of nothing.
  EXPECT_EQ(FormatTotalsLine(600, 1'200, "Working", 0, TimeStyle::kHoursMinutes),
            "Working Avg:0:00 Tot:1:00 Per:0.0");
  EXPECT_EQ(FormatTotalsLine(600, 0, "Away", 3, TimeStyle::kHoursMinutes),
            "Away Avg:0:19 Tot:1:00 Per:0.0");
  // 72,000 x 60,000 would wrap 32 bits: a large base is divided first.
  EXPECT_EQ(FormatTotalsLine(72'000, 720'000, "X", 100, TimeStyle::kHoursMinutes),
            "X Avg:1:12 Tot:120:00 Per:10.0");
}

using LogTotalsTest = CoreFixture;

TEST_F(LogTotalsTest, ListsOnlyTheFirstTenRecentWorkEntries) {
  AddWorkType("Proj A", 27'000, 0);  // the largest total, but the least work today
  for (int i = 0; i < 11; ++i) AddWorkType("Filler " + std::to_string(i), 0, 60'000'000 - i);
  RebuildRecentWork(context_.state, records());
  LogTotals(context_);
  EXPECT_NE(Log().find("Filler 9 Avg:"), std::string::npos);
  EXPECT_EQ(Log().find("Filler 10 Avg:"), std::string::npos);
  EXPECT_EQ(Log().find("Proj A Avg:"), std::string::npos);
}

}  // namespace
}  // namespace tolvi
