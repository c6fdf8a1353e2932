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

// Ten closed days; Proj A (current) and Proj B each hold 45 hours, one
// record below the ten listed ones would hold more.
class LogTotalsTest : public CoreFixture {
 protected:
  LogTotalsTest() {
    data().total_days = 10;
    data().away_total = 7'200;
    data().break_total = 3'600;
    data().break_today_ms = 360'000;
    const std::int32_t a = AddWorkType("Proj A", 26'940, 360'000);
    AddWorkType("Proj B", 27'000, 3);
    EXPECT_TRUE(records().SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted).ok());
    data().current_work_type = static_cast<std::uint32_t>(a);
    context_.state.activity.current_today_ms = 360'000;
    RebuildRecentWork(context_.state, records());
  }
};

const std::string kBlock =
    " \r\n"
    "\r\n"
    "14 03 27 Sunday, 6 December 2026             : Work Summary\r\n"
    " \r\n"
    "\r\n"
    "Proj A Avg:4:30 Tot:45:00 Per:50.0\r\n"
    "Proj B Avg:4:30 Tot:45:00 Per:50.0\r\n"
    " \r\n"
    "\r\n"
    "Away Avg:1:12 Tot:12:00 Per:5.0\r\n"
    "On Break Avg:0:36 Tot:6:06 Per:2.54\r\n"
    "Working Avg:9:00 Tot:90:00 Per:37.50\r\n"
    "Total Days: 10\r\n"
    " \r\n"
    "\r\n";

TEST_F(LogTotalsTest, WritesTheWorkSummaryBlock) {
  LogTotals(context_);
  EXPECT_EQ(Log(), kLogHeader + kBlock);
}

TEST_F(LogTotalsTest, ListsOnlyTheFirstTenRecentWorkEntries) {
  for (int i = 0; i < 11; ++i) AddWorkType("Filler " + std::to_string(i), 0, 60'000'000 - i);
  RebuildRecentWork(context_.state, records());
  LogTotals(context_);
  EXPECT_NE(Log().find("Filler 9 Avg:"), std::string::npos);
  EXPECT_EQ(Log().find("Filler 10 Avg:"), std::string::npos);
  EXPECT_EQ(Log().find("Proj A Avg:"), std::string::npos);
}

}  // namespace
}  // namespace tolvi
