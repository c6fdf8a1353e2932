#include "worklog/export.h"

#include <gtest/gtest.h>

#include "worklog/core_fixture.h"

namespace tolvi {
namespace {

// "Friday, 4 December 2026" padded to 30, then the figures.
const std::string kDayLine =
    "Friday, 4 December 2026        : Work: 6:30, Break: 0:45, Away: 1:10, "
    "(Proj A: 4:00, Say \"hi\", ok: 2:30, : 0:00, : 0:00, : 0:00) notes";

class ExportTest : public CoreFixture {
 protected:
  ExportTest() {
    const std::int32_t id = AddWorkType("Proj A", 600, 90'000);  // total 60 minutes
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kMaximum, 7'200'000).ok());
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kYesterday, 60'000).ok());
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kSixDaysBack, 6'000).ok());
    EXPECT_TRUE(records().WriteText(id, work_type_field::kNotes, "a, \"b\"").ok());
    // The new database's placeholder is no work type of the user's.
    EXPECT_TRUE(records().SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted).ok());
  }
  ExportedData Exported(std::string_view log) {
    ExportedData exported;
    exported.work_types = ReadWorkTypes(records());
    ReadLogDays(log, exported);
    return exported;
  }
};

TEST_F(ExportTest, CsvListsWorkTypesThenDaysWithQuotedTexts) {
  const std::string log = kLogHeader + kDayLine + "\r\n";
  EXPECT_EQ(ExportCsv(Exported(log)),
            "work_type,notes,maximum_seconds,today_seconds,day_1_back_seconds,"
            "day_2_back_seconds,day_3_back_seconds,day_4_back_seconds,day_5_back_seconds,"
            "day_6_back_seconds,total_seconds\r\n"
            "Proj A,\"a, \"\"b\"\"\",7200,90,60,0,0,0,0,6,3600\r\n"
            "\r\n"
            "date,work_seconds,break_seconds,away_seconds,work_type_1,seconds_1,work_type_2,"
            "seconds_2,work_type_3,seconds_3,work_type_4,seconds_4,work_type_5,seconds_5\r\n"
            "\"Friday, 4 December 2026\",23400,2700,4200,Proj A,14400,"
            "\"Say \"\"hi\"\", ok\",9000,,,,,,\r\n");
}

TEST_F(ExportTest, JsonHoldsTheSameFigures) {
  EXPECT_EQ(ExportJson(Exported(kDayLine)),
            "{\"work_types\":[\n"
            "{\"name\":\"Proj A\",\"notes\":\"a, \\\"b\\\"\",\"maximum_seconds\":7200,"
            "\"today_seconds\":90,\"days_back_seconds\":[60,0,0,0,0,6],\"total_seconds\":3600}\n"
            "],\n\"days\":[\n"
            "{\"date\":\"Friday, 4 December 2026\",\"work_seconds\":23400,"
            "\"break_seconds\":2700,\"away_seconds\":4200,\"implausible\":false,\"entries\":["
            "{\"name\":\"Proj A\",\"seconds\":14400},"
            "{\"name\":\"Say \\\"hi\\\", ok\",\"seconds\":9000}]}\n"
            "]}\n");
}

TEST_F(ExportTest, SkipsOtherLinesCountsBrokenDayLinesAndReadsOldBytes) {
  const std::string broken =
      "Saturday, 5 December 2026      : Work: 6:30, Break: x, Away: 1:10, (A: 1:00)";
  const std::string old =
      "Sunday, 6 December 2026        : Work: 1:00, Break: 0:00, Away: "
      "0:00, (Caf\xE9: 1:00, : 0:00, : 0:00, : 0:00, : 0:00)";
  const ExportedData exported = Exported(kLogHeader + broken + "\n" + old + "\n");
  EXPECT_EQ(exported.skipped_lines, 1u);
  ASSERT_EQ(exported.days.size(), 1u);
  ASSERT_EQ(exported.days[0].entries.size(), 1u);
  EXPECT_EQ(exported.days[0].entries[0].name, "Caf\xC3\xA9");
  EXPECT_EQ(exported.days[0].work_seconds, 3600u);
}

}  // namespace
}  // namespace tolvi
