#include "settings/settings.h"

#include <algorithm>

#include "text/text.h"

namespace tolvi {
namespace {

template <auto Member>
constexpr TextFieldAccess TextOf() {
  return {[](ProgramData& data) -> std::span<char> { return data.*Member; },
          [](const ProgramData& data) -> std::span<const char> { return data.*Member; }};
}

using K = SettingKind;
using R = DefaultRule;
using PD = ProgramData;

constexpr std::uint32_t kMaxWholeMinutes = UINT32_MAX / kMsPerMinute;
constexpr std::string_view kFileTooltip = "Reminder file/folder";

// Each entry names only what differs from the defaults of SettingInfo; GCC 12
// warns about the members left to their default initialisers.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
constexpr std::array<SettingInfo, kSettingCount> kTable = {{
    {.id = SettingId::kAutoStart,
     .name = "AutoStart",
     .number = &PD::auto_start,
     .default_number = 0,
     .caption = "Auto Start",
     .group = "Misc",
     .tooltip = "Makes Tolvi start with Windows"},
    {.id = SettingId::kBreakInterval,
     .name = "BreakInterval",
     .kind = K::kMilliseconds,
     .number = &PD::break_interval,
     .default_number = 1800000,
     .options_minimum = 5 * kMsPerMinute,
     .options_maximum = 120 * kMsPerMinute,
     .caption = "Work Time (in Minutes)",
     .group = "Break Reminder",
     .tooltip = "Sets the Break Interval"},
    {.id = SettingId::kReminderEnabled,
     .name = "ReminderEnabled",
     .number = &PD::reminder_enabled,
     .default_number = 1,
     .caption = "Enable",
     .group = "Break Reminder",
     .tooltip = "Sets Tolvi to remind you of appropriate break times"},
    {.id = SettingId::kAutoShow,
     .name = "AutoShow",
     .number = &PD::auto_show,
     .rule = R::kNewerDefaults,
     .default_number = 1,
     .caption = "Auto Show",
     .group = "Misc",
     .tooltip = "Show the main window automatically when Tolvi starts"},
    {.id = SettingId::kMaxBreakAction,
     .name = "MaxBreakAction",
     .kind = K::kChoice,
     .number = &PD::max_break_action,
     .rule = R::kNewerDefaults,
     .default_number = 0,
     .list = kMaxBreakActions,
     .group = "Maximum Break",
     .tooltip = "Enables you to set a reminder for when your break runs too long"},
    {.id = SettingId::kShowReport,
     .name = "ShowReport",
     .number = &PD::show_report,
     .default_number = 1,
     .caption = "Show Report",
     .group = "Work Logging",
     .tooltip = "Displays after midnight a summary of the days activities"},
    {.id = SettingId::kAwayTime,
     .name = "AwayTime",
     .kind = K::kMilliseconds,
     .number = &PD::away_time,
     .default_number = 300000,
     // Below a minute an active user would be Away at every tick.
     .options_minimum = kMsPerMinute,
     .caption = "Away Time",
     .group = "Work Logging",
     .tooltip = "Time in minutes before Tolvi decides that you have gone"},
    {.id = SettingId::kAwayToggleMethod,
     .name = "AwayToggleMethod",
     .kind = K::kChoice,
     .number = &PD::away_toggle_method,
     .default_number = 0,
     .list = kAwayToggleMethods,
     .group = "Work Logging",
     .tooltip = "Method to use for away toggling"},
    {.id = SettingId::kMaxBreakSeconds,
     .name = "MaxBreakSeconds",
     .kind = K::kSeconds,
     .number = &PD::max_break_seconds,
     .rule = R::kNewerDefaults,
     .default_number = 300,
     .caption = "Seconds",
     .group = "Maximum Break",
     .tooltip = "Maximum time in seconds that you want your breaks to last for"},
    {.id = SettingId::kFileLog,
     .name = "FileLog",
     .number = &PD::file_log,
     .default_number = 1,
     .caption = "File Log",
     .group = "Work Logging",
     .tooltip = "Saves the log totals to a text file at the end of each day"},
    {.id = SettingId::kManualTarget,
     .name = "ManualTarget",
     .kind = K::kMilliseconds,
     .number = &PD::manual_target,
     .default_number = 21600000,
     .list = kManualTargets,
     .group = "Target",
     .tooltip = "Target time in minutes"},
    {.id = SettingId::kAutoBegin,
     .name = "AutoBegin",
     .number = &PD::auto_begin,
     .default_number = 0,
     .caption = "Auto Begin",
     .group = "Break Reminder",
     .tooltip = "Start work count when Tolvi starts"},
    {.id = SettingId::kAutoCont,
     .name = "AutoCont",
     .number = &PD::auto_cont,
     .default_number = 0,
     .caption = "Auto Cont",
     .group = "Break Reminder",
     .tooltip = "Continue counting work when Break reminder is closed"},
    {.id = SettingId::kReminderAction,
     .name = "ReminderAction",
     .kind = K::kChoice,
     .number = &PD::reminder_action,
     .default_number = 1,
     .list = kReminderActions,
     .caption = "Action",
     .group = "Break Reminder",
     .tooltip = "Reminder sound options"},
    {.id = SettingId::kReminderFile,
     .name = "ReminderFile",
     .kind = K::kText,
     .text = TextOf<&PD::reminder_file>(),
     .rule = R::kNotWritten,
     .caption = "File",
     .group = "Break Reminder",
     .tooltip = kFileTooltip},
    {.id = SettingId::kResetMode,
     .name = "ResetMode",
     .kind = K::kChoice,
     .number = &PD::reset_mode,
     .rule = R::kFromOldReset,
     .list = kResetModes,
     .group = "Break Reminder",
     .tooltip = "Resets the count if Tolvi is set to 'On Break'"},
    {.id = SettingId::kConfirmQuit,
     .name = "ConfirmQuit",
     .number = &PD::confirm_quit,
     .default_number = 0,
     .caption = "Confirm Quit",
     .group = "Misc",
     .tooltip = "Confirm exit order prior to closing Tolvi"},
    {.id = SettingId::kMicroBreakMode,
     .name = "MicroBreakMode",
     .kind = K::kChoice,
     .number = &PD::micro_break_mode,
     .default_number = 0,
     .list = kMicroBreakModes,
     .group = "Micro Breaks",
     .tooltip = "Micro Break Mode"},
    {.id = SettingId::kMicroBreakAction,
     .name = "MicroBreakAction",
     .kind = K::kChoice,
     .number = &PD::micro_break_action,
     .default_number = 0,
     .list = kMicroBreakActions,
     .group = "Micro Breaks",
     .tooltip = "Micro Break Action"},
    {.id = SettingId::kSnoozeTime,
     .name = "SnoozeTime",
     .kind = K::kMilliseconds,
     .number = &PD::snooze_time,
     .default_number = 300000,
     .options_minimum = kMsPerMinute,
     .caption = "Snooze",
     .group = "Break Reminder",
     .tooltip = "Time in minutes that the break will be delayed by when it is snoozed"},
    {.id = SettingId::kRandomPhrase,
     .name = "RandomPhrase",
     .number = &PD::random_phrase,
     .default_number = 0,
     .caption = "Random",
     .group = "Break Reminder",
     .tooltip = "Randomly selects a phrase from the Text.txt file"},
    {.id = SettingId::kOnTopAlert,
     .name = "OnTopAlert",
     .number = &PD::on_top_alert,
     .default_number = 0,
     .caption = "On Top Alert",
     .group = "Misc",
     .tooltip = "Sets the Break alert windows to be on-top of other windows"},
    {.id = SettingId::kLockScreen,
     .name = "LockScreen",
     .number = &PD::lock_screen,
     .default_number = 0,
     .caption = "Lock Screen",
     .group = "Misc",
     .tooltip = "Prevent viewing and access to desktop when it is time for a break"},
    {.id = SettingId::kReminderText,
     .name = "ReminderText",
     .kind = K::kText,
     .text = TextOf<&PD::reminder_text>(),
     .default_text = "Take a Break!",
     .caption = "Text",
     .group = "Break Reminder",
     .tooltip = "Text to show when it is time for a Break"},
    {.id = SettingId::kTransparent,
     .name = "Transparent",
     .number = &PD::transparent,
     .default_number = 0,
     .caption = "Transparent"},
    {.id = SettingId::kOnTop,
     .name = "OnTop",
     .number = &PD::on_top,
     .default_number = 0,
     .caption = "On Top"},
    {.id = SettingId::kWindowAlpha,
     .name = "WindowAlpha",
     .kind = K::kOpacity,
     .number = &PD::window_alpha,
     .default_number = 75,
     .options_minimum = 5,
     .options_maximum = 255,
     .group = "Transparency",
     .tooltip = "Tolvi transparency percentage (Will not change until 'Transparent' is toggled)"},
    {.id = SettingId::kTargetMode,
     .name = "TargetMode",
     .kind = K::kChoice,
     .number = &PD::target_mode,
     .default_number = 1,
     .list = kTargetModes,
     .group = "Target",
     .tooltip = "Method Tolvi uses to calculate the daily work target"},
    {.id = SettingId::kWorkNotes,
     .name = "WorkNotes",
     .kind = K::kText,
     .text = TextOf<&PD::work_notes>(),
     .rule = R::kNotWritten,
     .group = "Work notes for today",
     .tooltip = "These notes are added to the work log and are cleared daily"},
    {.id = SettingId::kMicroBreakFile,
     .name = "MicroBreakFile",
     .kind = K::kText,
     .text = TextOf<&PD::micro_break_file>(),
     .rule = R::kNotWritten,
     .caption = "File",
     .group = "Micro Breaks",
     .tooltip = kFileTooltip},
    {.id = SettingId::kDecimalHours,
     .name = "DecimalHours",
     .number = &PD::decimal_hours,
     .default_number = 0,
     .caption = "Decimal",
     .group = "Misc",
     .tooltip = "Shows hours as a decimal number instead of the number of minutes"},
    {.id = SettingId::kLongMeeting,
     .name = "LongMeeting",
     .number = &PD::long_meeting,
     .default_number = 1,
     .caption = "Long Meeting",
     .group = "Misc",
     .tooltip = "Counts time while hibernated or suspended as work when 'At Meeting' mode is "
                "active"},
    {.id = SettingId::kMaxBreakFile,
     .name = "MaxBreakFile",
     .kind = K::kText,
     .text = TextOf<&PD::max_break_file>(),
     .rule = R::kNotWritten,
     .caption = "File",
     .group = "Maximum Break",
     .tooltip = kFileTooltip},
}};
#pragma GCC diagnostic pop

constexpr bool InIdOrder() {
  for (std::size_t i = 0; i < kTable.size(); ++i) {
    if (static_cast<std::size_t>(kTable[i].id) != i) return false;
  }
  return true;
}
static_assert(InIdOrder(), "the table lists each setting at the index of its id");

bool IsAllDigits(std::string_view text) {
  return !text.empty() && text.size() <= 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Decimal digits that fit in 32 bits, or nothing.
std::optional<std::uint32_t> ParseStoredNumber(std::string_view text) {
  if (!IsAllDigits(text)) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) value = value * 10 + static_cast<std::uint64_t>(c - '0');
  if (value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> ParseChoice(const SettingInfo& info, std::string_view text) {
  const auto entry = std::find(info.list.begin(), info.list.end(), text);
  if (entry != info.list.end()) return static_cast<std::uint32_t>(entry - info.list.begin());
  const auto index = ParseStoredNumber(text);
  if (index && *index < info.list.size()) return index;
  return std::nullopt;
}

// The default SetDefaultSettings writes; ResetMode's follows the obsolete
// reset word of the block.
std::uint32_t DefaultNumber(const SettingInfo& info, const ProgramData& data) {
  if (info.rule == DefaultRule::kFromOldReset) {
    return Stored(IsOn(data.old_reset_flag) ? ResetMode::kAutoReset : ResetMode::kManualReset);
  }
  return info.default_number;
}

void ApplyNumberDefaults(ProgramData& data, DefaultRule rule) {
  for (const SettingInfo& info : kTable) {
    if (info.rule == rule && info.number != nullptr) data.*info.number = DefaultNumber(info, data);
  }
}

void ApplyTextDefaults(ProgramData& data) {
  for (const SettingInfo& info : kTable) {
    if (info.rule == DefaultRule::kDefaults && info.kind == SettingKind::kText) {
      SetFieldText(info.text.field(data), info.default_text);
    }
  }
}

void ClearRunningState(ProgramData& data, Clock& clock) {
  data.work_today_ms = 0;
  data.break_today_ms = 0;
  data.away_today_ms = 0;
  data.work_yesterday_ms = 0;
  data.break_yesterday_ms = 0;
  data.away_yesterday_ms = 0;
  data.away_total = 0;
  data.break_total = 0;
  data.total_days = 0;
  data.suspended_today_ms = 0;
  data.suspended_yesterday_ms = 0;
  data.suspended_total = 0;
  data.current_work_type = 0;
  data.today_text[0] = '\0';
  data.day_of_month = kNoDayOpen;
  data.last_close_stamp = MidnightCloseStamp(clock.FileTimeHigh(), clock.Now());
  data.window_placement.length = sizeof(WindowPlacement);
  data.window_placement.min_position_x = kPlacementNeverSaved;
}

}  // namespace

std::span<const SettingInfo> SettingsTable() {
  return kTable;
}

const SettingInfo& Setting(SettingId id) {
  return kTable[static_cast<std::size_t>(id)];
}

const SettingInfo* FindSetting(std::string_view name) {
  const auto found = std::find_if(kTable.begin(), kTable.end(),
                                  [&](const SettingInfo& info) { return info.name == name; });
  return found == kTable.end() ? nullptr : &*found;
}

std::uint32_t SettingNumber(const SettingInfo& info, const ProgramData& data) {
  return info.number == nullptr ? 0 : data.*info.number;
}

std::string SettingText(const SettingInfo& info, const ProgramData& data) {
  return info.kind == SettingKind::kText ? FieldText(info.text.const_field(data)) : std::string();
}

std::string SettingValueText(const SettingInfo& info, const ProgramData& data) {
  if (info.kind == SettingKind::kText) return SettingText(info, data);
  return std::to_string(SettingNumber(info, data));
}

Status SetSettingFromText(const SettingInfo& info, ProgramData& data, std::string_view value) {
  if (info.kind == SettingKind::kText) {
    SetFieldText(info.text.field(data), value);
    return Status::Ok();
  }
  std::optional<std::uint32_t> number;
  if (info.kind == SettingKind::kChoice) {
    number = ParseChoice(info, value);
  } else {
    number = ParseStoredNumber(value);
    if (info.kind == SettingKind::kSwitch && number && *number > 1) number.reset();
  }
  if (!number) {
    // Appended piece by piece: GCC 12 at -O3 takes `"literal" + std::string`
    // for an overlapping copy (a false -Wrestrict).
    std::string message = "\"";
    message += value;
    message += "\" is not a value of ";
    message += info.name;
    return Status::InvalidArgument(message);
  }
  data.*info.number = *number;
  return Status::Ok();
}

std::uint32_t ApplyOptionsLimits(const SettingInfo& info, std::uint32_t value) {
  return std::clamp(value, info.options_minimum, info.options_maximum);
}

bool SettingInRange(const SettingInfo& info, const ProgramData& data) {
  if (info.number == nullptr) return true;
  const std::uint32_t value = data.*info.number;
  switch (info.kind) {
    case SettingKind::kSwitch:
      return value <= 1;
    case SettingKind::kChoice:
      return value < info.list.size();
    case SettingKind::kMilliseconds:
    case SettingKind::kSeconds:
    case SettingKind::kOpacity:
      return value >= info.options_minimum && value <= info.options_maximum;
    case SettingKind::kText:
      return true;
  }
  return true;
}

std::vector<const SettingInfo*> ResetOutOfRangeSettings(ProgramData& data) {
  std::vector<const SettingInfo*> reset;
  for (const SettingInfo& info : kTable) {
    if (SettingInRange(info, data)) continue;
    data.*info.number = DefaultNumber(info, data);
    reset.push_back(&info);
  }
  return reset;
}

bool ShowsReminderWindow(ReminderAction action) {
  switch (action) {
    case ReminderAction::kNotificationWindow:
    case ReminderAction::kWindowAndBeep:
    case ReminderAction::kWindowAndSoundFile:
    case ReminderAction::kWindowAndRandomSound:
    case ReminderAction::kWindowAndFile:
      return true;
    case ReminderAction::kSystemBeep:
    case ReminderAction::kRandomSound:
    case ReminderAction::kSoundFile:
    case ReminderAction::kFile:
      return false;
  }
  return false;
}

bool UsesReminderFile(ReminderAction action) {
  switch (action) {
    case ReminderAction::kWindowAndSoundFile:
    case ReminderAction::kWindowAndRandomSound:
    case ReminderAction::kRandomSound:
    case ReminderAction::kSoundFile:
    case ReminderAction::kWindowAndFile:
    case ReminderAction::kFile:
      return true;
    case ReminderAction::kNotificationWindow:
    case ReminderAction::kWindowAndBeep:
    case ReminderAction::kSystemBeep:
      return false;
  }
  return false;
}

std::string_view SettingLabel(const SettingInfo& info) {
  return info.caption.empty() ? info.name : info.caption;
}

std::uint32_t MinutesShown(std::uint32_t milliseconds) {
  return milliseconds / kMsPerMinute;
}

std::uint32_t MinutesToMs(std::uint32_t minutes) {
  return std::min(minutes, kMaxWholeMinutes) * kMsPerMinute;
}

std::uint32_t TransparencyPercentShown(std::uint32_t window_alpha) {
  return 100U - std::min<std::uint32_t>(window_alpha, 255U) * 100U / 255U;
}

std::uint32_t WindowAlphaFromPercent(std::uint32_t percent) {
  if (percent == 0) return 255;
  if (percent >= 100) return 5;
  return (101U - percent) * 255U / 100U;
}

std::uint32_t MidnightCloseStamp(std::uint32_t file_time_high, const LocalTime& now) {
  constexpr std::uint64_t kFileTimeUnitsPerSecond = 10'000'000;
  constexpr int kStampShift = 32;
  constexpr std::uint64_t kSecondsPerDay = 86'400;
  const std::int64_t seconds = (std::int64_t{now.hour} * 60 + now.minute) * 60 + now.second;
  const std::uint64_t elapsed =
      std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max<std::int64_t>(seconds, 0)),
                              kSecondsPerDay) *
      kFileTimeUnitsPerSecond;
  return file_time_high - static_cast<std::uint32_t>(elapsed >> kStampShift);
}

void SetNewerDefaults(ProgramData& data) {
  ApplyNumberDefaults(data, DefaultRule::kNewerDefaults);
}

void SetDefaultSettings(ProgramData& data, Clock& clock, const DayCheck& day_check) {
  ApplyNumberDefaults(data, DefaultRule::kDefaults);
  ApplyTextDefaults(data);
  ApplyNumberDefaults(data, DefaultRule::kFromOldReset);
  ClearRunningState(data, clock);
  SetNewerDefaults(data);
  if (day_check) day_check(data);
}

}  // namespace tolvi
