#include "worklog/day_line.h"

namespace tolvi {

namespace {

constexpr std::uint32_t kMillisecondsDivisor = 36000;

std::string Entry(const DayLineEntry& entry, TimeStyle style) {
  return entry.name + ": " + FormatHours(entry.today_ms, kMillisecondsDivisor, style);
}

}  // namespace

DaySummaryText FormatDaySummary(const DayFigures& figures, TimeStyle style) {
  const auto hours = [style](std::uint32_t ms) {
    return FormatHours(ms, kMillisecondsDivisor, style);
  };
  const auto& top = figures.top;
  DaySummaryText text;
  text.totals = "Work: " + hours(figures.work_ms) + ", Break: " + hours(figures.break_ms) +
                ", Away: " + hours(figures.away_ms);
  text.first_list =
      "(" + Entry(top[0], style) + ", " + Entry(top[1], style) + ", " + Entry(top[2], style);
  text.second_list = Entry(top[3], style) + ", " + Entry(top[4], style) + ")";
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
