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

// A share of 60,000 is the whole: hundredths of a percent, in the units
// FormatHours shows with divisor 6.
inline constexpr std::uint32_t kWholeShare = 60'000;

// The share of total in base (the grand total for a work type, the days'
// whole for the away and break lines): 0 when the base or TotalDays is 0;
// else total * 60000 / base, exactly, so the whole is always 100.0.
// Saturates instead of wrapping when a stale base is smaller than total.
std::uint32_t ShareOf(std::uint32_t total, std::uint64_t base, std::uint32_t total_days);

}  // namespace tolvi
