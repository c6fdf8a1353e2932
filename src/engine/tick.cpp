#include "engine/tick.h"

#include <string>

#include "accounting/recent_work.h"
#include "accounting/targets.h"
#include "accounting/work_types.h"
#include "engine/tray_updates.h"
#include "settings/settings.h"
#include "state/write_failures.h"
#include "text/text.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kHoursDivisor = 36'000;
constexpr std::uint32_t kMsPerSecond = 1'000;
// Differences of the wrapping counter above this are "before", not "after".
constexpr std::uint32_t kHalfCounter = 0x8000'0000u;

std::string TimeWasSetAs(std::string_view amount, std::string_view unit) {
  std::string text = "Time was set as ";
  text += amount;
  text += unit;
  return text;
}

std::string HoursText(const ProgramData& data, std::uint32_t milliseconds) {
  return FormatHours(milliseconds, kHoursDivisor, TimeStyleFor(data.decimal_hours));
}

// The time since the previous tick, with a suspended gap
// booked as one normal tick (unless a long meeting books it all).
void MeasureElapsed(CoreContext& context) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  const std::uint32_t now = context.clock.TickCount();
  activity.tick_elapsed_ms = now - activity.last_tick_count;
  activity.last_tick_count = now;
  const bool long_meeting = IsOn(data.long_meeting) && activity.meeting;
  if (activity.tick_elapsed_ms > kSuspensionLimitMs && !long_meeting) {
    data.suspended_today_ms += activity.tick_elapsed_ms - kMonitorPaceMs;
    activity.tick_elapsed_ms = kMonitorPaceMs;
  }
}

// The break countdown, else the micro-break countdown.
void RunCountdowns(CoreContext& context) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  if (!IsOn(data.reminder_enabled) || activity.working_flag != WorkingFlag::kWorking ||
      activity.meeting || activity.away) {
    return;
  }
  activity.break_countdown_ms =
      SaturatingSubtract(activity.break_countdown_ms, activity.tick_elapsed_ms);
  if (activity.break_countdown_ms == 0) {
    StartBreak(context);
    context.ui.ArmTimer(TimerId::kBreakReminder, kAlertTimerPeriodMs);
    return;
  }
  if (MicroBreakModeOf(data) == MicroBreakMode::kNone) return;
  activity.micro_countdown_ms =
      SaturatingSubtract(activity.micro_countdown_ms, activity.tick_elapsed_ms);
  if (activity.micro_countdown_ms == 0) {
    RearmMicroCountdown(data, activity);
    context.ui.ArmTimer(TimerId::kMicroBreak, kAlertTimerPeriodMs);
  }
}

std::uint32_t ReadIdleTime(CoreContext& context) REQUIRES(context.state.mutex) {
  const ProgramData& data = context.state.data;
  if (!MonitorsActivity(data) || context.state.activity.meeting) return 0;
  const std::uint32_t last_input = context.clock.LastInputTick();
  const std::uint32_t now = context.clock.TickCount();
  return IdleTimeMs(now, last_input);
}

// On going away: the idle span before detection was booked as work or break;
// it moves to away time.
void BeginAway(CoreContext& context) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  activity.away = true;
  SetTrayStatus(context, TrayIcon::kAway, "Away");
  activity.away_mark = data.away_today_ms;
  data.away_today_ms += data.away_time;
  if (activity.working_flag != WorkingFlag::kOnBreak) {
    activity.current_today_ms = SaturatingSubtract(activity.current_today_ms, data.away_time);
  } else {
    data.break_today_ms = SaturatingSubtract(data.break_today_ms, data.away_time);
    activity.break_mark = data.break_today_ms;
  }
}

// Away detection and the return from it.
void DetectAway(CoreContext& context, std::uint32_t idle_ms) REQUIRES(context.state.mutex) {
  const ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  if (idle_ms >= data.away_time && !activity.away) {
    BeginAway(context);
  } else if (idle_ms < data.away_time && activity.away && MonitorsActivity(data)) {
    activity.away = false;
    if (activity.working_flag != WorkingFlag::kOnBreak) {
      StartWork(context);
    } else {
      SetTrayStatus(context, TrayIcon::kOnBreak, "On Break");
    }
  }
}

void BookBreak(CoreContext& context, std::uint32_t elapsed) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  data.break_today_ms += elapsed;
  if (activity.max_break_state != MaxBreakState::kArmed) return;
  const std::uint32_t seconds =
      SaturatingSubtract(data.break_today_ms, activity.break_mark) / kMsPerSecond;
  if (seconds <= data.max_break_seconds) return;
  activity.max_break_state = MaxBreakState::kFired;
  ShowTrayBalloon(
      context, "Maximum break time",
      TimeWasSetAs(FormatDecimal(static_cast<std::int32_t>(data.max_break_seconds)), " seconds"),
      TrayIcon::kOnBreak);
  context.ui.ArmTimer(TimerId::kMaximumBreak, kAlertTimerPeriodMs);
}

// The current work type is full for today: what does not fit is break.
void SplitAtMaximum(CoreContext& context, std::uint32_t elapsed) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  if (activity.current_today_ms < activity.current_maximum_ms) {
    const std::uint64_t total = std::uint64_t{activity.current_today_ms} + elapsed;
    data.break_today_ms += static_cast<std::uint32_t>(total - activity.current_maximum_ms);
    activity.current_today_ms = activity.current_maximum_ms;
  } else {
    data.break_today_ms += elapsed;
  }
  StartBreak(context);
  ShowTrayBalloon(context, "Maximum time for this work type",
                  TimeWasSetAs(HoursText(data, activity.current_maximum_ms), " hours"),
                  TrayIcon::kOnBreak);
  context.ui.ArmTimer(TimerId::kWorkTypeMaximum, kAlertTimerPeriodMs);
}

void CountTowardsTarget(CoreContext& context, std::uint32_t elapsed) REQUIRES(context.state.mutex) {
  ActivityState& activity = context.state.activity;
  if (activity.target_remaining_ms == 0) return;
  if (elapsed < activity.target_remaining_ms) {
    activity.target_remaining_ms -= elapsed;
    return;
  }
  activity.target_remaining_ms = 0;
  ShowTrayBalloon(
      context, "Target time hit",
      TimeWasSetAs(HoursText(context.state.data, TargetShownMs(context.state)), " hours"),
      TrayIcon::kWorking);
}

void BookWork(CoreContext& context, std::uint32_t elapsed) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  const std::uint64_t reached = std::uint64_t{activity.current_today_ms} + elapsed;
  if (reached >= activity.current_maximum_ms) {
    SplitAtMaximum(context, elapsed);
    return;
  }
  activity.current_today_ms = static_cast<std::uint32_t>(reached);
  data.work_today_ms += elapsed;
  const std::int32_t slot = activity.current_slot;
  if (slot >= 0 && static_cast<std::size_t>(slot) < context.state.recent.size()) {
    context.state.recent[static_cast<std::size_t>(slot)].today_ms += elapsed;
  }
  CountTowardsTarget(context, elapsed);
}

// The elapsed time goes to away, break or work.
void BookElapsed(CoreContext& context) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  const std::uint32_t elapsed = activity.tick_elapsed_ms;
  if (activity.away) {
    activity.break_countdown_ms = data.break_interval;
    data.away_today_ms += elapsed;
  } else if (activity.working_flag == WorkingFlag::kOnBreak) {
    BookBreak(context, elapsed);
  } else {
    BookWork(context, elapsed);
  }
}

// Housekeeping: the refresh of the sums every 51 ticks, with the waiting log
// lines and the save, and the occasional backup. True when the save is due.
bool Housekeeping(CoreContext& context) REQUIRES(context.state.mutex) {
  ActivityState& activity = context.state.activity;
  bool save_due = false;
  if (activity.phase == kPhaseRefresh) {
    ReportRecordWrite(context, FlushCurrentWorkType(context.state, context.records));
    ComputeTotals(context.state, context.records, GrandTotal::kCompute);
    RebuildRecentWork(context.state, context.records);
    // Lines the log still refuses stay kept; the user has been told.
    ContextWorkLog(context).WritePending();
    save_due = true;
  } else if (activity.phase == kPhaseBackup) {
    if (context.random.Draw(kBackupDrawRange) == kBackupDrawHit &&
        context.hooks.backup_data_files) {
      context.hooks.backup_data_files(context);
    }
  }
  activity.phase = activity.phase + 1 > kPhaseLast ? 0 : activity.phase + 1;
  return save_due;
}

}  // namespace

std::uint32_t IdleTimeMs(std::uint32_t now, std::uint32_t last_input) {
  const std::uint32_t idle = now - last_input;
  return idle < kHalfCounter ? idle : 0;
}

void RearmMicroCountdown(ProgramData& data, ActivityState& activity) {
  switch (MicroBreakModeOf(data)) {
    case MicroBreakMode::kNone:
      activity.micro_countdown_ms = kMicroCountdownOff;
      break;
    case MicroBreakMode::kHalfTime:
      activity.micro_countdown_ms = data.break_interval / 2;
      break;
    case MicroBreakMode::kQuarterTime:
    default:  // an unknown mode from a damaged file counts as the shortest
      activity.micro_countdown_ms = data.break_interval / 4;
      break;
  }
}

void StartBreak(CoreContext& context) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  if (activity.working_flag == WorkingFlag::kExit) return;  // exit is never undone
  activity.meeting = false;
  activity.working_flag = WorkingFlag::kOnBreak;
  RefreshTrayTip(context);
  activity.break_mark = data.break_today_ms;
  RearmMicroCountdown(data, activity);
  activity.max_break_state = MaxBreakActionOf(data) != MaxBreakAction::kOff
                                 ? MaxBreakState::kArmed
                                 : MaxBreakState::kNotArmed;
}

void StartWork(CoreContext& context) {
  ProgramData& data = context.state.data;
  ActivityState& activity = context.state.activity;
  if (activity.working_flag == WorkingFlag::kExit) return;  // exit is never undone
  activity.away = false;
  activity.working_flag = WorkingFlag::kWorking;
  activity.max_break_state = MaxBreakState::kNotArmed;
  RefreshTrayTip(context);
  const bool long_break =
      SaturatingSubtract(data.break_today_ms, activity.break_mark) > kAutoResetPlusBreakMs;
  const ResetMode reset = ResetModeOf(data);
  if (reset == ResetMode::kAutoReset || (reset == ResetMode::kAutoResetPlus && long_break) ||
      activity.break_countdown_ms == 0) {
    activity.break_countdown_ms = data.break_interval;
  }
  RearmMicroCountdown(data, activity);
  activity.tray_refresh_pending = true;
}

bool RunTick(CoreContext& context) {
  MeasureElapsed(context);
  context.state.activity.tray_refresh_pending = true;
  RunCountdowns(context);
  DetectAway(context, ReadIdleTime(context));
  BookElapsed(context);
  return Housekeeping(context);
}

}  // namespace tolvi
