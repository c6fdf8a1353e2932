// Settings: the user options stored inside ProgramData, described once in a
// table (name, field, unit, default, limits, choice list, Options control,
// tooltip). Defaults, the Options dialog, the scenario runner's "set" and
// "show" and the command-line listing all work from that table, so an option
// is added or changed in one place.
//
// Every function here works on a ProgramData the caller owns; callers that
// share it between threads hold the shared-state lock around the call. The
// table itself is immutable and may be read from any thread.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/status.h"
#include "storage/program_data.h"

namespace tolvi {

// ---- Choice values (the stored number is the list index) ------------------

enum class MaxBreakAction : std::uint32_t { kOff, kBeep, kSelectedSound, kRandomSound };
enum class AwayToggleMethod : std::uint32_t { kMonitorActivity, kManual };
enum class ReminderAction : std::uint32_t {
  kNotificationWindow,
  kWindowAndBeep,
  kWindowAndSoundFile,
  kWindowAndRandomSound,
  kSystemBeep,
  kRandomSound,
  kSoundFile,
  kWindowAndFile,
  kFile,
};
enum class ResetMode : std::uint32_t { kManualReset, kAutoReset, kAutoResetPlus };
enum class MicroBreakMode : std::uint32_t { kNone, kHalfTime, kQuarterTime };
enum class MicroBreakAction : std::uint32_t {
  kWindow,
  kSoundAndWindow,
  kSoundFileAndWindow,
  kRandomFileAndWindow,
};
enum class TargetMode : std::uint32_t {
  kNoTarget,
  kManual,
  kThreeDayAverage,
  kFiveDayAverage,
  kSevenDayAverage,
};

// ---- Typed reads of the stored choices ------------------------------------
// The block keeps every choice and switch as a u32; code reads them here so
// that it compares enums and bools, never stored numbers. A value outside
// its list (a damaged file) reads as an enumerator no case names.

inline bool IsOn(std::uint32_t stored_switch) {
  return stored_switch != 0;
}
inline std::uint32_t StoredSwitch(bool on) {
  return on ? 1U : 0U;
}
template <typename Choice>
constexpr std::uint32_t Stored(Choice choice) {
  return static_cast<std::uint32_t>(choice);
}

inline MaxBreakAction MaxBreakActionOf(const ProgramData& data) {
  return static_cast<MaxBreakAction>(data.max_break_action);
}
inline AwayToggleMethod AwayToggleMethodOf(const ProgramData& data) {
  return static_cast<AwayToggleMethod>(data.away_toggle_method);
}
inline ReminderAction ReminderActionOf(const ProgramData& data) {
  return static_cast<ReminderAction>(data.reminder_action);
}
inline ResetMode ResetModeOf(const ProgramData& data) {
  return static_cast<ResetMode>(data.reset_mode);
}
inline MicroBreakMode MicroBreakModeOf(const ProgramData& data) {
  return static_cast<MicroBreakMode>(data.micro_break_mode);
}
inline MicroBreakAction MicroBreakActionOf(const ProgramData& data) {
  return static_cast<MicroBreakAction>(data.micro_break_action);
}
inline TargetMode TargetModeOf(const ProgramData& data) {
  return static_cast<TargetMode>(data.target_mode);
}
// Activity is watched unless the user toggles Away by hand.
inline bool MonitorsActivity(const ProgramData& data) {
  return AwayToggleMethodOf(data) == AwayToggleMethod::kMonitorActivity;
}

// What a reminder action does besides the sound: the window (with its
// snooze) and whether it needs the file-or-folder setting.
bool ShowsReminderWindow(ReminderAction action);
bool UsesReminderFile(ReminderAction action);

// ---- Choice lists, in stored order ----------------------------------------

inline constexpr std::array<std::string_view, 4> kMaxBreakActions = {
    "Off", "Beep", "Selected Sound", "Random Sound"};
inline constexpr std::array<std::string_view, 2> kAwayToggleMethods = {"Monitor Activity",
                                                                       "Manual"};
// Offered for ManualTarget; the box takes the leading number of minutes.
inline constexpr std::array<std::string_view, 19> kManualTargets = {
    "60 Min",          "90 Min (1.5 hrs)",  "120 Min (2 hrs)",  "150 Min (2.5 hrs)",
    "180 Min (3 hrs)", "210 Min (3.5 hrs)", "240 Min (4 hrs)",  "270 Min (4.5 hrs)",
    "300 Min (5 hrs)", "330 Min (5.5 hrs)", "360 Min (6 hrs)",  "390 Min (6.5 hrs)",
    "420 Min (7 hrs)", "450 Min (7.5 hrs)", "480 Min (8 hrs)",  "510 Min (8.5 hrs)",
    "540 Min (9 hrs)", "570 Min (9.5 hrs)", "600 Min (10 hrs)",
};
inline constexpr std::array<std::string_view, 9> kReminderActions = {
    "Notification Window",
    "Window and System Beep",
    "Window and Sound File",
    "Window and Random Sound",
    "System Beep",
    "Random Sound",
    "Sound File",
    "Window and File",
    "File",
};
inline constexpr std::array<std::string_view, 3> kResetModes = {"Manual Reset", "Auto Reset",
                                                                "Auto Reset+"};
inline constexpr std::array<std::string_view, 3> kMicroBreakModes = {
    "No Micro Break", "Break at half-time", "Break at quarter-time"};
inline constexpr std::array<std::string_view, 4> kMicroBreakActions = {
    "Window", "Sound and Window", "Snd File and Window", "Rnd File and Window"};
inline constexpr std::array<std::string_view, 5> kTargetModes = {
    "No target", "Manual", "3 day average", "5 day average", "7 day average"};

// ---- The table ------------------------------------------------------------

enum class SettingKind {
  kSwitch,        // 0 or 1
  kMilliseconds,  // stored in ms, shown and edited in whole minutes
  kSeconds,       // MaxBreakSeconds
  kChoice,        // index into `list`
  kOpacity,       // WindowAlpha, shown as a transparency percentage
  kText,          // fixed zero-terminated field
};

// Which step of the defaults writes the setting.
enum class DefaultRule {
  kDefaults,       // SetDefaultSettings
  kNewerDefaults,  // SetNewerDefaults (and so SetDefaultSettings too)
  kFromOldReset,   // ResetMode: 1 when the obsolete reset word is set
  kNotWritten,     // left as it is (empty on a first run)
};

// Access to a fixed text field of ProgramData without casting into the block.
struct TextFieldAccess {
  std::span<char> (*field)(ProgramData&) = nullptr;
  std::span<const char> (*const_field)(const ProgramData&) = nullptr;
};

// Every setting, in the order of the table (and of the block).
enum class SettingId : std::uint8_t {
  kAutoStart,
  kBreakInterval,
  kReminderEnabled,
  kAutoShow,
  kMaxBreakAction,
  kShowReport,
  kAwayTime,
  kAwayToggleMethod,
  kMaxBreakSeconds,
  kFileLog,
  kManualTarget,
  kAutoBegin,
  kAutoCont,
  kReminderAction,
  kReminderFile,
  kResetMode,
  kConfirmQuit,
  kMicroBreakMode,
  kMicroBreakAction,
  kSnoozeTime,
  kRandomPhrase,
  kOnTopAlert,
  kLockScreen,
  kReminderText,
  kTransparent,
  kOnTop,
  kWindowAlpha,
  kTargetMode,
  kWorkNotes,
  kMicroBreakFile,
  kDecimalHours,
  kLongMeeting,
  kMaxBreakFile,
};
inline constexpr std::size_t kSettingCount = 33;

struct SettingInfo {
  SettingId id = SettingId::kAutoStart;
  std::string_view name;  // as the program's documents and scripts name it
  SettingKind kind = SettingKind::kSwitch;
  std::uint32_t ProgramData::*number = nullptr;  // every kind but kText
  TextFieldAccess text;                          // kText only
  DefaultRule rule = DefaultRule::kDefaults;
  std::uint32_t default_number = 0;
  std::string_view default_text;
  // What the Options dialog stores at most and at least (stored units).
  std::uint32_t options_minimum = 0;
  std::uint32_t options_maximum = UINT32_MAX;
  // kChoice: the entries, index = stored value. ManualTarget: the offered
  // entries of its editable list.
  std::span<const std::string_view> list;
  std::string_view caption;  // the control's own caption or label
  std::string_view group;    // the Options group it sits in
  std::string_view tooltip;
};

// Every setting, in the order of the block.
std::span<const SettingInfo> SettingsTable();
// The setting of an id; every id has one.
const SettingInfo& Setting(SettingId id);
// nullptr when no setting has that name (case-sensitive).
const SettingInfo* FindSetting(std::string_view name);

std::uint32_t SettingNumber(const SettingInfo& info, const ProgramData& data);
std::string SettingText(const SettingInfo& info, const ProgramData& data);

// The stored value as text: a number in its stored unit, or the text itself.
std::string SettingValueText(const SettingInfo& info, const ProgramData& data);
// Sets a value from text in the stored unit (ms for durations). A switch
// takes 0 or 1, a choice its index or its exact list text, a number decimal
// digits, a text anything (cut to its field at a character boundary).
// Nothing changes when the value is rejected.
Status SetSettingFromText(const SettingInfo& info, ProgramData& data, std::string_view value);
// A stored value limited as the Options dialog limits it.
std::uint32_t ApplyOptionsLimits(const SettingInfo& info, std::uint32_t value);

// Whether a numeric setting's stored value lies inside what its kind allows:
// 0 or 1 for a switch, an index of the list for a choice, and the Options
// limits for the others. Texts and settings without limits always do.
bool SettingInRange(const SettingInfo& info, const ProgramData& data);
// Puts every setting that is out of range back to its default (as
// SetDefaultSettings writes it) and returns them in table order. Counters
// and other state fields are not settings and are never touched.
std::vector<const SettingInfo*> ResetOutOfRangeSettings(ProgramData& data);
// How the user knows the setting: its control's caption, else its name.
std::string_view SettingLabel(const SettingInfo& info);

// ---- Conversions ----------------------------------------------------------

inline constexpr std::uint32_t kMsPerMinute = 60000;
std::uint32_t MinutesShown(std::uint32_t milliseconds);
// Saturates at the largest whole number of minutes that fits in 32 bits.
std::uint32_t MinutesToMs(std::uint32_t minutes);
std::uint32_t TransparencyPercentShown(std::uint32_t window_alpha);
// 0 gives 255 (opaque), 100 or more gives 5, else (101 - p) * 255 / 100.
std::uint32_t WindowAlphaFromPercent(std::uint32_t percent);

// ---- Defaults -------------------------------------------------------------

inline constexpr std::uint32_t kNoDayOpen = 99;
// The last-close stamp of a fresh data file: the most recent local midnight,
// so that the first day close counts only the days that really ended. Only
// the high word of now is known, so the stamp may fall up to one unit (about
// seven minutes) after midnight: an error toward fewer days, never more.
std::uint32_t MidnightCloseStamp(std::uint32_t file_time_high, const LocalTime& now);

// The day check that ends the defaults routine; it lives with the day
// rollover and is handed in by whoever applies the defaults.
using DayCheck = std::function<void(ProgramData&)>;

// AutoShow = 1, MaxBreakSeconds = 300, MaxBreakAction = 0.
void SetNewerDefaults(ProgramData& data);
// Every default of the table, the running-state defaults (day cleared, no
// day open, a fresh last-close stamp, placement never saved), then
// SetNewerDefaults and the day check (if one is given). Bytes it does not
// name keep what they held.
void SetDefaultSettings(ProgramData& data, Clock& clock, const DayCheck& day_check = {});

}  // namespace tolvi
