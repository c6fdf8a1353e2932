#include "worklog/log_import_parser.h"

#include <algorithm>

namespace tolvi {

namespace {

constexpr std::size_t kMaxHourDigits = 6;  // keeps hours × 600 within 32 bits
constexpr std::uint32_t kTenthsPerMinute = 10;
constexpr std::uint32_t kMinutesPerHour = 60;
constexpr std::string_view kTimeSeparator = ", ";
constexpr std::string_view kNameSeparator = ": ";
constexpr std::string_view kWorkSummaryRest = " Work Summary";

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::uint32_t Digits(std::string_view digits) {
  std::uint32_t value = 0;
  for (const char c : digits) value = value * 10 + static_cast<std::uint32_t>(c - '0');
  return value;
}

// The value of a whole time token in tenths of a minute.
std::optional<std::uint32_t> TimeTokenValue(std::string_view token) {
  const std::size_t mark = token.find_first_of(".:");
  const std::string_view hours = token.substr(0, mark);
  if (!AllDigits(hours) || hours.size() > kMaxHourDigits) return std::nullopt;
  std::uint32_t minutes = Digits(hours) * kMinutesPerHour;
  if (mark == std::string_view::npos) return minutes * kTenthsPerMinute;

  const std::string_view fraction = token.substr(mark + 1);
  if (!AllDigits(fraction) || fraction.size() > 2) return std::nullopt;
  if (token[mark] == ':') {
    if (fraction.size() != 2 || Digits(fraction) >= kMinutesPerHour) return std::nullopt;
    minutes += Digits(fraction);
  } else {
    // Hundredths of an hour; a single digit counts as tenths.
    const std::uint32_t hundredths = Digits(fraction) * (fraction.size() == 1 ? 10 : 1);
    minutes += hundredths * kMinutesPerHour / 100;
  }
  return minutes * kTenthsPerMinute;
}

// Where the time at the start of text ends, provided what follows it is a
// separator, a closing parenthesis or the end.
std::optional<std::size_t> TimeTokenEnd(std::string_view text) {
  const std::size_t end = std::min(text.find_first_of(",)"), text.size());
  const std::string_view after = text.substr(end);
  if (!after.empty() && after.front() == ',' && !after.starts_with(kTimeSeparator)) {
    return std::nullopt;
  }
  return end;
}

bool Consume(std::string_view& text, std::string_view literal) {
  if (!text.starts_with(literal)) return false;
  text.remove_prefix(literal.size());
  return true;
}

// Reads one time of the day's totals, applying its plausibility limit.
bool ReadDayFigure(std::string_view& rest, std::uint32_t limit, std::uint32_t& figure,
                   bool& implausible) {
  const std::optional<std::uint32_t> value = ParseLogTime(rest);
  if (!value) return false;
  if (*value > limit) {
    implausible = true;
    figure = 0;
  } else {
    figure = *value;
  }
  return true;
}

// The parenthesised list of entries and what may follow it (notes).
bool ReadEntries(std::string_view& rest, std::vector<LoggedWork>& entries) {
  if (!Consume(rest, "(")) return false;
  while (!rest.starts_with(")")) {
    std::optional<std::string> name = SplitWorkName(rest);
    if (!name) return false;
    const std::optional<std::uint32_t> time = ParseLogTime(rest);
    if (!time) return false;
    if (!name->empty()) entries.push_back({std::move(*name), *time});
    if (rest.empty()) return false;  // no closing parenthesis
  }
  rest.remove_prefix(1);
  return rest.empty() || rest.front() == ' ';
}

bool ReadDayLine(std::string_view rest, DayLineValues& day) {
  return Consume(rest, " Work: ") && ReadDayFigure(rest, kMaxDayWork, day.work, day.implausible) &&
         Consume(rest, "Break: ") &&
         ReadDayFigure(rest, kMaxDayBreak, day.break_time, day.implausible) &&
         Consume(rest, "Away: ") && ReadDayFigure(rest, kMaxDayAway, day.away, day.implausible) &&
         ReadEntries(rest, day.entries);
}

// "name Avg:4:30 Tot:45:00 Per:50.0", as the log totals write it.
bool IsTotalsLine(std::string_view line) {
  const std::size_t per = line.rfind(" Per:");
  if (per == std::string_view::npos) return false;
  const std::size_t tot = line.rfind(" Tot:", per);
  if (tot == std::string_view::npos) return false;
  const std::size_t avg = line.rfind(" Avg:", tot);
  if (avg == std::string_view::npos) return false;
  constexpr std::size_t kLabel = 5;
  return TimeTokenValue(line.substr(avg + kLabel, tot - avg - kLabel)) &&
         TimeTokenValue(line.substr(tot + kLabel, per - tot - kLabel)) &&
         TimeTokenValue(line.substr(per + kLabel));
}

}  // namespace

std::optional<std::uint32_t> ParseLogTime(std::string_view& text) {
  const std::optional<std::size_t> end = TimeTokenEnd(text);
  if (!end) return std::nullopt;
  const std::optional<std::uint32_t> value = TimeTokenValue(text.substr(0, *end));
  if (!value) return std::nullopt;
  text.remove_prefix(*end);
  Consume(text, kTimeSeparator);
  return value;
}

std::optional<std::string> SplitWorkName(std::string_view& text) {
  for (std::size_t colon = text.find(kNameSeparator); colon != std::string_view::npos;
       colon = text.find(kNameSeparator, colon + 1)) {
    std::string_view after = text.substr(colon + kNameSeparator.size());
    if (ParseLogTime(after)) {
      std::string name(text.substr(0, colon));
      text.remove_prefix(colon + kNameSeparator.size());
      return name;
    }
  }
  return std::nullopt;
}

bool IsDayLineCandidate(std::string_view line) {
  const std::size_t colon = line.find(':');
  return line.size() > kDayLineMinimumExclusive && colon != std::string_view::npos &&
         colon >= kDayLineColonAfter;
}

ParsedLogLine ParseLogLine(std::string_view line) {
  ParsedLogLine parsed;
  if (line.size() > kImportLineLimit) {
    parsed.kind = LogLineKind::kTooLong;
  } else if (!IsDayLineCandidate(line)) {
    parsed.kind = LogLineKind::kOther;
  } else {
    const std::string_view rest = line.substr(line.find(':') + 1);
    if (rest == kWorkSummaryRest) {
      parsed.kind = LogLineKind::kWorkSummary;
    } else if (ReadDayLine(rest, parsed.day)) {
      parsed.kind = LogLineKind::kDayLine;
    } else {
      parsed.kind = IsTotalsLine(line) ? LogLineKind::kTotalsLine : LogLineKind::kMalformed;
      parsed.day = {};
    }
  }
  return parsed;
}

}  // namespace tolvi
