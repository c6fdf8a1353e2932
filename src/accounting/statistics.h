// Statistics of one work type, as the Work Details dialog and the log totals
// show them: total, average per closed day and share of all work, each in
// tenths of a minute (the share in hundredths of a percent, for FormatHours
// with divisor 6 and the share style). Pure functions; any thread.
#pragma once

#include <cstdint>
#include <optional>

namespace tolvi {

// Total = closed days (field 2) + today (field 4) / 6000.
std::uint32_t WorkTypeTotal(std::uint32_t stored_total, std::uint32_t today_ms);

// Total / TotalDays; nullopt on the first day (no closed day yet).
std::optional<std::uint32_t> WorkTypeAverage(std::uint32_t total, std::uint32_t total_days);

// Share of GrandTotal: 0 when GrandTotal or TotalDays is 0; else
// total * 60000 / grand, exactly, so the whole is always 100.0. Saturates
// instead of wrapping when a stale grand total is smaller than the work
// type's own total.
std::uint32_t WorkTypeShare(std::uint32_t total, std::uint32_t grand_total,
                            std::uint32_t total_days);

}  // namespace tolvi
