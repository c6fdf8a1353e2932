#include "worklog/work_log.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

const std::string kHeader =
    "Tolvi v1.91 Work Log\r\n"
    " \r\n"
    "#C\r\n"
    " \r\n";

class WorkLogTest : public ::testing::Test {
 protected:
  WorkLogTest() { clock_.SetLocalTime(2026, 12, 6, 14, 3, 27); }

  std::string Log() const { return files_.GetFile("/data/dLog.txt").value_or("<missing>"); }
  std::string OldLog() const { return files_.GetFile("/data/dLogOld.txt").value_or("<missing>"); }

  FakeFileSystem files_;
  FakeClock clock_;
  WorkLog log_{files_, clock_, "/data"};
};

TEST_F(WorkLogTest, AMissingLogStartsWithTheHeaderThenTheLine) {
  EXPECT_EQ(log_.WriteLogLine("first", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), kHeader + "first\r\n");
  EXPECT_EQ(kHeader.size(), 32u);
}

TEST_F(WorkLogTest, AnEmptyLogGetsTheHeaderAndAFilledOneDoesNot) {
  files_.SetFile("/data/dLog.txt", "");
  ASSERT_EQ(log_.WriteLogLine("a", LogLineMode::kPlain), LogWriteResult::kWritten);
  ASSERT_EQ(log_.WriteLogLine("b", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), kHeader + "a\r\nb\r\n");
}

TEST_F(WorkLogTest, WritesTheThreeLineModes) {
  files_.SetFile("/data/dLog.txt", "x\r\n");
  (void)log_.WriteLogLine(" ", LogLineMode::kPlainThenEmpty);
  (void)log_.WriteLogLine("Work Summary", LogLineMode::kStamped);
  (void)log_.WriteLogLine("\r\n#C\r\n \r\n", LogLineMode::kPlain);
  EXPECT_EQ(Log(),
            "x\r\n"
            " \r\n"
            "\r\n"
            "14 03 27 Sunday, 6 December 2026             : Work Summary\r\n"
            "\r\n"
            "#C\r\n"
            " \r\n"
            "\r\n");
}

TEST(FormatLogStamp, PadsTheTimeToNineAndTheDateToThirtyFiveBytes) {
  const LocalTime time{.year = 2026, .month = 12, .day = 6, .hour = 7, .minute = 5, .second = 5};
  EXPECT_EQ(FormatLogStamp(time, "Sunday, 6 December 2026"),
            "07 05 05 Sunday, 6 December 2026             : ");
  EXPECT_EQ(FormatLogStamp(time, "Wednesday, 30 September 2026, week 40 of the year"),
            "07 05 05 Wednesday, 30 September 2026, week  : ");
}

TEST(FormatLogStamp, CutsALongDateOnlyAtACharacterBoundary) {
  const LocalTime time{.hour = 23, .minute = 59, .second = 0};
  // "é" takes bytes 35 and 36: it cannot be cut in half, so it goes whole.
  const std::string date = std::string(34, 'd') + "\xC3\xA9" + "xyz";
  EXPECT_EQ(FormatLogStamp(time, date), "23 59 00 " + std::string(34, 'd') + "  : ");
}

TEST_F(WorkLogTest, ALogOfExactlyTheLimitIsStillAppendedTo) {
  const std::string full(kWorkLogRotateBytes, 'x');
  files_.SetFile("/data/dLog.txt", full);
  ASSERT_EQ(log_.WriteLogLine("more", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), full + "more\r\n");
  EXPECT_EQ(OldLog(), "<missing>");
}

TEST_F(WorkLogTest, ALogAboveTheLimitMovesToTheOldLogAndStartsAgain) {
  const std::string full(kWorkLogRotateBytes + 1, 'x');
  files_.SetFile("/data/dLog.txt", full);
  files_.SetFile("/data/dLogOld.txt", "an older generation");
  ASSERT_EQ(log_.WriteLogLine("next", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(OldLog(), full);
  EXPECT_EQ(Log(), kHeader + "next\r\n");
}

TEST_F(WorkLogTest, AFailedRotationCopyKeepsTheLogGrowingInsteadOfLosingIt) {
  const std::string full(kWorkLogRotateBytes + 1, 'x');
  files_.SetFile("/data/dLog.txt", full);
  files_.FailAccess("/data/dLogOld.txt");
  ASSERT_EQ(log_.WriteLogLine("next", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), full + "next\r\n");
}

TEST_F(WorkLogTest, ALogThatCannotBeWrittenLosesOnlyTheNewLine) {
  files_.SetFile("/data/dLog.txt", "kept\r\n");
  files_.FailAccess("/data/dLog.txt");
  EXPECT_EQ(log_.WriteLogLine("lost", LogLineMode::kPlain), LogWriteResult::kNotWritten);
  files_.FailAccess("/data/dLog.txt", false);
  EXPECT_EQ(Log(), "kept\r\n");
}

}  // namespace
}  // namespace tolvi
