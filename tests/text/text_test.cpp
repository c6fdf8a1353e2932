#include "text/text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tolvi {
namespace {

TEST(Text, ParseDecimalReadsDigitsWithThirtyTwoBitWrap) {
  // Every byte counts as (byte - '0'): "1:" is 1 * 10 + 10; a zero byte ends.
  const std::pair<std::string_view, std::uint32_t> cases[] = {{"", 0},
                                                              {"007", 7},
                                                              {"4294967295", 4294967295u},
                                                              {"4294967296", 0},
                                                              {"4294967306", 10},
                                                              {"1:", 20},
                                                              {std::string_view("12\0009", 4), 12}};
  for (const auto& [text, value] : cases) EXPECT_EQ(ParseDecimal(text), value) << text;
}

TEST(Text, LowerCaseAsciiChangesOnlyAToZ) {
  EXPECT_EQ(LowerCaseAscii("AZaz@[`{09 \xC3\x89"), "azaz@[`{09 \xC3\x89");
}

struct HoursCase {
  std::uint32_t value;
  std::uint32_t divisor;
  TimeStyle style;
  std::string_view expected;
};

TEST(Text, FormatHoursTruncatesToHundredthsOfAnHour) {
  constexpr auto kHm = TimeStyle::kHoursMinutes;
  constexpr auto kDec = TimeStyle::kDecimal;
  constexpr auto kShare = TimeStyle::kShare;
  // The third share is 3.33; a divisor of 0 counts as 1.
  const HoursCase cases[] = {{5400000, 36000, kHm, "1:30"},
                             {5400000, 36000, kDec, "1.50"},
                             {45, 6, kDec, "0.07"},
                             {45, 6, kHm, "0:04"},
                             {600, 6, kShare, "1.0"},
                             {120000, 36000, kHm, "0:01"},
                             {3540000, 36000, kHm, "0:58"},
                             {150, 0, kHm, "1:30"},
                             {0, 36000, kHm, "0:00"},
                             {0, 36000, kShare, "0.0"},
                             {2000, 6, kShare, "3.33"},
                             {30, 6, kShare, "0.05"},
                             {4294967295u, 1, kDec, "42949672.95"},
                             {4294967295u, 36000, kHm, "1193:02"}};
  for (const HoursCase& c : cases) {
    EXPECT_EQ(FormatHours(c.value, c.divisor, c.style), c.expected)
        << c.value << " / " << c.divisor << " style " << static_cast<int>(c.style);
  }
}

TEST(Text, FormatDurationWritesUpToFourPartsOrTwoInShortForm) {
  const std::tuple<std::uint32_t, bool, std::string_view> cases[] = {
      {90061000, true, "1 Dys, 1 Hrs"},
      {90061000, false, "1 Dys, 1 Hrs, 1 Mns, 1 Scs"},
      {61000, true, "1 Mns, 1 Scs"},
      {86400000, false, "1 Dys"},
      {999, false, ""},
      {86401000, true, "1 Dys, 1 Scs"},
      {86461000, true, "1 Dys, 1 Mns"}};
  for (const auto& [milliseconds, short_form, expected] : cases) {
    EXPECT_EQ(FormatDuration(milliseconds, short_form), expected) << milliseconds;
  }
}

// What SetFieldText leaves in a field of `size` bytes that held 'x' bytes.
std::string StoredField(std::size_t size, std::string_view text) {
  std::string field(size, 'x');
  SetFieldText(field, text);
  return field;
}

TEST(Text, SetFieldTextStoresWholeCharactersUpToSizeMinusOneAndZeroFills) {
  EXPECT_EQ(StoredField(8, "abcdefghij"), std::string_view("abcdefg\0", 8));
  EXPECT_EQ(StoredField(8, "ab"), std::string_view("ab\0\0\0\0\0\0", 8));
  // "abcd" then U+00E9 (2 bytes): only 5 bytes fit, so the letter goes whole.
  EXPECT_EQ(StoredField(6, "abcd\xC3\xA9"), std::string_view("abcd\0\0", 6));
  // U+20AC (3 bytes) twice: the second would end at byte 6.
  EXPECT_EQ(StoredField(6, "\xE2\x82\xAC\xE2\x82\xAC"), std::string_view("\xE2\x82\xAC\0\0\0", 6));
}

TEST(Text, TruncateUtf8KeepsWholeCharacters) {
  const std::string_view four_byte = "a\xF0\x9F\x98\x80";  // 'a' and U+1F600
  EXPECT_EQ(TruncateUtf8(four_byte, 5), four_byte);
  for (const std::size_t cut : {4, 2, 1}) EXPECT_EQ(TruncateUtf8(four_byte, cut), "a") << cut;
  EXPECT_EQ(TruncateUtf8(four_byte, 0), "");
  // Not UTF-8 at all: continuation bytes only; cut where asked.
  EXPECT_EQ(TruncateUtf8("\x80\x80\x80\x80\x80\x80", 5), "\x80\x80\x80\x80\x80");
}

TEST(Text, FieldTextStopsAtZeroOrFieldEnd) {
  const std::array<char, 6> terminated = {'W', 'o', 'r', 'k', '\0', 'z'};
  EXPECT_EQ(FieldText(terminated), "Work");
  const std::array<char, 4> full = {'W', 'o', 'r', 'k'};
  EXPECT_EQ(FieldText(full), "Work");
  const std::array<char, 5> old_windows = {'S', 'k', '\xE5', 'l', '\0'};
  EXPECT_EQ(FieldText(old_windows), "Sk\xC3\xA5l");
}

// Messages name the user's folders: on Windows a name outside the ANSI code
// page must neither throw nor turn into question marks.
TEST(Text, PathTextIsUtf8OnEveryPlatform) {
  const std::filesystem::path path(u8"Daten/J\u00f6rg \u0416/dTolvi.dat");
  EXPECT_EQ(PathText(path), "Daten/J\xC3\xB6rg \xD0\x96/dTolvi.dat");
}

TEST(Text, ToUtf8ReadsInvalidUtf8AsWindows1252) {
  EXPECT_EQ(ToUtf8("Caf\xC3\xA9"), "Caf\xC3\xA9");                    // already UTF-8
  EXPECT_EQ(ToUtf8("Caf\xE9"), "Caf\xC3\xA9");                        // 1252 e-acute
  EXPECT_EQ(ToUtf8("\x80 5"), "\xE2\x82\xAC 5");                      // euro sign
  EXPECT_EQ(ToUtf8("\x93q\x94"), "\xE2\x80\x9Cq\xE2\x80\x9D");        // curly quotes
  EXPECT_EQ(ToUtf8("\x81"), "\xC2\x81");                              // unassigned byte
  EXPECT_EQ(ToUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");                  // overlong form is not UTF-8
  EXPECT_EQ(ToUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");  // surrogate
  EXPECT_EQ(ToUtf8("ab\xC3"), "ab\xC3\x83");                          // cut sequence
}

}  // namespace
}  // namespace tolvi
