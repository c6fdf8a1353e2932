#include "shell/remote_protocol.h"

#include <array>

#include "accounting/work_types.h"
#include "engine/requests.h"
#include "state/command_ids.h"

namespace tolvi {
namespace {

struct ActionWord {
  RemoteAction action;
  std::string_view word;
};

constexpr std::array<ActionWord, 9> kActionWords = {{
    {RemoteAction::kStatus, "status"},
    {RemoteAction::kWatch, "watch"},
    {RemoteAction::kWorking, "working"},
    {RemoteAction::kOnBreak, "break"},
    {RemoteAction::kAway, "away"},
    {RemoteAction::kAtMeeting, "meeting"},
    {RemoteAction::kResetReminder, "reset-reminder"},
    {RemoteAction::kWorkType, "work-type"},
    {RemoteAction::kShowWindow, "show"},
}};

struct FormatWord {
  StatusFormat format;
  std::string_view word;
};

constexpr std::array<FormatWord, 3> kFormatWords = {{
    {StatusFormat::kText, "text"},
    {StatusFormat::kJson, "json"},
    {StatusFormat::kWaybar, "waybar"},
}};

std::string_view WordOf(RemoteAction action) {
  for (const ActionWord& entry : kActionWords) {
    if (entry.action == action) return entry.word;
  }
  return {};
}

std::string_view WordOf(StatusFormat format) {
  for (const FormatWord& entry : kFormatWords) {
    if (entry.format == format) return entry.word;
  }
  return {};
}

bool HasStatusLine(RemoteAction action) {
  return action == RemoteAction::kStatus || action == RemoteAction::kWatch;
}

std::string Error(std::string_view why) {
  std::string answer(kAnswerError);
  answer += ' ';
  answer += why;
  return answer;
}

}  // namespace

RemoteRequest RequestFor(const CommandLine& line) {
  RemoteRequest request;
  request.action = line.remote.value_or(RemoteAction::kStatus);
  if (HasStatusLine(request.action)) request.format = line.format;
  if (request.action == RemoteAction::kWorkType) request.work_type = line.work_type;
  return request;
}

std::string RequestLine(const RemoteRequest& request) {
  std::string line(WordOf(request.action));
  if (HasStatusLine(request.action)) {
    line += ' ';
    line += WordOf(request.format);
  } else if (request.action == RemoteAction::kWorkType) {
    line += ' ';
    line += request.work_type;
  }
  return line;
}

std::optional<RemoteRequest> ParseRequest(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  const std::size_t space = line.find(' ');
  const std::string_view word = line.substr(0, space);
  const std::string_view rest =
      space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
  for (const ActionWord& entry : kActionWords) {
    if (entry.word != word) continue;
    RemoteRequest request;
    request.action = entry.action;
    if (entry.action == RemoteAction::kWorkType) {
      if (rest.empty()) return std::nullopt;
      request.work_type = std::string(rest);
      return request;
    }
    if (!HasStatusLine(entry.action)) {
      if (space != std::string_view::npos) return std::nullopt;
      return request;
    }
    if (space == std::string_view::npos) return request;
    for (const FormatWord& format : kFormatWords) {
      if (format.word != rest) continue;
      request.format = format.format;
      return request;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

std::optional<std::uint32_t> MenuCommandFor(RemoteAction action) {
  switch (action) {
    case RemoteAction::kWorking:
      return command::kWorking;
    case RemoteAction::kOnBreak:
      return command::kOnBreak;
    case RemoteAction::kAway:
      return command::kAway;
    case RemoteAction::kAtMeeting:
      return command::kAtMeeting;
    case RemoteAction::kResetReminder:
      return command::kResetReminder;
    case RemoteAction::kStatus:
    case RemoteAction::kWatch:
    case RemoteAction::kWorkType:
    case RemoteAction::kShowWindow:
      break;
  }
  return std::nullopt;
}

std::string AnswerRequest(const std::optional<RemoteRequest>& request, const RemoteHooks& hooks,
                          const StatusReport& report) {
  if (!request) return Error("unknown request");
  if (HasStatusLine(request->action)) {
    return std::string(kAnswerOk) + ' ' + StatusText(report, request->format);
  }
  if (const std::optional<std::uint32_t> id = MenuCommandFor(request->action)) {
    if (hooks.command) hooks.command(*id);
  } else if (request->action == RemoteAction::kWorkType) {
    if (!hooks.choose_work_type || !hooks.choose_work_type(request->work_type)) {
      return Error("there is no work type named \"" + request->work_type + "\"");
    }
  } else if (request->action == RemoteAction::kShowWindow) {
    if (hooks.show_window) hooks.show_window();
  }
  return std::string(kAnswerOk);
}

bool ChooseWorkTypeByName(CoreContext& context, const std::string& name,
                          const std::function<void()>& wait_step) {
  const std::optional<std::int32_t> record_id = FindWorkTypeByName(context.records, name);
  return record_id && PostRequest(context, request::kChangeWorkType, *record_id, wait_step);
}

bool ShowsChange(const StatusReport& before, const StatusReport& after) {
  return before.mode != after.mode || before.counting_down != after.counting_down ||
         before.work_type != after.work_type || before.tooltip != after.tooltip;
}

}  // namespace tolvi
