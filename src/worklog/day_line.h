// The day line of the work log and the day report built from the same
// figures: the ended day's date, its work, break and away time, and its five
// busiest work types. Pure functions of their arguments; any thread.
//
//   <date padded to 30> : Work: 6:30, Break: 0:45, Away: 1:10,
//       (Proj A: 4:00, Proj B: 2:30, : 0:00, : 0:00, : 0:00)[ notes]
//
// (one line in the file; wrapped here). Empty slots keep their place with an
// empty name and a zero time, so every day line lists exactly five entries.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "text/text.h"

namespace tolvi {

inline constexpr std::size_t kDayLineEntries = 5;
inline constexpr std::size_t kDayLineDateWidth = 30;

struct DayLineEntry {
  std::string name;  // empty for an unused slot
  std::uint32_t today_ms = 0;
};

struct DayFigures {
  std::uint32_t work_ms = 0;
  std::uint32_t break_ms = 0;
  std::uint32_t away_ms = 0;
  std::array<DayLineEntry, kDayLineEntries> top;
};

// The three pieces the day line and the day report balloon share.
struct DaySummaryText {
  std::string totals;       // "Work: 6:30, Break: 0:45, Away: 1:10"
  std::string first_list;   // "(A: 4:00, B: 2:30, C: 0:00"
  std::string second_list;  // "D: 0:00, E: 0:00)"
};

DaySummaryText FormatDaySummary(const DayFigures& figures, TimeStyle style);

// The whole line, without its line end. Notes are added after one space
// only when not empty.
std::string FormatDayLine(std::string_view date, const DaySummaryText& summary,
                          std::string_view notes);

// The balloon text of the day report: the totals, a line break, and the
// three busiest work types.
std::string FormatDayReport(const DaySummaryText& summary);

}  // namespace tolvi
