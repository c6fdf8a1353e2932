// The remote controls' line protocol, shared by the front ends: a client
// sends one request line and reads answer lines, each ended by "\n".
//
//   request:  status [text|json|waybar]    answer: "ok " and the status line
//             watch [text|json|waybar]     the same line at start, then one
//                                          more for every change that shows
//             working | break | away | meeting | reset-reminder | show
//                                          answer: "ok"
//             work-type NAME               "ok", or "error ..." when no work
//                                          type has that name
//   anything else is answered "error unknown request".
//
// Also the rule of which changes a follower is told about, and the tray-menu
// command behind each mode action, so every front end maps them the same.
//
// Pure functions, but for ChooseWorkTypeByName; any thread. The hooks run
// on the thread that answers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "shell/command_line.h"
#include "shell/status_report.h"
#include "state/core_context.h"

namespace tolvi {

struct RemoteRequest {
  RemoteAction action = RemoteAction::kStatus;
  StatusFormat format = StatusFormat::kText;
  std::string work_type;  // for kWorkType

  bool operator==(const RemoteRequest&) const = default;
};

// What a request does in the running copy: a tray-menu command by id, a
// work type chosen by name (false when no work type has that name), the
// main window shown.
struct RemoteHooks {
  std::function<void(std::uint32_t)> command;
  std::function<bool(const std::string&)> choose_work_type;
  std::function<void()> show_window;
};

inline constexpr std::string_view kAnswerOk = "ok";
inline constexpr std::string_view kAnswerError = "error";

// The request a command line makes; precondition: line.remote is set.
[[nodiscard]] RemoteRequest RequestFor(const CommandLine& line);
// The request's line, without its line end.
[[nodiscard]] std::string RequestLine(const RemoteRequest& request);
// A line without its end ("\r" before it is dropped); nullopt if unknown.
[[nodiscard]] std::optional<RemoteRequest> ParseRequest(std::string_view line);

// The tray-menu command of a mode action (working, break, away, meeting,
// reset-reminder); nullopt for the others.
[[nodiscard]] std::optional<std::uint32_t> MenuCommandFor(RemoteAction action);

// The answer line (without its end) to a request other than a watch's
// follow-up lines, carrying out its action through the hooks; report is the
// running copy's status now.
[[nodiscard]] std::string AnswerRequest(const std::optional<RemoteRequest>& request,
                                        const RemoteHooks& hooks, const StatusReport& report);

// The work-type hook of a shell: the work type of that name made current
// through the request hand-off, as the work-type dialog does; false when
// none has that name or the slot is held by a dialog. GUI thread;
// wait_step serves the GUI while the monitor takes the request.
[[nodiscard]] bool ChooseWorkTypeByName(CoreContext& context, const std::string& name,
                                        const std::function<void()>& wait_step);

// Whether a follower should hear of the change from before to after: any
// field but the counters that move at every pass (those go along with the
// next change that shows, such as a new minute in the tooltip).
[[nodiscard]] bool ShowsChange(const StatusReport& before, const StatusReport& after);

}  // namespace tolvi
