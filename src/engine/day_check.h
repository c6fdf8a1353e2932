// The day check seam. The engine runs the day check when the monitor starts
// and for request 2 (the midnight timer); the wall-clock change handler and
// SetDefaultSettings run it too. Everyone goes through RunDayCheck.
//
// Where the day rollover plugs in: CoreHooks::day_check (state/core_context.h),
// set by InstallStandardHooks (engine/standard_hooks.cpp). Without it the
// engine uses OpenDayOnly, which arms the midnight timer and opens the day
// (DayOfMonth, TodayText) but never closes one.
//
// Threads: any thread, with the state lock held through `lock`.
#pragma once

#include <cstdint>

#include "state/core_context.h"

namespace tolvi {

// Runs the plugged-in day check, or OpenDayOnly when none is plugged in.
void RunDayCheck(CoreContext& context, StateLock& lock) REQUIRES(context.state.mutex);
// Takes the state lock itself (callers that do not hold it).
void RunDayCheck(CoreContext& context);

// Arms timer 3 (midnight) for the first minute after the next local
// midnight and returns today's day of the month.
std::uint32_t ArmMidnightTimer(CoreContext& context);
// The period that ArmMidnightTimer arms at the given local hour and minute.
std::uint32_t MidnightTimerPeriodMs(int hour, int minute);

// The default day check: arms the midnight timer, stores the day of the
// month when no day is open (or when it changed), sets TodayText to the long
// date, rebuilds RecentWork and asks for a tray refresh.
void OpenDayOnly(CoreContext& context, StateLock& lock) REQUIRES(context.state.mutex);

}  // namespace tolvi
