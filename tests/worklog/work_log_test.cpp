#include "worklog/work_log.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "worklog/core_fixture.h"

namespace tolvi {
namespace {

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

TEST(FormatLogStamp, CutsTheDateToThirtyFiveBytesButNeverInsideACharacter) {
  const LocalTime time{.year = 2026, .month = 12, .day = 6, .hour = 7, .minute = 5, .second = 5};
  EXPECT_EQ(FormatLogStamp(time, "Wednesday, 30 September 2026, week 40 of the year"),
            "07 05 05 Wednesday, 30 September 2026, week  : ");
  // "é" takes bytes 35 and 36: it cannot be cut in half, so it goes whole.
  const std::string date = std::string(34, 'd') + "\xC3\xA9" + "xyz";
  EXPECT_EQ(FormatLogStamp(time, date), "07 05 05 " + std::string(34, 'd') + "  : ");
}

TEST_F(WorkLogTest, AFailedRotationCopyKeepsTheLogGrowingAndTheNextOneReplacesTheOldLog) {
  const std::string full(kWorkLogRotateBytes + 1, 'x');
  files_.SetFile("/data/dLog.txt", full);
  files_.SetFile("/data/dLogOld.txt", "an older generation");
  files_.FailAccess("/data/dLogOld.txt");
  ASSERT_EQ(log_.WriteLogLine("next", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), full + "next\r\n");
  files_.FailAccess("/data/dLogOld.txt", false);
  ASSERT_EQ(log_.WriteLogLine("last", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(OldLog(), full + "next\r\n");
  EXPECT_EQ(Log(), kLogHeader + "last\r\n");
}

TEST_F(WorkLogTest, RefusedLinesWaitAreWrittenFirstExactlyOnceAndEachOutageIsToldOnce) {
  const auto write = [&](std::string_view text, LogLineMode mode = LogLineMode::kPlain) {
    return View().WriteLogLine(text, mode);
  };
  files_.SetFile("/data/dLog.txt", "kept\r\n");
  files_.FailAccess("/data/dLog.txt");
  EXPECT_EQ(write("a"), LogWriteResult::kKept);
  EXPECT_EQ(write("b", LogLineMode::kPlainThenEmpty), LogWriteResult::kKept);
  EXPECT_EQ(Pending(), "a\r\nb\r\n\r\n");
  EXPECT_THAT(ui_.CallsStartingWith("notice "),
              testing::ElementsAre(testing::AllOf(
                  testing::StartsWith("notice Tolvi cannot write its work log /data/dLog.txt"),
                  testing::EndsWith("; the lines are kept and will be written when it can."))));
  files_.FailAccess("/data/dLog.txt", false);
  EXPECT_EQ(Log(), "kept\r\n");

  EXPECT_EQ(write("c"), LogWriteResult::kWritten);
  EXPECT_EQ(Pending(), "<missing>");
  files_.FailAccess("/data/dLog.txt");
  EXPECT_EQ(write("d"), LogWriteResult::kKept);
  EXPECT_EQ(ui_.CallsStartingWith("notice ").size(), 2u);
  files_.FailAccess("/data/dLog.txt", false);
  ASSERT_EQ(write("e"), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), "kept\r\na\r\nb\r\n\r\nc\r\nd\r\ne\r\n");
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

TEST_F(WorkLogTest, LinesNoFileTakesWaitInMemoryBehindThePendingFile) {
  files_.SetFile("/data/dLog.txt Pending", "a\r\n");  // from a previous run
  files_.FailAccess("/data/dLog.txt");
  files_.FailAccess("/data/dLog.txt Pending");
  EXPECT_EQ(View().WriteLogLine("b", LogLineMode::kPlain), LogWriteResult::kKept);
  EXPECT_EQ(backlog_.unsaved, "b\r\n");
  // The pending file is back but the log is not: the backlog joins it.
  files_.FailAccess("/data/dLog.txt Pending", false);
  EXPECT_EQ(View().WriteLogLine("c", LogLineMode::kPlain), LogWriteResult::kKept);
  EXPECT_EQ(Pending(), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(backlog_.unsaved, "");
  files_.FailAccess("/data/dLog.txt Pending");
  EXPECT_EQ(View().WriteLogLine("d", LogLineMode::kPlain), LogWriteResult::kKept);
  // Both are back: the file's lines, older, go first.
  files_.FailAccess("/data/dLog.txt Pending", false);
  files_.FailAccess("/data/dLog.txt", false);
  EXPECT_EQ(View().WriteLogLine("e", LogLineMode::kPlain), LogWriteResult::kWritten);
  EXPECT_EQ(Log(), kLogHeader + "a\r\nb\r\nc\r\nd\r\ne\r\n");
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
    const std::string start = c.log_before.value_or("").empty() ? kLogHeader : *c.log_before;
    EXPECT_EQ(files.GetFile("/data/dLog.txt"), start + "a\r\nb\r\n");
  }
}

}  // namespace
}  // namespace tolvi
