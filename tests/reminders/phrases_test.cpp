#include "reminders/phrases.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (const std::string_view line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

TEST(ParsePhrases, KeepsTheAlertLinesAfterTheirHeader) {
  const PhraseTable table =
      ParsePhrases(Lines({"*Alerts", "Time to stretch.", "Look out of the window."}));
  EXPECT_THAT(table.phrases, ElementsAre("Time to stretch.", "Look out of the window."));
}

TEST(ParsePhrases, CountLineRaisesTheCapacityAndTheRestIsDropped) {
  std::string text = Lines({"*Alerts", "-a25"});
  for (int i = 1; i <= 30; ++i) text += "Phrase " + std::to_string(i) + "\r\n";
  const PhraseTable table = ParsePhrases(text);
  EXPECT_EQ(table.capacity, 25u);
  ASSERT_EQ(table.phrases.size(), 25u);
  EXPECT_EQ(table.phrases.back(), "Phrase 25");
}

TEST(ParsePhrases, HoldsTenPhrasesWithoutACountLine) {
  std::string text = Lines({"*Alerts"});
  for (int i = 1; i <= 12; ++i) text += "Phrase " + std::to_string(i) + "\r\n";
  EXPECT_EQ(ParsePhrases(text).phrases.size(), 10u);
}

struct CountCase {
  std::string_view line;
  std::uint32_t capacity;
};

class PhraseCountLineTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(PhraseCountLineTest, SetsOnlyCapacitiesFromElevenTo199) {
  EXPECT_EQ(ParsePhrases(Lines({GetParam().line, "*Alerts"})).capacity, GetParam().capacity);
}

INSTANTIATE_TEST_SUITE_P(PhraseFile, PhraseCountLineTest,
                         ::testing::Values(CountCase{"-a10", 10}, CountCase{"-a11", 11},
                                           CountCase{"-A199", 199}, CountCase{"-a200", 10},
                                           CountCase{"-w50", 10}, CountCase{"-a", 10},
                                           CountCase{"-a2x", 10}, CountCase{"-a 30 ", 30},
                                           CountCase{"a-40", 40},
                                           CountCase{"-a99999999999999999999", 10}));

TEST(ParsePhrases, CountLineAfterTheFirstPhraseIsDroppedAlone) {
  const PhraseTable table = ParsePhrases(Lines({"*Alerts", "First one", "-a25", "Second one"}));
  EXPECT_EQ(table.capacity, 10u);
  EXPECT_THAT(table.phrases, ElementsAre("First one", "Second one"));
}

TEST(ParsePhrases, WorkLinesStartTheTableSoALaterCountLineIsIgnored) {
  const PhraseTable table =
      ParsePhrases(Lines({"*Work", "Focus on one thing", "-a25", "*Alerts", "Breathe"}));
  EXPECT_EQ(table.capacity, 10u);
  EXPECT_THAT(table.phrases, ElementsAre("Breathe"));
}

TEST(ParsePhrases, DropsCommentsShortLinesAndLinesBeforeAnyHeader) {
  const PhraseTable table = ParsePhrases(
      Lines({"Before any header", "*alerts", "ok", "Drink # water", "", "Walk around", "# end"}));
  EXPECT_THAT(table.phrases, ElementsAre("Walk around"));
}

TEST(ParsePhrases, UnknownHeaderKeepsTheCurrentSection) {
  const PhraseTable table =
      ParsePhrases(Lines({"*Alerts", "One", "Stre*tch", "Two and more", "*Work", "Three"}));
  // "One" has three bytes, so it is a phrase; the header line is not.
  EXPECT_THAT(table.phrases, ElementsAre("One", "Two and more"));
}

TEST(ParsePhrases, AcceptsUnixAndOldMacLineEnds) {
  EXPECT_THAT(ParsePhrases("*Alerts\nRoll your shoulders\nBlink slowly\n").phrases,
              ElementsAre("Roll your shoulders", "Blink slowly"));
  EXPECT_THAT(ParsePhrases("*Alerts\rRoll your shoulders\r").phrases,
              ElementsAre("Roll your shoulders"));
}

TEST(ParsePhrases, LastLineWithoutALineEndIsNotUsed) {
  EXPECT_THAT(ParsePhrases("*Alerts\r\nKept line\r\nCut off at the end").phrases,
              ElementsAre("Kept line"));
}

TEST(ParsePhrases, CutsLongPhrasesTo199BytesOnACharacterBoundary) {
  const std::string ascii(400, 'x');
  EXPECT_EQ(ParsePhrases(Lines({"*Alerts", ascii})).phrases.at(0), std::string(199, 'x'));

  // 198 ASCII bytes and then a two-byte letter: the letter does not fit.
  const std::string accented = std::string(198, 'y') + "\xC3\xA9" + "zz";
  EXPECT_EQ(ParsePhrases(Lines({"*Alerts", accented})).phrases.at(0), std::string(198, 'y'));
}

TEST(ParsePhrases, ReadsOldWindowsTextAsWindows1252) {
  EXPECT_THAT(ParsePhrases(Lines({"*Alerts", "Caf\xE9 break \x80"})).phrases,
              ElementsAre("Caf\xC3\xA9 break \xE2\x82\xAC"));
}

TEST(ParsePhrases, HostileBytesGiveASafeResult) {
  using namespace std::string_literals;
  EXPECT_THAT(ParsePhrases("*Alerts\r\nA\0B\x01\x7F"
                           "C\tD\r\n"s)
                  .phrases,
              ElementsAre("AB\x7F"
                          "C\tD"));
  EXPECT_THAT(ParsePhrases(std::string(5'000'000, 'q')).phrases, IsEmpty());

  std::string noise;
  for (int i = 0; i < 100'000; ++i) noise.push_back(static_cast<char>((i * 7919) % 256));
  const PhraseTable table = ParsePhrases(noise);
  EXPECT_LE(table.phrases.size(), table.capacity);
  for (const std::string& phrase : table.phrases) EXPECT_LE(phrase.size(), kMaxPhraseBytes);
}

class LoadPhrasesTest : public ::testing::Test {
 protected:
  const std::filesystem::path program_ = "/opt/tolvi";
  const std::filesystem::path data_ = "/home/u/.local/share/Drovik/Tolvi";
  const std::string shipped_ = Lines({"*Alerts", "Shipped phrase"});
  FakeFileSystem files_;
};

TEST_F(LoadPhrasesTest, CopiesTheShippedFileWhenTheDataDirectoryHasNone) {
  files_.SetFile(program_ / "Text.txt", shipped_);
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, ElementsAre("Shipped phrase"));
  EXPECT_EQ(files_.GetFile(data_ / "Text.txt"), shipped_);
}

TEST_F(LoadPhrasesTest, PrefersTheUsersOwnFile) {
  files_.SetFile(program_ / "Text.txt", shipped_);
  files_.SetFile(data_ / "Text.txt", Lines({"*Alerts", "My own phrase"}));
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, ElementsAre("My own phrase"));
  EXPECT_EQ(files_.change_count(), 0u);
}

TEST_F(LoadPhrasesTest, NeverReplacesAnUnreadableOrHugeUserFile) {
  files_.SetFile(program_ / "Text.txt", shipped_);
  files_.SetFile(data_ / "Text.txt", "mine");
  files_.FailAccess(data_ / "Text.txt");
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, IsEmpty());

  files_.FailAccess(data_ / "Text.txt", false);
  const std::string huge(kMaxPhraseFileBytes + 1, 'x');
  files_.SetFile(data_ / "Text.txt", huge);
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, IsEmpty());

  EXPECT_EQ(files_.change_count(), 0u);
  EXPECT_EQ(files_.GetFile(data_ / "Text.txt"), huge);
}

TEST_F(LoadPhrasesTest, ReadsTheShippedFileInPlaceWhenTheCopyFails) {
  files_.SetFile(program_ / "Text.txt", shipped_);
  files_.FailNextWrite();
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, ElementsAre("Shipped phrase"));
}

TEST_F(LoadPhrasesTest, PortableCopyReadsItsOwnFileWithoutCopying) {
  files_.SetFile(program_ / "Text.txt", shipped_);
  EXPECT_THAT(LoadPhrases(files_, program_, program_).phrases, ElementsAre("Shipped phrase"));
  EXPECT_EQ(files_.change_count(), 0u);
}

TEST_F(LoadPhrasesTest, NoFileAnywhereGivesNoPhrases) {
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, IsEmpty());
  EXPECT_THAT(LoadPhrases(files_, "", data_).phrases, IsEmpty());
}

TEST(ShippedPhraseFile, HoldsAFullTableOfReminderPhrases) {
  // The file installed with the program, read from the source tree.
  // A compiler cache that rewrites paths leaves __FILE__ relative to the
  // build directory, the parent of the one the tests run in.
  std::filesystem::path source = __FILE__;
  if (source.is_relative()) source = std::filesystem::current_path().parent_path() / source;
  std::ifstream file(source.parent_path().parent_path().parent_path() / "resources" / "Text.txt",
                     std::ios::binary);
  ASSERT_TRUE(file.is_open());
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const PhraseTable table = ParsePhrases(bytes);
  EXPECT_GT(table.capacity, kDefaultPhraseCapacity);
  EXPECT_EQ(table.phrases.size(), table.capacity);
}

}  // namespace
}  // namespace tolvi
