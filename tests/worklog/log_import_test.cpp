#include "worklog/log_import.h"

#include <gtest/gtest.h>

#include <string>

#include "worklog/core_fixture.h"
#include "worklog/log_import_parser.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

constexpr std::string_view kDate = "Monday, 7 December 2026        : ";

// A day line in hours and minutes: its totals, then one entry and the four
// unused slots.
std::string Day(std::string_view totals, std::string_view entry) {
  return std::string(kDate) + "Work: " + std::string(totals) + ", (" + std::string(entry) +
         ", : 0:00, : 0:00, : 0:00, : 0:00)\r\n";
}

// A new database (placeholder in slot 0), as the upgrade leaves it.
class LogImportTest : public CoreFixture {
 protected:
  void PutLog(const std::string& lines) { files_.SetFile("/data/dLog.txt", kLogHeader + lines); }

  WorkImport Import() {
    StateLock lock(context_.state.mutex);
    return ImportWorkFromLog(context_);
  }

  // The live record of that name, or -1.
  std::int32_t Named(std::string_view name) {
    for (const std::int32_t id : records().LiveRecords()) {
      if (records().ReadText(id, field::kName) == name) return id;
    }
    return -1;
  }
};

TEST_F(LogImportTest, ALogHoldingOnlyItsHeaderImportsNothing) {
  PutLog("");
  const WorkImport result = Import();
  EXPECT_EQ(result.confirmation,
            kLogHeader + "\r\nDays 0\r\nWorking 0:00\r\nOn Break 0:00\r\nAway 0:00");
}

// An old log holds Windows-1252 bytes; the old data file's name of the same
// work type reached the records as UTF-8. Both must be one work type.
TEST_F(LogImportTest, WindowsCodePageNamesMeetTheirUtf8Record) {
  AddWorkType("Caf\xC3\xA9", 0, 0);
  PutLog(std::string(kDate) +
         "Work: 2.00, Break: 0.00, Away: 0.00, (Caf\xE9: 1.50, R\xE9sum\xE9: 0.50, : 0.00, "
         ": 0.00, : 0.00)\r\n");
  (void)Import();
  ASSERT_EQ(records().LiveRecords().size(), 2u);
  EXPECT_EQ(Field(Named("Caf\xC3\xA9"), field::kTotal), 900u);
  EXPECT_EQ(Field(Named("R\xC3\xA9sum\xC3\xA9"), field::kTotal), 300u);
}

TEST_F(LogImportTest, ReportsDaysWhoseWorkTypesMissTheirTotalByMoreThanNineMinutes) {
  PutLog(Day("6:30, Break: 0:00, Away: 0:00", "A: 6:21") +
         Day("6:30, Break: 0:00, Away: 0:00", "A: 6:20") +
         Day("20:30, Break: 0:00, Away: 0:00", "A: 1:00") +
         Day("1:00, Break: 24:00, Away: 0:00", "A: 1:00"));
  const WorkImport result = Import();
  EXPECT_TRUE(
      result.confirmation.starts_with(kLogHeader + "Error in log at line(s) 6, 7, 8\r\n\r\nA "))
      << result.confirmation;
  // Imported all the same, with the implausible figures as 0.
  EXPECT_EQ(Field(Named("A"), field::kTotal), 3'810u + 3'800u + 600u + 600u);
  EXPECT_EQ(result.figures.total_days, 4u);
  EXPECT_EQ(result.figures.break_total, 0u);
}

TEST_F(LogImportTest, SkipsAndReportsLinesThatOnlyLookLikeDayLines) {
  PutLog(Day("2:00, Break: 0:00, Away: 0:00", "A: 2:00") +
         " \r\n"
         "\r\n"
         "14 03 27 Sunday, 6 December 2026             : Work Summary\r\n"
         " \r\n"
         "\r\n"
         "A rather long work type name Avg:4:30 Tot:45:00 Per:50.0\r\n"
         "Total Days: 1\r\n" +
         std::string(kDate) +
         "Work: 2:00, Break: 0:00, Away: 0:00, (B: 2:00, : 0:00, : 0:00, : 0:00, "
         ": 0:00\r\n" +
         std::string(kImportLineLimit + 1, 'x') + "\r\n");
  const WorkImport result = Import();
  EXPECT_TRUE(
      result.confirmation.starts_with(kLogHeader + "Skipped in log at line(s) 8, 11, 13, 14\r\n"))
      << result.confirmation;
  EXPECT_EQ(Field(Named("A"), field::kTotal), 1'200u);
  EXPECT_EQ(Named("B"), -1);
  EXPECT_EQ(result.figures.total_days, 1u);
}

TEST_F(LogImportTest, NumbersLinesAsAnEditorDoesWhateverTheirEnds) {
  std::string log = kLogHeader + Day("2:00, Break: 0:00, Away: 0:00", "A: 1:00") +
                    Day("1:00, Break: 0:00, Away: 0:00", "A: 1:00");
  std::erase(log, '\r');
  log.pop_back();  // the last line without its end
  files_.SetFile("/data/dLog.txt", log);
  const WorkImport result = Import();
  EXPECT_TRUE(result.confirmation.starts_with(kLogHeader + "Error in log at line(s) 5\r\n"));
  EXPECT_EQ(Field(Named("A"), field::kTotal), 1'200u);
}

TEST_F(LogImportTest, StopsListingLineNumbersWhenTheMessageIsFull) {
  std::string lines;
  for (int i = 0; i < 300; ++i) lines += Day("21:00, Break: 0:00, Away: 0:00", "A: 0:00");
  PutLog(lines);
  const std::string text = Import().confirmation;
  const std::size_t end = text.find("\r\n\r\n", kLogHeader.size());
  const std::string message = text.substr(kLogHeader.size(), end - kLogHeader.size());
  // "Error in log at line(s) 5, 6, ..., 99" is 397 bytes; each of 100 to 138
  // adds five more, and 592 is the first length that is not below 590.
  EXPECT_EQ(message.size(), 592u);
  EXPECT_TRUE(message.ends_with(", 137, 138")) << message;
}

TEST_F(LogImportTest, WithoutALogTodaysWorkGoesToUnknownAndTheOldFiguresStay) {
  data().work_today_ms = 3'600'000;
  data().total_days = 4;
  data().break_total = 600;
  data().away_total = 300;
  const WorkImport result = Import();
  EXPECT_EQ(result.confirmation, kLogHeader +
                                     "Unknown 1:00\r\n"
                                     "\r\nDays 4\r\nWorking 1:00\r\nOn Break 1:00\r\nAway 0:30"
                                     "\r\n\r\nOld totals were:\r\n\r\n"
                                     "Working 1:00\r\nOn Break 1:00\r\nAway 0:30");
  const std::int32_t unknown = Named("Unknown");
  EXPECT_EQ(Field(unknown, field::kTotal), 600u);
  EXPECT_EQ(Field(unknown, field::kMaximum), kDefaultMaximumMs);
}

TEST_F(LogImportTest, AWorkTypeInAReusedSlotStartsWithoutHistory) {
  const std::int32_t old = AddWorkType("Old", 5'000, 77);
  for (std::uint32_t number = field::kYesterday; number <= field::kLastReserved; ++number) {
    ASSERT_TRUE(records().WriteNumber(old, number, 1'000 + number).ok());
  }
  ASSERT_TRUE(records().WriteText(old, field::kNotes, "old notes").ok());
  ASSERT_TRUE(records().SetRecordStatus(old, SlotStatus::kDeleted).ok());
  PutLog(Day("1:00, Break: 0:00, Away: 0:00", "Fresh: 1:00"));
  (void)Import();
  const std::int32_t fresh = Named("Fresh");
  ASSERT_GE(fresh, 0);
  EXPECT_EQ(Field(fresh, field::kTotal), 600u);
  for (std::uint32_t number = field::kToday; number <= field::kLastReserved; ++number) {
    EXPECT_EQ(Field(fresh, number), 0u) << "field " << number;
  }
  EXPECT_EQ(records().ReadText(fresh, field::kNotes), "");
}

class ImportDialogTest : public LogImportTest {
 protected:
  ImportDialogTest() {
    AddWorkType("Work", 0, 0);
    data().total_days = 3;
    PutLog(Day("2:00, Break: 0:30, Away: 0:00", "Homework: 2:00"));
  }
};

TEST_F(ImportDialogTest, AsksWithTheResultAndKeepsItWhenConfirmed) {
  ui_.QueueAnswers({1});
  EXPECT_TRUE(RunImportDialog(context_));
  ASSERT_EQ(ui_.questions().size(), 1u);
  const Question question = ui_.questions()[0];
  EXPECT_TRUE(question.message.starts_with(std::string(kImportHeading) + "\r\n\r\n" + kLogHeader +
                                           "Homework 2:00\r\nWork 0:00\r\n"));
  EXPECT_FALSE(question.has_owner);
  EXPECT_EQ(Field(Named("Homework"), field::kTotal), 1'200u);
  EXPECT_EQ(data().total_days, 1u);
  EXPECT_EQ(data().break_total, 300u);
  EXPECT_FALSE(files_.GetFile("/data/TlvDB.lbf Import").has_value());
}

TEST_F(ImportDialogTest, CancelLeavesTheRecordsAsTheyWereBeforeTheImport) {
  ui_.QueueAnswers({2});
  EXPECT_FALSE(RunImportDialog(context_));
  EXPECT_EQ(Named("Homework"), -1);
  EXPECT_EQ(records().LiveRecords().size(), 2u);  // the placeholder and Work
  EXPECT_EQ(records().ReadText(kPlaceholderSlot, field::kName), "");
  EXPECT_EQ(data().total_days, 3u);
  EXPECT_FALSE(files_.GetFile("/data/TlvDB.lbf Import").has_value());
}

TEST_F(ImportDialogTest, CancelThatCannotRestoreKeepsTheCopyAndSaysWhere) {
  ui_.SetAnswerer([this](const Question&) {
    files_.FailRenames(true);
    return 2;
  });
  EXPECT_FALSE(RunImportDialog(context_));
  EXPECT_EQ(ui_.CallsStartingWith("notice "),
            std::vector<std::string>{"notice The imported work could not be "
                                     "undone (Rename failed on demand: "
                                     "/data/TlvDB.lbf Import); the records "
                                     "from before the import are kept in "
                                     "/data/TlvDB.lbf Import."});
  EXPECT_TRUE(files_.GetFile("/data/TlvDB.lbf Import").has_value());
}

}  // namespace
}  // namespace tolvi
