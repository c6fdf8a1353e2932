#include "worklog/work_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"

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
  std::string Pending() const {
    return files_.GetFile("/data/dLog.txt Pending").value_or("<missing>");
  }
  std::string OldLog() const { return files_.GetFile("/data/dLogOld.txt").value_or("<missing>"); }
  // The running program's log: its backlog and notices outlive each view.
  WorkLog View() { return WorkLog(files_, clock_, "/data", backlog_, ui_); }

  FakeFileSystem files_;
  FakeClock clock_;
  WorkLog log_{files_, clock_, "/data"};
  RecordingUi ui_;
  WorkLogBacklog backlog_;
};

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

TEST(FormatLogStamp, PadsTheTimeToNineAndCutsOrPadsTheDateToThirtyFiveBytes) {
  const LocalTime time{.year = 2026, .month = 12, .day = 6, .hour = 7, .minute = 5, .second = 5};
  EXPECT_EQ(FormatLogStamp(time, "Sunday, 6 December 2026"),
            "07 05 05 Sunday, 6 December 2026             : ");
  EXPECT_EQ(FormatLogStamp(time, "Wednesday, 30 September 2026, week 40 of the year"),
            "07 05 05 Wednesday, 30 September 2026, week  : ");
  // "é" takes bytes 35 and 36: it cannot be cut in half, so it goes whole.
  const std::string date = std::string(34, 'd') + "\xC3\xA9" + "xyz";
  EXPECT_EQ(FormatLogStamp(time, date), "07 05 05 " + std::string(34, 'd') + "  : ");
}

TEST_F(WorkLogTest, ALogAboveTheLimitMovesToTheOldLogAndStartsAgain) {
  const std::string full(kWorkLogRotateBytes, 'x');
  files_.SetFile("/data/dLog.txt", full);
  files_.SetFile("/data/dLogOld.txt", "an older generation");
  // Exactly the limit is still appended to.
  ASSERT_EQ(log_.WriteLogLine("more", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), full + "more\r\n");
  EXPECT_EQ(OldLog(), "an older generation");
  ASSERT_EQ(log_.WriteLogLine("next", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(OldLog(), full + "more\r\n");
  EXPECT_EQ(Log(), kHeader + "next\r\n");
}

TEST_F(WorkLogTest, AFailedRotationCopyKeepsTheLogGrowingInsteadOfLosingIt) {
  const std::string full(kWorkLogRotateBytes + 1, 'x');
  files_.SetFile("/data/dLog.txt", full);
  files_.FailAccess("/data/dLogOld.txt");
  ASSERT_EQ(log_.WriteLogLine("next", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), full + "next\r\n");
}

TEST_F(WorkLogTest, LinesTheLogRefusesWaitAndAreWrittenFirstExactlyOnce) {
  files_.SetFile("/data/dLog.txt", "kept\r\n");
  files_.FailAccess("/data/dLog.txt");
  EXPECT_EQ(log_.WriteLogLine("a", LogLineMode::kPlain), LogWriteResult::kKept);
  EXPECT_EQ(log_.WriteLogLine("b", LogLineMode::kPlainThenEmpty), LogWriteResult::kKept);
  EXPECT_EQ(Pending(), "a\r\nb\r\n\r\n");
  files_.FailAccess("/data/dLog.txt", false);
  EXPECT_EQ(Log(), "kept\r\n");

  EXPECT_EQ(log_.WriteLogLine("c", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Pending(), "<missing>");
  ASSERT_EQ(log_.WriteLogLine("d", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), "kept\r\na\r\nb\r\n\r\nc\r\nd\r\n");
}

TEST_F(WorkLogTest, APendingFileThatStaysAfterItsLinesAreWrittenIsToldAbout) {
  files_.SetFile("/data/dLog.txt", "kept\r\n");
  files_.SetFile("/data/dLog.txt Pending", "a\r\n");
  files_.CrashAtChange(2);  // the append lands; removing and emptying the file fail
  EXPECT_TRUE(View().WritePending());
  EXPECT_EQ(Log(), "kept\r\na\r\n");
  EXPECT_THAT(ui_.CallsStartingWith("notice "),
              testing::ElementsAre(
                  testing::StartsWith("notice Tolvi cannot remove /data/dLog.txt Pending")));
}

TEST_F(WorkLogTest, LinesNoFileTakesWaitInTheBacklogBehindThePendingFile) {
  files_.SetFile("/data/dLog.txt Pending", "a\r\n");
  files_.FailAccess("/data/dLog.txt");
  files_.FailAccess("/data/dLog.txt Pending");
  EXPECT_EQ(View().WriteLogLine("b", LogLineMode::kPlain), LogWriteResult::kKept);
  files_.FailAccess("/data/dLog.txt Pending", false);
  // The pending file is back but the log is not: the backlog joins it.
  EXPECT_EQ(View().WriteLogLine("c", LogLineMode::kPlain), LogWriteResult::kKept);
  EXPECT_EQ(Pending(), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(backlog_.unsaved, "");
  files_.FailAccess("/data/dLog.txt", false);
  EXPECT_TRUE(View().WritePending());
  EXPECT_EQ(Log(), kHeader + "a\r\nb\r\nc\r\n");
}

TEST_F(WorkLogTest, LinesKeptInMemoryAreWrittenAfterThePendingFileOnes) {
  files_.FailAccess("/data/dLog.txt");
  files_.FailAccess("/data/dLog.txt Pending");
  EXPECT_EQ(View().WriteLogLine("b", LogLineMode::kPlain), LogWriteResult::kKept);
  EXPECT_EQ(backlog_.unsaved, "b\r\n");
  // A previous run's line sits in the file, older than the one in memory.
  files_.FailAccess("/data/dLog.txt Pending", false);
  files_.SetFile("/data/dLog.txt Pending", "a\r\n");
  files_.FailAccess("/data/dLog.txt", false);
  EXPECT_EQ(View().WriteLogLine("c", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), kHeader + "a\r\nb\r\nc\r\n");
  EXPECT_EQ(backlog_.unsaved, "");
}

TEST_F(WorkLogTest, AnUnreadablePendingFileHoldsBackLaterLines) {
  files_.SetFile("/data/dLog.txt", "x\r\n");
  files_.SetFile("/data/dLog.txt Pending", "a\r\n");
  files_.FailAccess("/data/dLog.txt Pending");
  // Were it written over as soon as that can be, its line would be lost.
  files_.WatchAtomicWrites(
      [&](const std::filesystem::path& path) { files_.FailAccess(path, false); });
  EXPECT_EQ(log_.WriteLogLine("b", LogLineMode::kPlain), LogWriteResult::kKept);
  EXPECT_EQ(Log(), "x\r\n");
  files_.FailAccess("/data/dLog.txt Pending", false);
  EXPECT_EQ(Pending(), "a\r\n");
}

TEST(WorkLogTornWrite, AFailedWriteLeavesTheLogAsItWasAndTheHeaderComesOnce) {
  struct Case {
    std::optional<std::string> log_before;  // none: no log yet
    std::size_t bytes_written;
  };
  // Nothing or half the header of a new log, the header and part of the
  // line in an empty one, part of the line in a filled one.
  const Case cases[] = {{std::nullopt, 0}, {std::nullopt, 10}, {"", 33}, {"x\r\n", 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes_written);
    FakeFileSystem files;
    FakeClock clock;
    WorkLog log(files, clock, "/data");
    if (c.log_before) files.SetFile("/data/dLog.txt", *c.log_before);
    files.FailNextWrite(c.bytes_written);
    EXPECT_EQ(log.WriteLogLine("a", LogLineMode::kPlain), LogWriteResult::kKept);
    EXPECT_EQ(files.GetFile("/data/dLog.txt"), c.log_before);
    ASSERT_EQ(log.WriteLogLine("b", LogLineMode::kPlain), LogWriteResult::kWritten);
    const std::string start = c.log_before.value_or("").empty() ? kHeader : *c.log_before;
    EXPECT_EQ(files.GetFile("/data/dLog.txt"), start + "a\r\nb\r\n");
  }
}

TEST_F(WorkLogTest, TheUserIsToldOncePerOutage) {
  const auto write = [&](std::string_view text) {
    return View().WriteLogLine(text, LogLineMode::kPlain);
  };
  files_.FailAccess("/data/dLog.txt");
  (void)write("a");
  (void)write("b");
  EXPECT_THAT(ui_.CallsStartingWith("notice "),
              ::testing::ElementsAre(::testing::AllOf(
                  ::testing::StartsWith("notice Tolvi cannot write its work log /data/dLog.txt"),
                  ::testing::EndsWith("; the lines are kept and will be written when it can."))));
  files_.FailAccess("/data/dLog.txt", false);
  EXPECT_EQ(write("c"), LogWriteResult::kWritten);
  files_.FailAccess("/data/dLog.txt");
  (void)write("d");
  EXPECT_EQ(ui_.CallsStartingWith("notice ").size(), 2u);
}

}  // namespace
}  // namespace tolvi
