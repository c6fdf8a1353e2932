#include "worklog/log_import_parser.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tolvi {
namespace {

TEST(ParseLogTime, ReadsDecimalAndClockTimesAndRemovesThemWithTheirSeparator) {
  struct Case {
    std::string_view text;
    std::uint32_t tenths;
    std::string_view rest;
  };
  const Case cases[] = {
      {"6.50, Break: 1", 3900, "Break: 1"},
      {"0.75", 450, ""},
      {"1.17, x", 700, "x"},  // minutes truncate
      {"3, x", 1800, "x"},
      {"2.5, x", 1500, "x"},  // one digit counts as tenths
      {"6:30, Break: 0:45", 3900, "Break: 0:45"},
      {"123:59, x", 74390, "x"},
      {"0:01) notes", 10, ") notes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::string_view text = c.text;
    EXPECT_EQ(ParseLogTime(text), c.tenths);
    EXPECT_EQ(text, c.rest);
  }
  for (const std::string_view bad : {"", ", 1:00", "x1:00, ", "1:60, ", "1:5, ", "1.175, ", ".5, ",
                                     "1:00x, ", "1:00,x", "1234567, ", "Work Summary", "1..5, "}) {
    SCOPED_TRACE(bad);
    std::string_view text = bad;
    EXPECT_FALSE(ParseLogTime(text).has_value());
    EXPECT_EQ(text, bad);
  }
}

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
  const std::string line = std::string(30, 'd') + " : Work: 1.00, Break: 0.00, Away: 0.00";
  EXPECT_FALSE(IsDayLineCandidate(line.substr(0, 50)));
  EXPECT_TRUE(IsDayLineCandidate(line.substr(0, 51)));
  EXPECT_FALSE(IsDayLineCandidate(std::string(14, 'd') + ":" + std::string(60, 'x')));
  EXPECT_TRUE(IsDayLineCandidate(std::string(15, 'd') + ":" + std::string(60, 'x')));
  EXPECT_FALSE(IsDayLineCandidate(std::string(80, 'x')));
}

// A day line with its date padded as the writer pads it.
std::string Dated(std::string_view rest) {
  return "Monday, 7 December 2026        : " + std::string(rest);
}

// The writer's own day line in its default style, with empty slots and notes.
const std::string kClockDayLine = Dated(
    "Work: 6:30, Break: 0:45, Away: 1:10, (Proj A: 4:00, Proj B: 2:30, : "
    "0:00, : 0:00, : 0:00) "
    "client visit");

// A parse in one line of text: the kind; for a day line (or a line that
// wrongly kept entries) its figures, "!" when implausible, and its entries.
std::string Describe(const ParsedLogLine& parsed) {
  constexpr const char* kKinds[] = {"other", "day", "summary", "totals", "malformed", "too long"};
  std::string text = kKinds[static_cast<int>(parsed.kind)];
  if (parsed.kind != LogLineKind::kDayLine && parsed.day.entries.empty()) return text;
  text += (parsed.day.implausible ? "! " : " ") + std::to_string(parsed.day.work) + " " +
          std::to_string(parsed.day.break_time) + " " + std::to_string(parsed.day.away);
  for (const LoggedWork& entry : parsed.day.entries) {
    text += " | " + entry.name + " " + std::to_string(entry.tenths);
  }
  return text;
}

TEST(ParseLogLine, ReadsDayLinesWholeAndClassifiesEveryOtherLine) {
  const std::string figures = "Work: 6:30, Break: 0:45, Away: 1:10, ";
  const std::string list = "(A: 6:30, B: 0:00, : 0:00, : 0:00, : 0:00)";
  const std::string one_hour = "Work: 1:00, Break: 0:00, Away: 0:00, ";
  const std::pair<std::string, std::string_view> cases[] = {
      {kClockDayLine, "day 3900 450 700 | Proj A 2400 | Proj B 1500"},
      // Implausible figures count as 0; exactly 20 hours of break is allowed.
      {Dated("Work: 20:06, Break: 20:00, Away: 24:01, (A: 3:00, : 0:00, : 0:00, : 0:00, : 0:00)"),
       "day! 0 12000 0 | A 1800"},
      // Names and notes holding separators. A decimal-looking number in a
      // line of hours and minutes is no time; in decimal hours only the
      // day's work tells the readings apart.
      {Dated(one_hour + "(Ticket: 42, fix: 1:00, : 0:00, : 0:00, : 0:00, : 0:00)"),
       "day 600 0 0 | Ticket: 42, fix 600"},
      {Dated("Work: 1.00, Break: 0.00, Away: 0.00, (Ticket: 42, fix: 1.00, : 0.00, : 0.00, "
             ": 0.00, : 0.00)"),
       "day 600 0 0 | Ticket: 42, fix 600"},
      {Dated("Work: 3:00, Break: 0:00, Away: 0:00, (Call: 1:00, Bob: 2:00, B: 1:00, : 0:00, "
             ": 0:00, : 0:00)"),
       "day 1800 0 0 | Call: 1:00, Bob 1200 | B 600"},
      {Dated(one_hour + "(Deploy: 0:00) done: 1:00, : 0:00, : 0:00, : 0:00, : 0:00)"),
       "day 600 0 0 | Deploy: 0:00) done 600"},
      {Dated(one_hour + "(A: 1:00, : 0:00, : 0:00, : 0:00, : 0:00) then (X: 1:00, Y: 0:00)"),
       "day 600 0 0 | A 600"},
      {"Total Days: 12", "other"},
      {"14 03 27 Sunday, 6 December 2026            : Work Summary", "summary"},
      {"A rather long work type name Avg:4:30 Tot:45:00 Per:50.0", "totals"},
      {Dated(figures + list.substr(0, list.size() - 1)), "malformed"},  // no ")" after five
      {Dated(figures + list + "x"), "malformed"},
      {Dated("Work: six, Break: 0:45, Away: 1:10, " + list), "malformed"},
      {Dated("Work: 6:30, Away: 1:10, Break: 0:45, " + list), "malformed"},
      {Dated(figures + "(A 6:30)"), "malformed"},
      {Dated(figures + "(A: 6:30, : 0:00, : 0:00, : 0:00)"), "malformed"},          // four entries
      {Dated(figures + "(A: 6.50, : 0:00, : 0:00, : 0:00, : 0:00)"), "malformed"},  // two forms
      {Dated("Work: 6:30, Break: 0.75, Away: 1:10, " + list), "malformed"},
      {"Some note someone typed into the log: it is long enough to pass", "malformed"},
  };
  for (const auto& [line, expected] : cases) {
    EXPECT_EQ(Describe(ParseLogLine(line)), expected) << line;
  }
}

TEST(ParseLogLine, RejectsALineLongerThanTheLineBuffer) {
  // A date long enough to keep the part after the first colon short.
  const std::string rest = kClockDayLine.substr(kClockDayLine.find(" : "));
  std::string line = std::string(kImportLineLimit - rest.size(), 'd') + rest;
  EXPECT_EQ(ParseLogLine(line).kind, LogLineKind::kDayLine);
  line.insert(0, "d");
  EXPECT_EQ(ParseLogLine(line).kind, LogLineKind::kTooLong);
}

TEST(ParseLogLine, RejectsADayLineWhosePartAfterTheFirstColonIsTooLong) {
  std::string line = kClockDayLine;
  line.append(line.find(':') + 1 + kImportRemainderLimit - line.size(), 'n');
  EXPECT_EQ(ParseLogLine(line).kind, LogLineKind::kDayLine);
  line.push_back('n');
  EXPECT_EQ(Describe(ParseLogLine(line)), "too long");
}

}  // namespace
}  // namespace tolvi
