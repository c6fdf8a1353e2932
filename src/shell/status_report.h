// StatusReport: what the running program tells the outside about itself (the
// D-Bus properties, `tolvi --status`, status-bar lines), as one value made
// from the shared state, and its JSON texts.
//
// JSON format (one object on one line; fields added later never change the
// ones below):
//   mode                     "Working", "On Break", "Away" or "At Meeting"
//   counting_down            true while the break countdown runs
//   seconds_until_break      the break countdown, whole seconds
//   micro_break_seconds      the micro-break countdown, or null when off
//   work_today_seconds, break_today_seconds, away_today_seconds
//   work_type                the current work type's name
//   work_type_today_seconds  its work today
//   target_left_seconds      work left to the daily target, or null
//   tooltip                  the tray tooltip, lines joined by "\n"
// The status-bar variant has text, tooltip, class and alt.
//
// Pure functions and a value type; any thread (make the report under the
// shared-state lock or from a snapshot).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shell/command_line.h"
#include "state/activity_state.h"
#include "storage/program_data.h"

namespace tolvi {

struct StatusReport {
  ActivityMode mode = ActivityMode::kOnBreak;
  bool counting_down = false;
  std::uint32_t seconds_until_break = 0;
  std::optional<std::uint32_t> micro_break_seconds;
  std::uint32_t work_today_seconds = 0;
  std::uint32_t break_today_seconds = 0;
  std::uint32_t away_today_seconds = 0;
  std::string work_type;
  std::uint32_t work_type_today_seconds = 0;
  std::optional<std::uint32_t> target_left_seconds;
  std::string tooltip;  // line ends as "\n"

  bool operator==(const StatusReport&) const = default;
};

[[nodiscard]] StatusReport MakeStatusReport(const ProgramData& data, const ActivityState& activity);

// "Working", "On Break", "Away", "At Meeting".
[[nodiscard]] std::string_view ModeName(ActivityMode mode);
[[nodiscard]] std::optional<ActivityMode> ModeFromName(std::string_view name);

// The fields above, in that order, without a line end.
[[nodiscard]] std::string StatusJson(const StatusReport& report);
// For waybar's "return-type": "json": text (minutes to the break while
// counting down, else the mode), tooltip, class ("working", "on-break",
// "away", "at-meeting") and alt (the same as class).
[[nodiscard]] std::string WaybarJson(const StatusReport& report);
// The tooltip on one line: its line breaks become a single space.
[[nodiscard]] std::string StatusLine(const StatusReport& report);
// The line --status or --watch prints in that format, without a line end.
[[nodiscard]] std::string StatusText(const StatusReport& report, StatusFormat format);

}  // namespace tolvi
