#include "text/text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tolvi {
namespace {

TEST(Text, FormatDecimalWritesSignAndNoLeadingZeros) {
  EXPECT_EQ(FormatDecimal(0), "0");
  EXPECT_EQ(FormatDecimal(-5), "-5");
  EXPECT_EQ(FormatDecimal(1000), "1000");
  EXPECT_EQ(FormatDecimal(INT32_MIN), "-2147483648");
}

TEST(Text, ParseDecimalReadsDigitsWithThirtyTwoBitWrap) {
  EXPECT_EQ(ParseDecimal(""), 0u);
  EXPECT_EQ(ParseDecimal("007"), 7u);
  EXPECT_EQ(ParseDecimal("25"), 25u);
  EXPECT_EQ(ParseDecimal("4294967295"), 4294967295u);
  EXPECT_EQ(ParseDecimal("4294967296"), 0u);
  EXPECT_EQ(ParseDecimal("4294967306"), 10u);
  // Every byte counts as (byte - '0'): "1:" is 1 * 10 + 10.
  EXPECT_EQ(ParseDecimal("1:"), 20u);
  EXPECT_EQ(ParseDecimal(std::string_view("12\0"
                                          "9",
                                          4)),
            12u);
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
  const std::array<HoursCase, 14> cases = {{
      {5400000, 36000, kHm, "1:30"},
      {5400000, 36000, kDec, "1.50"},
      {45, 6, kDec, "0.07"},
      {45, 6, kHm, "0:04"},
      {600, 6, kShare, "1.0"},
      {120000, 36000, kHm, "0:01"},
      {3540000, 36000, kHm, "0:58"},
      {150, 0, kHm, "1:30"},
      {0, 36000, kHm, "0:00"},
      {0, 36000, kShare, "0.0"},
      {2000, 6, kShare, "3.33"},  // a share of one third
      {30, 6, kShare, "0.05"},
      {4294967295u, 1, kDec, "42949672.95"},
      {4294967295u, 36000, kHm, "1193:02"},
  }};
  for (const HoursCase& c : cases) {
    EXPECT_EQ(FormatHours(c.value, c.divisor, c.style), c.expected)
        << c.value << " / " << c.divisor << " style " << static_cast<int>(c.style);
  }
}

struct DurationCase {
  std::uint32_t milliseconds;
  bool short_form;
  std::string_view expected;
};

TEST(Text, FormatDurationWritesUpToFourPartsOrTwoInShortForm) {
  const std::array<DurationCase, 7> cases = {{
      {90061000, true, "1 Dys, 1 Hrs"},
      {90061000, false, "1 Dys, 1 Hrs, 1 Mns, 1 Scs"},
      {61000, true, "1 Mns, 1 Scs"},
      {86400000, false, "1 Dys"},
      {999, false, ""},
      {86401000, true, "1 Dys, 1 Scs"},
      {86460000 + 1000, true, "1 Dys, 1 Mns"},
  }};
  for (const DurationCase& c : cases) {
    EXPECT_EQ(FormatDuration(c.milliseconds, c.short_form), c.expected) << c.milliseconds;
  }
}

TEST(Text, SetFieldTextStoresAtMostSizeMinusOneBytesAndZeroFills) {
  std::array<char, 8> field;
  field.fill('x');
  SetFieldText(field, "abcdefghij");
  EXPECT_EQ(std::string_view(field.data(), 8), std::string_view("abcdefg\0", 8));
  SetFieldText(field, "ab");
  EXPECT_EQ(std::string_view(field.data(), 8), std::string_view("ab\0\0\0\0\0\0", 8));
}

TEST(Text, SetFieldTextCutsAtACharacterBoundary) {
  std::array<char, 6> field;
  // "abcd" then U+00E9 (2 bytes): only 5 bytes fit, so the letter goes whole.
  SetFieldText(field, "abcd\xC3\xA9");
  EXPECT_EQ(std::string_view(field.data(), 6), std::string_view("abcd\0\0", 6));
  // U+20AC (3 bytes) twice: the second would end at byte 6.
  SetFieldText(field, "\xE2\x82\xAC\xE2\x82\xAC");
  EXPECT_EQ(std::string_view(field.data(), 6), std::string_view("\xE2\x82\xAC\0\0\0", 6));
}

TEST(Text, TruncateUtf8KeepsWholeCharacters) {
  const std::string_view four_byte = "a\xF0\x9F\x98\x80";  // 'a' and U+1F600
  EXPECT_EQ(TruncateUtf8(four_byte, 5), four_byte);
  EXPECT_EQ(TruncateUtf8(four_byte, 4), "a");
  EXPECT_EQ(TruncateUtf8(four_byte, 2), "a");
  EXPECT_EQ(TruncateUtf8(four_byte, 1), "a");
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
