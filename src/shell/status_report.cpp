#include "shell/status_report.h"

#include <array>

#include "engine/tray_tip.h"
#include "settings/settings.h"
#include "text/json_text.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kMsPerSecond = 1000;

struct ModeWords {
  ActivityMode mode;
  std::string_view name;
  std::string_view css_class;
};

constexpr std::array<ModeWords, 4> kModeWords = {{
    {ActivityMode::kWorking, "Working", "working"},
    {ActivityMode::kOnBreak, "On Break", "on-break"},
    {ActivityMode::kAway, "Away", "away"},
    {ActivityMode::kAtMeeting, "At Meeting", "at-meeting"},
}};

const ModeWords& WordsFor(ActivityMode mode) {
  for (const ModeWords& words : kModeWords) {
    if (words.mode == mode) return words;
  }
  return kModeWords[1];
}

std::string JoinLines(std::string_view tooltip) {
  std::string text;
  for (std::size_t i = 0; i < tooltip.size(); ++i) {
    if (tooltip[i] == '\r' && i + 1 < tooltip.size() && tooltip[i + 1] == '\n') continue;
    text += tooltip[i];
  }
  return text;
}

std::string Number(std::uint32_t value) {
  return std::to_string(value);
}

std::string Number(const std::optional<std::uint32_t>& value) {
  return value ? std::to_string(*value) : std::string("null");
}

// Appends "name":value, with a comma before every field but the first.
class JsonObject {
 public:
  void Add(std::string_view name, std::string_view raw_value) {
    text_ += text_.size() == 1 ? "" : ",";
    text_ += JsonString(name);
    text_ += ':';
    text_ += raw_value;
  }
  std::string Close() { return text_ + "}"; }

 private:
  std::string text_ = "{";
};

}  // namespace

StatusReport MakeStatusReport(const ProgramData& data, const ActivityState& activity) {
  StatusReport report;
  report.mode = ModeOf(activity);
  report.counting_down = IsOn(data.reminder_enabled) && report.mode == ActivityMode::kWorking &&
                         activity.working_flag == WorkingFlag::kWorking;
  report.seconds_until_break = activity.break_countdown_ms / kMsPerSecond;
  if (MicroBreakModeOf(data) != MicroBreakMode::kNone) {
    report.micro_break_seconds = activity.micro_countdown_ms / kMsPerSecond;
  }
  report.work_today_seconds = data.work_today_ms / kMsPerSecond;
  report.break_today_seconds = data.break_today_ms / kMsPerSecond;
  report.away_today_seconds = data.away_today_ms / kMsPerSecond;
  report.work_type = FieldText(data.current_name);
  report.work_type_today_seconds = activity.current_today_ms / kMsPerSecond;
  if (TargetModeOf(data) != TargetMode::kNoTarget) {
    report.target_left_seconds = activity.target_remaining_ms / kMsPerSecond;
  }
  report.tooltip = JoinLines(TrayTooltip(data, activity));
  return report;
}

std::string_view ModeName(ActivityMode mode) {
  return WordsFor(mode).name;
}

std::optional<ActivityMode> ModeFromName(std::string_view name) {
  for (const ModeWords& words : kModeWords) {
    if (words.name == name) return words.mode;
  }
  return std::nullopt;
}

std::string StatusJson(const StatusReport& report) {
  JsonObject json;
  json.Add("mode", JsonString(ModeName(report.mode)));
  json.Add("counting_down", report.counting_down ? "true" : "false");
  json.Add("seconds_until_break", Number(report.seconds_until_break));
  json.Add("micro_break_seconds", Number(report.micro_break_seconds));
  json.Add("work_today_seconds", Number(report.work_today_seconds));
  json.Add("break_today_seconds", Number(report.break_today_seconds));
  json.Add("away_today_seconds", Number(report.away_today_seconds));
  json.Add("work_type", JsonString(report.work_type));
  json.Add("work_type_today_seconds", Number(report.work_type_today_seconds));
  json.Add("target_left_seconds", Number(report.target_left_seconds));
  json.Add("tooltip", JsonString(report.tooltip));
  return json.Close();
}

std::string WaybarJson(const StatusReport& report) {
  const ModeWords& words = WordsFor(report.mode);
  std::string text(words.name);
  if (report.counting_down) {
    text = Number(TooltipMinutes(report.seconds_until_break * kMsPerSecond)) + " min";
  }
  JsonObject json;
  json.Add("text", JsonString(text));
  json.Add("tooltip", JsonString(report.tooltip));
  json.Add("class", JsonString(words.css_class));
  json.Add("alt", JsonString(words.css_class));
  return json.Close();
}

std::string StatusLine(const StatusReport& report) {
  std::string line;
  for (const char c : report.tooltip) line += c == '\n' ? ' ' : c;
  return line;
}

std::string StatusText(const StatusReport& report, StatusFormat format) {
  switch (format) {
    case StatusFormat::kJson:
      return StatusJson(report);
    case StatusFormat::kWaybar:
      return WaybarJson(report);
    case StatusFormat::kText:
      break;
  }
  return StatusLine(report);
}

}  // namespace tolvi
