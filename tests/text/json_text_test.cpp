#include "text/json_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tolvi {
namespace {

TEST(JsonString, EscapesQuotesBackslashesAndEveryControlCharacter) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("say \"hi\" \\ o/"), "\"say \\\"hi\\\" \\\\ o/\"");
  EXPECT_EQ(JsonString("a\r\nb\tc"), "\"a\\r\\nb\\tc\"");
  EXPECT_EQ(JsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
  EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
}

TEST(JsonString, KeepsUtf8AndReadsOldWindowsBytesAsWindows1252) {
  EXPECT_EQ(JsonString("Caf\xC3\xA9"), "\"Caf\xC3\xA9\"");
  EXPECT_EQ(JsonString("Caf\xE9 \x80"), "\"Caf\xC3\xA9 \xE2\x82\xAC\"");
}

TEST(CsvField, QuotesOnlyWhatNeedsQuotingAndDoublesQuotes) {
  EXPECT_EQ(CsvField("Proj A"), "Proj A");
  EXPECT_EQ(CsvField(""), "");
  EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\r\nlines"), "\"two\r\nlines\"");
  EXPECT_EQ(CsvField(" padded"), "\" padded\"");
  EXPECT_EQ(CsvField("padded "), "\"padded \"");
  EXPECT_EQ(CsvField("Caf\xE9"), "Caf\xC3\xA9");
}

}  // namespace
}  // namespace tolvi
