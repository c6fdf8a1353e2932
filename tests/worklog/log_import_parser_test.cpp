#include "worklog/log_import_parser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tolvi {
namespace {

struct TimeCase {
  std::string text;
  std::uint32_t tenths;
  std::string rest;
};

class ParseLogTimeReads : public ::testing::TestWithParam<TimeCase> {};

TEST_P(ParseLogTimeReads, TheTimeAndRemovesItWithItsSeparator) {
  std::string_view text = GetParam().text;
  EXPECT_EQ(ParseLogTime(text), GetParam().tenths);
  EXPECT_EQ(text, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(
    DecimalAndClockForms, ParseLogTimeReads,
    ::testing::Values(TimeCase{"6.50, Break: 1", 3900, "Break: 1"}, TimeCase{"0.75", 450, ""},
                      TimeCase{"1.17, x", 700, "x"},  // minutes truncate
                      TimeCase{"3, x", 1800, "x"},
                      TimeCase{"2.5, x", 1500, "x"},  // one digit counts as tenths
                      TimeCase{"6:30, Break: 0:45", 3900, "Break: 0:45"}, TimeCase{"0:00)", 0, ")"},
                      TimeCase{"123:59, x", 74390, "x"}, TimeCase{"0:01) notes", 10, ") notes"}));

class ParseLogTimeRejects : public ::testing::TestWithParam<std::string> {};

TEST_P(ParseLogTimeRejects, AnythingButATimeAndLeavesTheTextAlone) {
  std::string_view text = GetParam();
  EXPECT_FALSE(ParseLogTime(text).has_value());
  EXPECT_EQ(text, GetParam());
}

INSTANTIATE_TEST_SUITE_P(Shapes, ParseLogTimeRejects,
                         ::testing::Values("", ", 1:00", "x1:00, ", "1:60, ", "1:5, ", "1.175, ",
                                           ".5, ", "1:00x, ", "1:00,x", "1234567, ", "Work Summary",
                                           "1..5, "));

// The name ends at the last ": " before a time; the text keeps what follows.
TEST(SplitWorkName, TakesTheNameBeforeTheEntrysTime) {
  struct Case {
    std::string_view text;
    std::optional<std::string> name;  // none: no entry, text unchanged
    std::string_view rest;
  };
  const Case cases[] = {
      {"Proj A: 4:00, Proj B: 2:30)", "Proj A", "4:00, Proj B: 2:30)"},
      {"Client: Acme: 1.50, x", "Client: Acme", "1.50, x"},
      {": 0:00, : 0:00)", "", "0:00, : 0:00)"},
      {"no entry here", std::nullopt, "no entry here"},
      {"Name:4:00", std::nullopt, "Name:4:00"},
      {"Name: soon, x", std::nullopt, "Name: soon, x"},
      {"", std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string_view text = c.text;
    EXPECT_EQ(SplitWorkName(text), c.name);
    EXPECT_EQ(text, c.rest);
  }
}

TEST(IsDayLineCandidate, NeedsMoreThanFiftyBytesAndALateFirstColon) {
  const std::string date(30, 'd');
  const std::string long_rest = " : Work: 1.00, Break: 0.00, Away: 0.00";
  EXPECT_TRUE(IsDayLineCandidate(date + long_rest));
  EXPECT_FALSE(IsDayLineCandidate((date + long_rest).substr(0, 50)));
  EXPECT_TRUE(IsDayLineCandidate((date + long_rest).substr(0, 51)));
  EXPECT_FALSE(IsDayLineCandidate(std::string(14, 'd') + ":" + std::string(60, 'x')));
  EXPECT_TRUE(IsDayLineCandidate(std::string(15, 'd') + ":" + std::string(60, 'x')));
  EXPECT_FALSE(IsDayLineCandidate(std::string(80, 'x')));
}

// The day line exactly as the writer produces it in its default style.
constexpr std::string_view kClockDayLine =
    "Friday, 4 December 2026        : Work: 6:30, Break: 0:45, Away: 1:10, (Proj A: 4:00, "
    "Proj B: 2:30, : 0:00, : 0:00, : 0:00) client visit";

TEST(ParseLogLine, ReadsTheWritersDayLineWithEmptySlotsAndNotes) {
  const ParsedLogLine parsed = ParseLogLine(kClockDayLine);
  ASSERT_EQ(parsed.kind, LogLineKind::kDayLine);
  EXPECT_EQ(parsed.day.work, 3900u);
  EXPECT_EQ(parsed.day.break_time, 450u);
  EXPECT_EQ(parsed.day.away, 700u);
  EXPECT_FALSE(parsed.day.implausible);
  ASSERT_EQ(parsed.day.entries.size(), 2u);
  EXPECT_EQ(parsed.day.entries[0].name, "Proj A");
  EXPECT_EQ(parsed.day.entries[0].tenths, 2400u);
  EXPECT_EQ(parsed.day.entries[1].name, "Proj B");
  EXPECT_EQ(parsed.day.entries[1].tenths, 1500u);
}

TEST(ParseLogLine, CountsImplausibleFiguresAsZeroAndFlagsThem) {
  const ParsedLogLine parsed = ParseLogLine(
      "Monday, 7 December 2026        : Work: 20:06, Break: 20:00, Away: 24:01, (A: 3:00, "
      ": 0:00, : 0:00, : 0:00, : 0:00)");
  ASSERT_EQ(parsed.kind, LogLineKind::kDayLine);
  EXPECT_TRUE(parsed.day.implausible);
  EXPECT_EQ(parsed.day.work, 0u);
  EXPECT_EQ(parsed.day.break_time, 12000u);  // exactly 20 hours is allowed
  EXPECT_EQ(parsed.day.away, 0u);
  ASSERT_EQ(parsed.day.entries.size(), 1u);
}

struct KindCase {
  std::string line;
  LogLineKind kind;
};

class ParseLogLineClassifies : public ::testing::TestWithParam<KindCase> {};

TEST_P(ParseLogLineClassifies, LinesThatAreNotDayLines) {
  const ParsedLogLine parsed = ParseLogLine(GetParam().line);
  EXPECT_EQ(parsed.kind, GetParam().kind);
  EXPECT_TRUE(parsed.day.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ParseLogLineClassifies,
    ::testing::Values(
        KindCase{"Tolvi v1.91 Work Log", LogLineKind::kOther}, KindCase{" ", LogLineKind::kOther},
        KindCase{"#C", LogLineKind::kOther}, KindCase{"", LogLineKind::kOther},
        KindCase{"Total Days: 12", LogLineKind::kOther},
        KindCase{"14 03 27 Sunday, 6 December 2026            : Work Summary",
                 LogLineKind::kWorkSummary},
        KindCase{"A rather long work type name Avg:4:30 Tot:45:00 Per:50.0",
                 LogLineKind::kTotalsLine},
        KindCase{"Monday, 7 December 2026        : Work: 6:30, Break: 0:45, Away: 1:10, "
                 "(A: 6:30, B: 0:00, : 0:00, : 0:00, : 0:00",
                 LogLineKind::kMalformed},  // no closing parenthesis
        KindCase{"Monday, 7 December 2026        : Work: 6:30, Break: 0:45, Away: 1:10, "
                 "(A: 6:30, B: 0:00, : 0:00, : 0:00, : 0:00)x",
                 LogLineKind::kMalformed},
        KindCase{"Monday, 7 December 2026        : Work: six, Break: 0:45, Away: 1:10, "
                 "(A: 6:30, B: 0:00, : 0:00, : 0:00, : 0:00)",
                 LogLineKind::kMalformed},
        KindCase{"Monday, 7 December 2026        : Work: 6:30, Away: 1:10, Break: 0:45, "
                 "(A: 6:30, B: 0:00, : 0:00, : 0:00, : 0:00)",
                 LogLineKind::kMalformed},
        KindCase{"Monday, 7 December 2026        : Work: 6:30, Break: 0:45, Away: 1:10, "
                 "(A 6:30)",
                 LogLineKind::kMalformed},
        KindCase{"Monday, 7 December 2026        : Work: 1:00, Break: 0:00, Away: 0:00, "
                 "(A: 1:00, : 0:00, : 0:00, : 0:00)",
                 LogLineKind::kMalformed},  // four entries
        KindCase{"Monday, 7 December 2026        : Work: 1:00, Break: 0:00, Away: 0:00, "
                 "(A: 1:00, B: 0:00, : 0:00, : 0:00, : 0:00, : 0:00)",
                 LogLineKind::kMalformed},  // six entries
        KindCase{"Monday, 7 December 2026        : Work: 1:00, Break: 0:00, Away: 0:00, "
                 "(A: 1.00, : 0:00, : 0:00, : 0:00, : 0:00)",
                 LogLineKind::kMalformed},  // two forms of time
        KindCase{"Monday, 7 December 2026        : Work: 1:00, Break: 0.00, Away: 0:00, "
                 "(A: 1:00, : 0:00, : 0:00, : 0:00, : 0:00)",
                 LogLineKind::kMalformed},
        KindCase{"Some note someone typed into the log: it is long enough to pass",
                 LogLineKind::kMalformed}));

TEST(ParseLogLine, RejectsALineLongerThanTheLineBuffer) {
  // A date long enough to keep the part after the first colon short.
  const std::string_view rest = kClockDayLine.substr(kClockDayLine.find(" : "));
  std::string line = std::string(kImportLineLimit - rest.size(), 'd') + std::string(rest);
  EXPECT_EQ(ParseLogLine(line).kind, LogLineKind::kDayLine);
  line.insert(0, "d");
  EXPECT_EQ(ParseLogLine(line).kind, LogLineKind::kTooLong);
}

TEST(ParseLogLine, RejectsADayLineWhosePartAfterTheFirstColonIsTooLong) {
  std::string line(kClockDayLine);
  const std::size_t after_colon = line.find(':') + 1;
  line.append(after_colon + kImportRemainderLimit - line.size(), 'n');
  EXPECT_EQ(ParseLogLine(line).kind, LogLineKind::kDayLine);
  line.push_back('n');
  EXPECT_EQ(ParseLogLine(line).kind, LogLineKind::kTooLong);
  EXPECT_TRUE(ParseLogLine(line).day.entries.empty());
}

struct ReadBackCase {
  std::string list;  // the line after its date
  std::vector<std::pair<std::string, std::uint32_t>> entries;
};

class ParseLogLineReadsBack : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(ParseLogLineReadsBack, NamesAndNotesHoldingSeparatorsAsWritten) {
  const ParsedLogLine parsed = ParseLogLine("Monday, 7 December 2026        : " + GetParam().list);
  ASSERT_EQ(parsed.kind, LogLineKind::kDayLine);
  std::vector<std::pair<std::string, std::uint32_t>> entries;
  for (const LoggedWork& entry : parsed.day.entries) entries.emplace_back(entry.name, entry.tenths);
  EXPECT_EQ(entries, GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ParseLogLineReadsBack,
    ::testing::Values(
        // A decimal-looking number in a line of hours and minutes is no time.
        ReadBackCase{"Work: 1:00, Break: 0:00, Away: 0:00, (Ticket: 42, fix: 1:00, : 0:00, "
                     ": 0:00, : 0:00, : 0:00)",
                     {{"Ticket: 42, fix", 600}}},
        // In decimal hours only the day's work tells the readings apart.
        ReadBackCase{"Work: 1.00, Break: 0.00, Away: 0.00, (Ticket: 42, fix: 1.00, : 0.00, "
                     ": 0.00, : 0.00, : 0.00)",
                     {{"Ticket: 42, fix", 600}}},
        ReadBackCase{"Work: 3:00, Break: 0:00, Away: 0:00, (Call: 1:00, Bob: 2:00, B: 1:00, "
                     ": 0:00, : 0:00, : 0:00)",
                     {{"Call: 1:00, Bob", 1200}, {"B", 600}}},
        ReadBackCase{"Work: 1:00, Break: 0:00, Away: 0:00, (Deploy: 0:00) done: 1:00, : 0:00, "
                     ": 0:00, : 0:00, : 0:00)",
                     {{"Deploy: 0:00) done", 600}}},
        ReadBackCase{"Work: 1:00, Break: 0:00, Away: 0:00, (A: 1:00, : 0:00, : 0:00, : 0:00, "
                     ": 0:00) then (X: 1:00, Y: 0:00)",
                     {{"A", 600}}}));

}  // namespace
}  // namespace tolvi
