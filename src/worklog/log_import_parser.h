// Reading the work log back: the time fields, the work-type entries and the
// kinds of line a log holds. Used by the import that rebuilds work-type
// totals from an old log. Pure functions on text; any thread.
//
// Times are returned in tenths of a minute (6-second units). A time field
// is written either in hours and minutes ("6:30") or in decimal hours
// ("6.50", "6.5", "3"); minutes from decimal hours are truncated, so 1.17
// gives 70 minutes.
//
// Everything here treats the log as untrusted: a line longer than
// kImportLineLimit, a field that is not a time, or a line that merely looks
// like a day line is classified, never half-read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tolvi {

// The longest line the import reads (its line buffer held 5,000 bytes).
inline constexpr std::size_t kImportLineLimit = 4999;
// The longest part of a day line after its first colon that is read.
inline constexpr std::size_t kImportRemainderLimit = 600;
// A day line is longer than this and has its first colon after this many
// characters (the date comes first).
inline constexpr std::size_t kDayLineMinimumExclusive = 50;
inline constexpr std::size_t kDayLineColonAfter = 15;
// Plausibility limits of one day, tenths of a minute.
inline constexpr std::uint32_t kMaxDayWork = 12'000;   // 20 hours
inline constexpr std::uint32_t kMaxDayBreak = 12'000;  // 20 hours
inline constexpr std::uint32_t kMaxDayAway = 14'400;   // 24 hours
// The day's listed work may differ from its total by this much (9 minutes,
// in tenths of a minute) before the line is reported.
inline constexpr std::uint32_t kUnassignedTolerance = 90;

// Reads the time at the start of text. On success removes it, and the ", "
// that follows it, from text. The time must be followed by ", ", ")" or the
// end of text; otherwise, or when it is no time at all, text is unchanged
// and nullopt is returned.
std::optional<std::uint32_t> ParseLogTime(std::string_view& text);

// Takes the work-type name in front of the first ": " that is followed by a
// time, and leaves text after that ": ". The name may be empty (an unused
// slot of the day line) and may itself hold ": ". nullopt, with text
// unchanged, when no entry starts here.
std::optional<std::string> SplitWorkName(std::string_view& text);

// The cheap test for lines that may be day lines: longer than 50 bytes with
// the first colon after the 15th character.
bool IsDayLineCandidate(std::string_view line);

enum class LogLineKind {
  kOther,        // not a day line: header, marker, short or empty lines
  kDayLine,      // a day line, read completely
  kWorkSummary,  // the stamped "Work Summary" line of the log totals
  kTotalsLine,   // a "name Avg:.. Tot:.. Per:.." line of the log totals
  kMalformed,    // looks like a day line but is not one
  kTooLong,      // longer than kImportLineLimit, or a remainder after the
                 // first colon longer than kImportRemainderLimit
};

struct LoggedWork {
  std::string name;  // never empty: unused slots are dropped
  std::uint32_t tenths = 0;
};

struct DayLineValues {
  // An implausible figure is reported and counts as 0.
  std::uint32_t work = 0;
  std::uint32_t break_time = 0;
  std::uint32_t away = 0;
  bool implausible = false;
  // Named entries in line order; time listed without a name stays unassigned.
  std::vector<LoggedWork> entries;
};

struct ParsedLogLine {
  LogLineKind kind = LogLineKind::kOther;
  DayLineValues day;  // filled for kDayLine only
};

// Classifies one line (without its line end) and reads a day line whole: the
// three totals and exactly five "name: time" entries in parentheses, every
// time in the form of the work time. Names and notes may hold ": ", ", "
// and ")", so a line can have several readings; the one in the writer's
// order (largest first, unused slots last) that adds up to the day's work
// is taken, then one in that order, then one that adds up, then the only
// one. A line left with several readings, or none, is kMalformed.
ParsedLogLine ParseLogLine(std::string_view line);

}  // namespace tolvi
