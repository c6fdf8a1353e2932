#include "reminders/phrases.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

TEST(ParsePhrases, KeepsTheAlertLinesThatArePhrases) {
  using namespace std::string_literals;
  struct Case {
    std::string text;
    std::vector<std::string> phrases;
  };
  const Case cases[] = {
      {Lines({"*Alerts", "Time to stretch.", "Look out of the window."}),
       {"Time to stretch.", "Look out of the window."}},
      // Work lines start the table, so the count line after them is dropped.
      {Lines({"*Work", "Focus on one thing", "-a25", "*Alerts", "Breathe"}), {"Breathe"}},
      {Lines({"Before any header", "*alerts", "ok", "Drink # water", "", "Walk around", "# end"}),
       {"Walk around"}},
      // An unknown header keeps the section; "One" has three bytes, enough.
      {Lines({"*Alerts", "One", "Stre*tch", "Two and more", "*Work", "Three"}),
       {"One", "Two and more"}},
      {"*Alerts\nRoll your shoulders\nBlink slowly\n", {"Roll your shoulders", "Blink slowly"}},
      {"*Alerts\rRoll your shoulders\r", {"Roll your shoulders"}},
      {"*Alerts\r\nKept line\r\nCut off at the end", {"Kept line"}},
      // Old Windows text is read as Windows-1252.
      {Lines({"*Alerts", "Caf\xE9 break \x80"}), {"Caf\xC3\xA9 break \xE2\x82\xAC"}},
      // Cut to 199 bytes, but never inside a character.
      {Lines({"*Alerts", std::string(400, 'x')}), {std::string(199, 'x')}},
      {Lines({"*Alerts", std::string(198, 'y') + "\xC3\xA9" + "zz"}), {std::string(198, 'y')}},
      {"*Alerts\r\nA\0B\x01\x7F"
       "C\tD\r\n"s,
       {"AB\x7F"
        "C\tD"}},
      {std::string(5'000'000, 'q'), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    EXPECT_EQ(ParsePhrases(c.text).phrases, c.phrases);
  }
}

TEST(ParsePhrases, HoldsAsManyPhrasesAsTheCountLineBeforeTheFirstOneSays) {
  std::string phrases;
  for (int i = 1; i <= 30; ++i) phrases += "Phrase " + std::to_string(i) + "\r\n";
  const PhraseTable counted = ParsePhrases(Lines({"*Alerts", "-a25"}) + phrases);
  EXPECT_EQ(counted.capacity, 25u);
  ASSERT_EQ(counted.phrases.size(), 25u);
  EXPECT_EQ(counted.phrases.back(), "Phrase 25");
  EXPECT_EQ(ParsePhrases(Lines({"*Alerts"}) + phrases).phrases.size(), 10u);
  // After the first phrase the count line is dropped alone.
  const PhraseTable late = ParsePhrases(Lines({"*Alerts", "First one", "-a25", "Second one"}));
  EXPECT_EQ(late.capacity, 10u);
  EXPECT_THAT(late.phrases, ElementsAre("First one", "Second one"));
}

TEST(ParsePhrases, CountLineSetsOnlyCapacitiesFromElevenTo199) {
  const std::pair<std::string_view, std::uint32_t> cases[] = {
      {"-a10", 10}, {"-a11", 11}, {"-A199", 199}, {"-a200", 10}, {"-w50", 10},
      {"-a", 10},   {"-a2x", 10}, {"-a 30 ", 30}, {"a-40", 40},  {"-a99999999999999999999", 10}};
  for (const auto& [line, capacity] : cases) {
    SCOPED_TRACE(line);
    EXPECT_EQ(ParsePhrases(Lines({line, "*Alerts"})).capacity, capacity);
  }
}

TEST(ParsePhrases, NoiseGivesASafeResult) {
  std::string noise;
  for (int i = 0; i < 100'000; ++i) noise.push_back(static_cast<char>((i * 7919) % 256));
  const PhraseTable table = ParsePhrases(noise);
  EXPECT_LE(table.phrases.size(), table.capacity);
  for (const std::string& phrase : table.phrases) EXPECT_LE(phrase.size(), kMaxPhraseBytes);
}

class LoadPhrasesTest : public ::testing::Test {
 protected:
  LoadPhrasesTest() { files_.SetFile(program_ / "Text.txt", shipped_); }

  const std::filesystem::path program_ = "/opt/tolvi";
  const std::filesystem::path data_ = "/home/u/.local/share/Drovik/Tolvi";
  const std::string shipped_ = Lines({"*Alerts", "Shipped phrase"});
  FakeFileSystem files_;
};

TEST_F(LoadPhrasesTest, CopiesTheShippedFileWhenTheDataDirectoryHasNone) {
  files_.FailNextWrite();  // the shipped file is then read where it is
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, ElementsAre("Shipped phrase"));
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, ElementsAre("Shipped phrase"));
  EXPECT_EQ(files_.GetFile(data_ / "Text.txt"), shipped_);
}

TEST_F(LoadPhrasesTest, PrefersTheUsersOwnFile) {
  files_.SetFile(data_ / "Text.txt", Lines({"*Alerts", "My own phrase"}));
  EXPECT_THAT(LoadPhrases(files_, program_, data_).phrases, ElementsAre("My own phrase"));
  EXPECT_EQ(files_.change_count(), 0u);
}

TEST_F(LoadPhrasesTest, NeverReplacesAnUnreadableOrHugeUserFile) {
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

TEST_F(LoadPhrasesTest, NoFileAnywhereGivesNoPhrases) {
  EXPECT_THAT(LoadPhrases(files_, "/elsewhere", data_).phrases, IsEmpty());
  EXPECT_THAT(LoadPhrases(files_, "", data_).phrases, IsEmpty());
}

TEST(ShippedPhraseFile, HoldsAFullTableOfReminderPhrases) {
  // The file installed with the program, read from the source tree.
  std::ifstream file(std::filesystem::path(TOLVI_SOURCE_DIR) / "resources" / "Text.txt",
                     std::ios::binary);
  ASSERT_TRUE(file.is_open());
  const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const PhraseTable table = ParsePhrases(bytes);
  EXPECT_GT(table.capacity, kDefaultPhraseCapacity);
  EXPECT_EQ(table.phrases.size(), table.capacity);
}

}  // namespace
}  // namespace tolvi
