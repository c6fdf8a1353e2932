#include "worklog/day_line.h"

#include <initializer_list>

namespace tolvi {

namespace {

constexpr std::uint32_t kMillisecondsDivisor = 36000;

// Joins by appending: GCC 12 at -O3 takes `"literal" + std::string` for an
// overlapping copy (a false -Wrestrict).
std::string Concat(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (const std::string_view part : parts) text += part;
  return text;
}

std::string Entry(const DayLineEntry& entry, TimeStyle style) {
  return Concat({entry.name, ": ", FormatHours(entry.today_ms, kMillisecondsDivisor, style)});
}

}  // namespace

DaySummaryText FormatDaySummary(const DayFigures& figures, TimeStyle style) {
  const auto hours = [style](std::uint32_t ms) {
    return FormatHours(ms, kMillisecondsDivisor, style);
  };
  const auto& top = figures.top;
  DaySummaryText text;
  text.totals = Concat({"Work: ", hours(figures.work_ms), ", Break: ", hours(figures.break_ms),
                        ", Away: ", hours(figures.away_ms)});
  text.first_list =
      Concat({"(", Entry(top[0], style), ", ", Entry(top[1], style), ", ", Entry(top[2], style)});
  text.second_list = Concat({Entry(top[3], style), ", ", Entry(top[4], style), ")"});
  return text;
}

std::string FormatDayLine(std::string_view date, const DaySummaryText& summary,
                          std::string_view notes) {
  std::string line(date);
  PadRight(line, kDayLineDateWidth);
  line += " : " + summary.totals + ", " + summary.first_list + ", " + summary.second_list;
  if (!notes.empty()) {
    line += ' ';
    line += notes;
  }
  return line;
}

std::string FormatDayReport(const DaySummaryText& summary) {
  return summary.totals + "\r\n" + summary.first_list + ")";
}

}  // namespace tolvi
