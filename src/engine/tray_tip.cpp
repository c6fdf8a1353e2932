#include "engine/tray_tip.h"

#include "settings/settings.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kHoursDivisor = 36'000;

bool CountingDown(const ProgramData& data, const ActivityState& activity) {
  return IsOn(data.reminder_enabled) && activity.working_flag == WorkingFlag::kWorking &&
         !activity.meeting && !activity.away;
}

std::string FirstPart(const ProgramData& data, const ActivityState& activity) {
  if (CountingDown(data, activity)) {
    std::string text = "Time until break: ";
    text += FormatDecimal(static_cast<std::int32_t>(TooltipMinutes(activity.break_countdown_ms)));
    if (MicroBreakModeOf(data) != MicroBreakMode::kNone) {
      text += " (";
      text += FormatDecimal(static_cast<std::int32_t>(TooltipMinutes(activity.micro_countdown_ms)));
      text += ")";
    }
    return text + " minutes\r\n";
  }
  if (activity.meeting) return "At Meeting, ";
  if (activity.away) return "Away, ";
  if (activity.working_flag == WorkingFlag::kOnBreak) return "On Break, ";
  return " ";
}

}  // namespace

TrayIcon TrayIconFor(const ActivityState& activity) {
  switch (ModeOf(activity)) {
    case ActivityMode::kAtMeeting:
      return TrayIcon::kAtMeeting;
    case ActivityMode::kAway:
      return TrayIcon::kAway;
    case ActivityMode::kOnBreak:
      return TrayIcon::kOnBreak;
    case ActivityMode::kWorking:
      break;
  }
  return TrayIcon::kWorking;
}

std::uint32_t TooltipMinutes(std::uint32_t countdown_ms) {
  return (countdown_ms + 9) / kMsPerMinute + 1;
}

std::string TrayTooltip(const ProgramData& data, const ActivityState& activity) {
  const TimeStyle style = TimeStyleFor(data.decimal_hours);
  std::string text = FirstPart(data, activity);
  text += FieldText(data.current_name);
  text += ": ";
  text += FormatHours(activity.current_today_ms, kHoursDivisor, style);
  text += "/";
  text += FormatHours(data.work_today_ms, kHoursDivisor, style);
  text += " hours";
  return std::string(TruncateUtf8(text, kTooltipMaxBytes));
}

}  // namespace tolvi
