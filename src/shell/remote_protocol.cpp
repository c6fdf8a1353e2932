#include "shell/remote_protocol.h"

#include <array>

#include "accounting/work_types.h"
#include "engine/requests.h"
#include "state/command_ids.h"

namespace tolvi {
namespace {

// A request's words and the values they stand for.
template <typename Value>
struct Word {
  Value value;
  std::string_view text;
};

constexpr std::array<Word<RemoteAction>, 9> kActionWords = {{
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

constexpr std::array<Word<StatusFormat>, 3> kFormatWords = {{
    {StatusFormat::kText, "text"},
    {StatusFormat::kJson, "json"},
    {StatusFormat::kWaybar, "waybar"},
}};

template <typename Value, std::size_t kCount>
std::string_view TextOf(const std::array<Word<Value>, kCount>& words, Value value) {
  for (const Word<Value>& word : words) {
    if (word.value == value) return word.text;
  }
  return {};
}

template <typename Value, std::size_t kCount>
std::optional<Value> ValueOf(const std::array<Word<Value>, kCount>& words, std::string_view text) {
  for (const Word<Value>& word : words) {
    if (word.text == text) return word.value;
  }
  return std::nullopt;
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
  std::string line(TextOf(kActionWords, request.action));
  if (HasStatusLine(request.action)) {
    line += ' ';
    line += TextOf(kFormatWords, request.format);
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
  const std::optional<RemoteAction> action = ValueOf(kActionWords, word);
  if (!action) return std::nullopt;
  RemoteRequest request;
  request.action = *action;
  if (*action == RemoteAction::kWorkType) {
    if (rest.empty()) return std::nullopt;
    request.work_type = std::string(rest);
    return request;
  }
  if (space == std::string_view::npos) return request;
  // Only the status lines take a word after the action.
  if (!HasStatusLine(*action)) return std::nullopt;
  const std::optional<StatusFormat> format = ValueOf(kFormatWords, rest);
  if (!format) return std::nullopt;
  request.format = *format;
  return request;
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
