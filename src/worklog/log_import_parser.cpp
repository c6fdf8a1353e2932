#include "worklog/log_import_parser.h"

#include <algorithm>
#include <array>
#include <cstdlib>

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

// The writer puts every time of a line in one form: hours and minutes, or
// decimal hours.
enum class TimeForm { kClock, kDecimal };

TimeForm FormOf(std::string_view token) {
  return token.find(':') == std::string_view::npos ? TimeForm::kDecimal : TimeForm::kClock;
}

// The time token at the start of text, when it is followed by ", ", ")" or
// the end.
std::optional<std::string_view> LeadingToken(std::string_view text) {
  const std::optional<std::size_t> end = TimeTokenEnd(text);
  if (!end) return std::nullopt;
  return text.substr(0, *end);
}

// Reads one time of the day's totals, in the line's form, applying its
// plausibility limit.
bool ReadDayFigure(std::string_view& rest, TimeForm form, std::uint32_t limit,
                   std::uint32_t& figure, bool& implausible) {
  const std::optional<std::string_view> token = LeadingToken(rest);
  if (!token || FormOf(*token) != form) return false;
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

// Beyond this many readings of one entry list the line is not trusted.
constexpr std::size_t kMaxReadings = 32;

using Reading = std::vector<LoggedWork>;  // all five entries, empty names kept

// Every way the text after "(" splits into exactly five "name: time"
// entries, the last closed by ")" and followed by the end or " " and notes.
// Names and notes are free text, so ": ", ", " and ")" inside them make
// several readings possible; the caller picks among them. Positions known
// not to lead to a whole list are remembered, which keeps hostile lines
// cheap.
class EntryReadings {
 public:
  EntryReadings(std::string_view list, TimeForm form)
      : list_(list), form_(form), dead_(list.size() + 1) {
    Reading so_far;
    Search(0, 0, so_far);
  }

  [[nodiscard]] bool too_many() const { return readings_.size() > kMaxReadings; }
  [[nodiscard]] const std::vector<Reading>& readings() const { return readings_; }

 private:
  // The entry's time at pos, in the line's form; pos is left after it.
  std::optional<std::uint32_t> TimeAt(std::size_t& pos) const {
    const std::size_t end = std::min(list_.find_first_of(",)", pos), list_.size());
    const std::string_view token = list_.substr(pos, end - pos);
    if (FormOf(token) != form_) return std::nullopt;
    pos = end;
    return TimeTokenValue(token);
  }

  // Where the next entry starts after the time ending at pos, or nullopt.
  [[nodiscard]] std::optional<std::size_t> NextEntry(std::size_t entry, std::size_t pos) const {
    const std::string_view after = list_.substr(pos);
    if (entry + 1 < kListEntries) {
      if (!after.starts_with(kTimeSeparator)) return std::nullopt;
      return pos + kTimeSeparator.size();
    }
    if (!after.starts_with(")") || (after.size() > 1 && after[1] != ' ')) return std::nullopt;
    return list_.size();
  }

  void Search(std::size_t entry, std::size_t start, Reading& so_far) {
    if (dead_[start][entry]) return;
    const std::size_t found_before = readings_.size();
    for (std::size_t colon = list_.find(kNameSeparator, start);
         colon != std::string_view::npos && !too_many();
         colon = list_.find(kNameSeparator, colon + 1)) {
      std::size_t pos = colon + kNameSeparator.size();
      const std::optional<std::uint32_t> time = TimeAt(pos);
      if (!time) continue;
      const std::optional<std::size_t> next = NextEntry(entry, pos);
      if (!next) continue;
      so_far.push_back({std::string(list_.substr(start, colon - start)), *time});
      if (entry + 1 == kListEntries) {
        readings_.push_back(so_far);
      } else {
        Search(entry + 1, *next, so_far);
      }
      so_far.pop_back();
    }
    if (readings_.size() == found_before) dead_[start][entry] = true;
  }

  static constexpr std::size_t kListEntries = 5;
  std::string_view list_;
  TimeForm form_;
  std::vector<std::array<bool, kListEntries>> dead_;
  std::vector<Reading> readings_;
};

bool AddsUpTo(const Reading& reading, std::uint32_t work) {
  std::int64_t listed = 0;
  for (const LoggedWork& entry : reading) listed += entry.tenths;
  return std::llabs(listed - work) <= kUnassignedTolerance;
}

// As the writer lists the day's busiest work types: largest first, unused
// slots (no name, no time) only after the named ones.
bool InWriterOrder(const Reading& reading) {
  bool unused_seen = false;
  for (std::size_t i = 0; i < reading.size(); ++i) {
    const LoggedWork& entry = reading[i];
    if (i > 0 && entry.tenths > reading[i - 1].tenths) return false;
    if (entry.name.empty() && entry.tenths != 0) return false;
    if (!entry.name.empty() && unused_seen) return false;
    unused_seen = unused_seen || entry.name.empty();
  }
  return true;
}

// The reading the writer would have produced. Tests from strict to loose:
// in order and adding up to the day's work, in order (a day with more than
// five work types does not add up), adding up (a hand-sorted list), any.
// The first test met by exactly one reading decides; met by several, the
// line is ambiguous.
const Reading* PickReading(const EntryReadings& found, std::uint32_t work) {
  if (found.too_many()) return nullptr;
  const auto ordered = [](const Reading& r, std::uint32_t) { return InWriterOrder(r); };
  const auto both = [](const Reading& r, std::uint32_t w) {
    return InWriterOrder(r) && AddsUpTo(r, w);
  };
  const auto any = [](const Reading&, std::uint32_t) { return true; };
  using Test = bool (*)(const Reading&, std::uint32_t);
  for (const Test test : {static_cast<Test>(both), static_cast<Test>(ordered),
                          static_cast<Test>(&AddsUpTo), static_cast<Test>(any)}) {
    const Reading* match = nullptr;
    std::size_t matches = 0;
    for (const Reading& reading : found.readings()) {
      if (!test(reading, work)) continue;
      match = &reading;
      ++matches;
    }
    if (matches == 1) return match;
    if (matches > 1) return nullptr;
  }
  return nullptr;
}

bool ReadEntries(std::string_view rest, TimeForm form, DayLineValues& day) {
  if (!Consume(rest, "(")) return false;
  const EntryReadings found(rest, form);
  const Reading* reading = PickReading(found, day.work);
  if (reading == nullptr) return false;
  for (const LoggedWork& entry : *reading) {
    if (!entry.name.empty()) day.entries.push_back(entry);
  }
  return true;
}

bool ReadDayLine(std::string_view rest, DayLineValues& day) {
  if (!Consume(rest, " Work: ")) return false;
  const std::optional<std::string_view> first = LeadingToken(rest);
  if (!first) return false;
  const TimeForm form = FormOf(*first);
  return ReadDayFigure(rest, form, kMaxDayWork, day.work, day.implausible) &&
         Consume(rest, "Break: ") &&
         ReadDayFigure(rest, form, kMaxDayBreak, day.break_time, day.implausible) &&
         Consume(rest, "Away: ") &&
         ReadDayFigure(rest, form, kMaxDayAway, day.away, day.implausible) &&
         ReadEntries(rest, form, day);
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
    if (rest.size() > kImportRemainderLimit) {
      parsed.kind = LogLineKind::kTooLong;
    } else if (rest == kWorkSummaryRest) {
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
