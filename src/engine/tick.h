// The monitor tick and the two mode switches. RunTick books the time since
// the previous tick as work, break, away or suspended time, runs the break,
// micro-break, maximum-break, work-type maximum and target countdowns, and
// arms the main window's alert timers when one runs out.
//
// The housekeeping refresh also writes any work-log lines still waiting and
// tells the caller that "dTolvi.dat" is due for a save, so a kill loses at
// most one cycle of any counter.
//
// Every function here runs with the shared-state lock held. RunTick runs on
// the monitor thread; StartWork and StartBreak also run on the GUI thread
// (commands, tray clicks, the reminder's answer). Ui calls made here never
// wait for the GUI thread.
#pragma once

#include <cstdint>
#include <optional>

#include "state/core_context.h"

namespace tolvi {

// Time units and limits of the tick.
inline constexpr std::uint32_t kMonitorPaceMs = 6'000;
inline constexpr std::uint32_t kSuspensionLimitMs = 900'000;
inline constexpr std::uint32_t kAutoResetPlusBreakMs = 300'000;
inline constexpr std::uint32_t kAlertTimerPeriodMs = 1'000;
inline constexpr std::uint32_t kPhaseRefresh = 1;
inline constexpr std::uint32_t kPhaseBackup = 2;
inline constexpr std::uint32_t kPhaseLast = 50;
inline constexpr std::uint32_t kPhaseAfterDialog = 41;
inline constexpr std::uint32_t kBackupDrawRange = 9;
inline constexpr std::uint32_t kBackupDrawHit = 5;

// On Break: ends a meeting, restarts the break and maximum-break measures.
void StartBreak(CoreContext& context) REQUIRES(context.state.mutex);
// Working: clears Away and restarts the countdowns by ResetMode.
void StartWork(CoreContext& context) REQUIRES(context.state.mutex);
// Restarts the micro-break countdown: off, or half or a quarter of the
// break interval, as MicroBreakMode says.
void RearmMicroCountdown(ProgramData& data, ActivityState& activity);

// One tick, from the clock's current tick count. True in the refresh phase:
// the caller saves "dTolvi.dat" once it has let go of the lock.
bool RunTick(CoreContext& context) REQUIRES(context.state.mutex);

// a - b, or 0 when b is larger: how every countdown is lowered.
constexpr std::uint32_t SaturatingSubtract(std::uint32_t a, std::uint32_t b) {
  return a >= b ? a - b : 0;
}

// Idle time from the last-input tick, on the wrapping counter. A last input
// "after" now (a racing read) counts as no idle time.
std::uint32_t IdleTimeMs(std::uint32_t now, std::uint32_t last_input);

}  // namespace tolvi
