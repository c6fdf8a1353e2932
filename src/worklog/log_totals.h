// "Log Totals": appends a work summary block to the work log: for each of
// the day's ten busiest work types, and for away, break and work time, the
// average per closed day, the total and a share, then the number of days.
// Work types are measured against all work; away, break and work time
// against the whole of the recorded days (24 hours each).
//
// LogTotals runs on the GUI thread (the Options dialog's function) and
// takes the shared-state lock itself for the whole block, so the monitor's
// ticks and day line never land in the middle of it. A line the log cannot
// take waits with the kept lines, and the log tells the user.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "state/core_context.h"
#include "text/text.h"
#include "worklog/work_log.h"

namespace tolvi {

// Work types listed by the summary: the first ten Recent Work entries.
inline constexpr std::size_t kTotalsWorkTypes = 10;
// One recorded day in tenths of a minute.
inline constexpr std::uint32_t kTenthsPerDay = 14'400;

// "label Avg:A Tot:T Per:P": total and base in tenths of a minute; the
// average is per closed day (0 before the first), the share as a percentage
// with decimals.
std::string FormatTotalsLine(std::uint32_t total, std::uint32_t base, std::string_view label,
                             std::uint32_t total_days, TimeStyle style);

void WriteTotalsLine(WorkLog& log, std::uint32_t total, std::uint32_t base, std::string_view label,
                     std::uint32_t total_days, TimeStyle style);

// Writes the whole block. The caller must not hold the state lock.
void LogTotals(CoreContext& context);

}  // namespace tolvi
