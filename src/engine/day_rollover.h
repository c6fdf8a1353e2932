// The day rollover: deciding that a day has ended, writing its line to the
// work log and its report to the tray, moving the day's counters into
// yesterday's figures and the totals, shifting every work type's history
// (up to seven days at once after a long absence), seeding the new day's
// Recent Work, and the backup and save of each close. A system clock that
// went back behind the last close is caught by a question: going on closes
// one day, quitting ends the program with nothing written or saved.
//
// Plugged into CoreHooks::day_check by InstallDayRollover, so it runs at
// monitor start, for request 2 (the midnight timer), on a wall-clock change
// and at the end of the defaults routine.
//
// Threads: whichever runs the day check, with the shared-state lock held
// through `lock`; the lock is released only while the clock-guard question
// waits for the user, and held again before anything else is touched.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "state/core_context.h"

namespace tolvi {

// One file-time stamp unit is 2^32 × 100 ns; 201 of them are just under a day.
inline constexpr std::uint32_t kStampUnitsPerDay = 201;
// Stamps below this (July 2008) are no stamp at all.
inline constexpr std::uint32_t kOldestValidStamp = 0x01C8EA08;
// The histories hold seven days, so a longer absence closes only seven.
inline constexpr std::uint32_t kMaxDaysClosed = 7;

inline constexpr std::string_view kClockBackMessage =
    "The current time is BEFORE the last recorded time";
inline constexpr std::string_view kClockBackGoOn = "Yes, I know";
inline constexpr std::string_view kClockBackQuit = "Please quit to avoid data corruption";

// Ends the program at once, saving nothing. The default ends the process;
// tests and the simulator hand in their own.
using QuitProgram = std::function<void()>;
[[noreturn]] void EndProcessWithoutSaving();

// Days to close for the stamp now against the last close: nullopt when the
// clock has gone back (the caller must ask), 1 without a valid last stamp,
// else whole days elapsed, at least 1 and at most kMaxDaysClosed.
std::optional<std::uint32_t> DaysSinceLastClose(std::uint32_t now_stamp,
                                                std::uint32_t last_close_stamp);

// The day check: arms the midnight timer; opens the first day, or closes
// the ended day(s) when the day of the month has changed, or when it has
// not but the last close is more than a calendar day back (the same day
// number a month or more later); then sets TodayText, rebuilds Recent Work
// and asks for a tray refresh.
void DayRolloverCheck(CoreContext& context, StateLock& lock, const QuitProgram& quit)
    REQUIRES(context.state.mutex);

// Writes the ended day's line to the work log (FileLog) and its report
// balloon (ShowReport), then empties WorkNotes. Lock held.
void DaySummary(CoreContext& context) REQUIRES(context.state.mutex);

// Closes `days` days: counters into yesterday's figures and the totals,
// every record's history shifted once per day, then the new day's Recent
// Work seeded. Lock held. Returns the first record write that failed.
[[nodiscard]] Status CloseDays(CoreContext& context, std::uint32_t days)
    REQUIRES(context.state.mutex);

// Makes DayRolloverCheck the context's day check.
void InstallDayRollover(CoreContext& context, QuitProgram quit = EndProcessWithoutSaving);

}  // namespace tolvi
