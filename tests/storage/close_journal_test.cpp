#include "storage/close_journal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

JournalEntry Entry(std::string name, JournalAction action, std::string bytes = "",
                   std::uint64_t length = 0) {
  return {std::move(name), action, std::move(bytes), length};
}

JournalEntry Remove(std::string name) {
  return Entry(std::move(name), JournalAction::kRemove);
}

std::string WithCrc(std::string body) {
  const std::uint32_t crc = Crc32(body);
  for (int shift = 0; shift < 32; shift += 8) body.push_back(static_cast<char>(crc >> shift));
  return body;
}

CloseJournal SampleJournal() {
  return {41,
          "Sunday, 6 December 2026 00:00",
          {Entry("TlvDB.lbf", JournalAction::kRestoreBytes, std::string("DB\0\xff", 4)),
           Entry("dLog.txt", JournalAction::kCutToLength, "", 32), Remove("dLogOld.txt")}};
}

TEST(CloseJournalFormat, IsWrittenByteForByteAsDocumented) {
  const CloseJournal journal{2, "d", {Entry("L", JournalAction::kCutToLength, "", 5)}};
  std::string expected("TlvClose", 8);
  expected += std::string("\x01\0\0\0", 4);  // version
  expected += std::string("\x02\0\0\0", 4);  // total days before
  expected += std::string("\x01\0\0\0", 4) + "d";
  expected += std::string("\x01\0\0\0", 4);  // one entry
  expected += std::string("\x02\0\0\0", 4);  // cut to length
  expected += std::string("\x01\0\0\0", 4) + "L";
  expected += std::string("\x05\0\0\0\0\0\0\0", 8);
  EXPECT_EQ(EncodeCloseJournal(journal), WithCrc(expected));
}

TEST(CloseJournalFormat, Crc32IsTheIeeeChecksum) {
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926U);
}

TEST(CloseJournalFormat, DecodesWhatWasEncoded) {
  EXPECT_EQ(DecodeCloseJournal(EncodeCloseJournal(SampleJournal())), SampleJournal());
}

TEST(CloseJournalFormat, ADamagedJournalIsNeverDecoded) {
  const std::string good = EncodeCloseJournal(SampleJournal());
  std::string flipped = good;
  flipped[20] ^= 0x01;
  CloseJournal escaping = SampleJournal();
  escaping.entries.push_back(Remove("../dTolvi.dat"));
  CloseJournal nested = SampleJournal();
  nested.entries.push_back(Remove("Backups/x"));
  std::string unknown_action = EncodeCloseJournal({0, "", {Remove("x")}});
  unknown_action.resize(unknown_action.size() - 4);
  unknown_action[8 + 4 + 4 + 4 + 4] = 9;  // the entry's action, checksum made to match
  unknown_action = WithCrc(unknown_action);
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"cut short", good.substr(0, good.size() - 1)},
      {"one bit flipped", flipped},
      {"a byte too many", good + "x"},
      {"a name leaving the directory", EncodeCloseJournal(escaping)},
      {"a name in a subdirectory", EncodeCloseJournal(nested)},
      {"an unknown action", unknown_action},
      {"a byte after the entries, checksum made to match",
       WithCrc(good.substr(0, good.size() - 4) + "x")},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(DecodeCloseJournal(c.bytes).has_value()) << c.what;
  }
}

class RollbackTest : public ::testing::Test {
 protected:
  RollbackOutcome RollBack() { return RollBackInterruptedClose(files_, clock_, "/data", notices_); }

  FakeClock clock_;
  FakeFileSystem files_;
  std::vector<std::string> notices_;
};

TEST_F(RollbackTest, PutsEveryFileBackAndRemovesTheJournal) {
  files_.SetFile("/data/TlvDB.lbf", "shifted");
  files_.SetFile("/data/dLog.txt", std::string(32, 'h') + "day line\r\n");
  files_.SetFile("/data/dLogOld.txt", "made by the close");
  ASSERT_TRUE(WriteCloseJournal(files_, "/data", SampleJournal()).ok());

  EXPECT_EQ(RollBack(), RollbackOutcome::kRolledBack);
  EXPECT_EQ(files_.GetFile("/data/TlvDB.lbf"), std::string("DB\0\xff", 4));
  EXPECT_EQ(files_.GetFile("/data/dLog.txt"), std::string(32, 'h'));
  EXPECT_FALSE(files_.GetFile("/data/dLogOld.txt").has_value());
  EXPECT_FALSE(files_.GetFile("/data/TlvClose.jnl").has_value());
  EXPECT_EQ(notices_.size(), 1u);
}

TEST_F(RollbackTest, ALogAlreadyShorterOrGoneIsLeftAsItIs) {
  ASSERT_TRUE(WriteCloseJournal(files_, "/data", SampleJournal()).ok());
  EXPECT_EQ(RollBack(), RollbackOutcome::kRolledBack);
  EXPECT_FALSE(files_.GetFile("/data/dLog.txt").has_value());
  files_.SetFile("/data/dLog.txt", "short");
  ASSERT_TRUE(WriteCloseJournal(files_, "/data", SampleJournal()).ok());
  EXPECT_EQ(RollBack(), RollbackOutcome::kRolledBack);
  EXPECT_EQ(files_.GetFile("/data/dLog.txt"), "short");
}

TEST_F(RollbackTest, ADamagedJournalIsKeptAsideAndNotApplied) {
  clock_.SetLocalTime(2026, 12, 6, 8, 30, 5);
  files_.SetFile("/data/TlvDB.lbf", "as it is");
  std::string bytes = EncodeCloseJournal(SampleJournal());
  bytes.back() ^= 0x40;
  files_.SetFile("/data/TlvClose.jnl", bytes);

  EXPECT_EQ(RollBack(), RollbackOutcome::kDamagedKeptAside);
  EXPECT_EQ(files_.GetFile("/data/TlvDB.lbf"), "as it is");
  EXPECT_FALSE(files_.GetFile("/data/TlvClose.jnl").has_value());
  EXPECT_EQ(files_.GetFile("/data/TlvClose.jnl.bad-20261206-083005"), bytes);
  ASSERT_EQ(notices_.size(), 1u);
  EXPECT_NE(notices_[0].find("is damaged and was not applied"), std::string::npos);
}

TEST(ForgetCloseJournal, OnlyASaveHoldingTheClosedDayRemovesTheJournal) {
  FakeFileSystem files;
  ASSERT_TRUE(WriteCloseJournal(files, "/data", SampleJournal()).ok());
  EXPECT_TRUE(ForgetCloseJournalIfSaved(files, "/data", 41).ok());  // taken before the close
  EXPECT_TRUE(files.GetFile("/data/TlvClose.jnl").has_value());
  EXPECT_TRUE(ForgetCloseJournalIfSaved(files, "/data", 42).ok());
  EXPECT_FALSE(files.GetFile("/data/TlvClose.jnl").has_value());
  EXPECT_TRUE(ForgetCloseJournalIfSaved(files, "/data", 42).ok());  // none left
}

}  // namespace
}  // namespace tolvi
