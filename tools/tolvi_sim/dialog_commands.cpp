// Script commands of the dialogs: "options" opens the Options dialog's model
// and sets its controls and presses its buttons; "work" drives the
// work-type dialogs that command 2018 opens once "work script" is on (until
// then 2018 keeps the runner's plain timed dialog of "dialog DURATION").
// Everything the models do to the settings, the records and the work log
// happens for real; pickers take queued paths, the log-on entry is only
// noted. docs/tolvi-sim-dialogs.md describes the commands.
#include <algorithm>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "command_table.h"
#include "dialogs/options_model.h"
#include "dialogs/work_details_model.h"
#include "engine/requests.h"
#include "sim_window.h"
#include "state/command_ids.h"

namespace tolvi::sim {
namespace {

struct DialogSession {
  OptionsOpenFlag options_open;
  std::optional<OptionsModel> options;
  std::deque<std::optional<std::string>> picks;
  bool scripted_work_dialogs = false;
  std::optional<WorkDetailsModel> details;
  std::optional<SelectWorkModel> select;
};
using Session = std::shared_ptr<DialogSession>;

std::string Usage(std::string_view usage) {
  return "usage: " + std::string(usage);
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The text after the first n words of the line.
std::string_view AfterWords(const Arguments& args, std::size_t n) {
  if (args.words.size() <= n) return {};
  const std::string_view last = args.words[n - 1];
  const std::size_t end = static_cast<std::size_t>(last.data() + last.size() - args.rest.data());
  return Trim(args.rest.substr(end));
}

// Appended, not `"literal" + std::string`: GCC 12 at -O3 reports a false
// -Wrestrict on that.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  quoted += EscapeLine(text);
  quoted += '"';
  return quoted;
}

// ---- options ------------------------------------------------------------------

OptionsServices SimOptionsServices(Simulation& sim, const Session& session) {
  OptionsServices services;
  // The model that holds these services lives inside the session, so a plain
  // pointer is valid whenever they run; a shared_ptr here would keep the
  // session alive forever.
  DialogSession* const state = session.get();
  services.choose_path = [&sim, state](PathPicker picker, const std::string& start) {
    static constexpr const char* kPickers[] = {"folder", "audio file", "any file"};
    sim.ui().Note("picker " + std::string(kPickers[static_cast<int>(picker)]) + " from " +
                  Quoted(start));
    if (state->picks.empty()) return std::optional<std::string>();
    std::optional<std::string> chosen = state->picks.front();
    state->picks.pop_front();
    return chosen;
  };
  services.set_autostart = [&sim](bool on) {
    sim.ui().Note(on ? "autostart on" : "autostart off");
  };
  return services;
}

std::string DescribeControl(const OptionsControlInfo& info, const OptionsControlState& state) {
  std::string line = "option " + std::to_string(info.id);
  if (!info.caption.empty()) {
    line += ' ';
    line += Quoted(std::string(info.caption));
  }
  switch (info.kind) {
    case OptionsControlKind::kCheckBox:
      line += state.checked ? " checked" : " unchecked";
      break;
    case OptionsControlKind::kSlider:
      line += " position=" + std::to_string(state.position);
      break;
    case OptionsControlKind::kList:
      line += " selection=" + std::to_string(state.selection);
      if (state.selection >= 0) {
        line += ' ';
        line += Quoted(state.entries[static_cast<std::size_t>(state.selection)]);
      }
      break;
    case OptionsControlKind::kNumberBox:
    case OptionsControlKind::kEditableList:
    case OptionsControlKind::kEdit:
    case OptionsControlKind::kText:
      line += " text=" + Quoted(state.text);
      break;
    case OptionsControlKind::kButton:
      break;
  }
  if (!state.enabled) line += " disabled";
  return line;
}

std::optional<std::uint32_t> ControlId(std::string_view word) {
  const auto id = ParseInteger(word);
  if (!id || *id < 0 || FindOptionsControl(static_cast<std::uint32_t>(*id)) == nullptr) {
    return std::nullopt;
  }
  return static_cast<std::uint32_t>(*id);
}

std::string SetControl(OptionsModel& model, const OptionsControlInfo& info,
                       std::string_view value) {
  const OptionsControlState& state = model.Control(info.id);
  switch (info.kind) {
    case OptionsControlKind::kCheckBox:
      if (value != "0" && value != "1") return "a check box takes 0 or 1";
      model.SetChecked(info.id, value == "1");
      break;
    case OptionsControlKind::kSlider: {
      const auto position = ParseInteger(value);
      if (!position || *position < 0) return "bad slider position '" + std::string(value) + "'";
      model.MoveSlider(static_cast<std::uint32_t>(std::min<std::int64_t>(*position, 120)));
      break;
    }
    case OptionsControlKind::kList: {
      std::optional<std::int64_t> index = ParseInteger(value);
      for (std::size_t i = 0; !index && i < state.entries.size(); ++i) {
        if (state.entries[i] == value) index = static_cast<std::int64_t>(i);
      }
      if (!index || *index < 0 || static_cast<std::size_t>(*index) >= state.entries.size()) {
        return "no entry '" + std::string(value) + "'";
      }
      model.Select(info.id, static_cast<std::int32_t>(*index));
      break;
    }
    case OptionsControlKind::kNumberBox:
    case OptionsControlKind::kEditableList:
    case OptionsControlKind::kEdit:
      model.SetText(info.id, std::string(value));
      break;
    case OptionsControlKind::kButton:
    case OptionsControlKind::kText:
      return "control " + std::to_string(info.id) + " takes no value";
  }
  return {};
}

std::string OptionsCommand(Simulation& sim, const Arguments& args, const Session& session) {
  constexpr std::string_view kUsage =
      "options open|show [ID]|set ID VALUE|press ID|pick PATH|pick cancel";
  if (args.words.empty()) return Usage(kUsage);
  const std::string_view verb = args.words[0];
  if (verb == "pick") {
    const std::string_view path = AfterWords(args, 1);
    if (path.empty()) return Usage("options pick PATH|cancel");
    session->picks.push_back(path == "cancel" ? std::nullopt
                                              : std::optional<std::string>(std::string(path)));
    return {};
  }
  if (verb == "open") {
    if (sim.phase() != Simulation::Phase::kRunning) return "the program is not running";
    if (session->options_open.IsOpen()) {
      sim.ui().Note("options already open");
      return {};
    }
    session->options.reset();
    session->options.emplace(sim.context(), SimOptionsServices(sim, session),
                             std::vector<std::string>{}, session->options_open);
    sim.ui().Note("dialog 1021");
    return {};
  }
  if (!session->options || session->options->closed()) return "the Options dialog is not open";
  OptionsModel& model = *session->options;
  if (verb == "show") {
    if (args.words.size() > 2) return Usage("options show [ID]");
    for (const OptionsControlInfo& info : OptionsControls()) {
      if (args.words.size() == 2 && std::to_string(info.id) != args.words[1]) continue;
      sim.ui().Note(DescribeControl(info, model.Control(info.id)));
    }
    return {};
  }
  if (args.words.size() < 2) return Usage(kUsage);
  const std::optional<std::uint32_t> id = ControlId(args.words[1]);
  if (!id) return "no control '" + std::string(args.words[1]) + "'";
  const OptionsControlInfo& info = *FindOptionsControl(*id);
  if (!model.Control(*id).enabled) sim.ui().Note("control " + std::to_string(*id) + " is disabled");
  if (verb == "set") return SetControl(model, info, AfterWords(args, 2));
  if (verb == "press") {
    if (info.kind != OptionsControlKind::kButton)
      return "control " + std::to_string(*id) + " is no button";
    model.Press(*id);
    if (model.closed()) sim.ui().Note("dialog closed");
    return {};
  }
  return Usage(kUsage);
}

// ---- work-type dialogs -------------------------------------------------------

void ShowWorkDetails(Simulation& sim, const WorkDetailsModel& model) {
  const WorkDetailsView& view = model.view();
  std::string names;
  for (const std::string& name : view.names) names += (names.empty() ? "" : ", ") + name;
  sim.ui().Note("work names=[" + names + "] shown=" + std::to_string(view.shown) +
                " record=" + std::to_string(model.shown_record()));
  if (!model.has_record()) {
    sim.ui().Note("work form empty");
    return;
  }
  std::string days;
  for (const std::string& day : view.days) days += (days.empty() ? "" : " ") + day;
  std::string labels;
  for (const std::string& label : view.day_labels) labels += (labels.empty() ? "" : " ") + label;
  sim.ui().Note("work name=" + Quoted(view.name) + " max=" + view.maximum +
                " notes=" + Quoted(view.notes));
  sim.ui().Note("work days=" + days + " labels=" + labels);
  sim.ui().Note("work total=" + view.total + " average=" + view.average + " share=" + view.share);
}

void OpenScriptedDialog(Simulation& sim, const Session& session) {
  const std::optional<WorkTypeDialog> which = BeginWorkTypeDialog(sim.context());
  if (!which) return;
  std::int32_t mode = 0;
  {
    std::lock_guard lock(sim.context().state.mutex);
    mode = sim.context().state.activity.request_value;
  }
  if (*which == WorkTypeDialog::kWorkDetails) {
    sim.ui().Note("dialog 1022");
    session->details.emplace(sim.context(), mode);
  } else {
    sim.ui().Note("dialog 1045");
    session->select.emplace(sim.context());
  }
}

void CloseIfDone(Simulation& sim, const Session& session) {
  WorkTypeDialog which = WorkTypeDialog::kWorkDetails;
  if (session->details && session->details->closed()) {
    session->details.reset();
  } else if (session->select && session->select->closed()) {
    session->select.reset();
    which = WorkTypeDialog::kSelectWork;
  } else {
    return;
  }
  sim.ui().Note("dialog closed");
  EndWorkTypeDialog(sim.context(), which);
}

std::string PressWorkDetails(WorkDetailsModel& model, std::string_view button) {
  if (button == "next") {
    model.Next();
  } else if (button == "prev") {
    model.Previous();
  } else if (button == "delete") {
    model.Delete();
  } else if (button == "copy") {
    model.Copy();
  } else if (button == "new") {
    model.New();
  } else if (button == "select") {
    model.Select();
  } else if (button == "ok") {
    model.Ok();
  } else if (button == "cancel") {
    model.Cancel();
  } else {
    return "no button '" + std::string(button) + "'";
  }
  return {};
}

std::string WorkCommand(Simulation& sim, const Arguments& args, const Session& session) {
  constexpr std::string_view kUsage =
      "work script on|off | show | name TEXT | max TEXT | notes TEXT | pick N | press BUTTON";
  if (args.words.empty()) return Usage(kUsage);
  const std::string_view verb = args.words[0];
  if (verb == "script") {
    if (args.words.size() != 2 || (args.words[1] != "on" && args.words[1] != "off")) {
      return Usage("work script on|off");
    }
    session->scripted_work_dialogs = args.words[1] == "on";
    if (session->scripted_work_dialogs) {
      sim.SetCommandHandler(command::kWorkTypeDialog,
                            [session](Simulation& s, std::optional<std::int32_t>) {
                              OpenScriptedDialog(s, session);
                            });
    }
    return {};
  }
  if (!session->details && !session->select) return "no work-type dialog is open";
  std::string error;
  if (verb == "show") {
    if (session->details) {
      ShowWorkDetails(sim, *session->details);
    } else {
      std::string names;
      for (const std::string& name : session->select->names()) {
        names += (names.empty() ? "" : ", ") + name;
      }
      sim.ui().Note("select names=[" + names +
                    "] selection=" + std::to_string(session->select->selection()));
    }
  } else if (verb == "pick") {
    const auto position = args.words.size() == 2 ? ParseInteger(args.words[1]) : std::nullopt;
    if (!position || *position < INT32_MIN || *position > INT32_MAX) return Usage("work pick N");
    const auto index = static_cast<std::int32_t>(*position);
    if (session->details) {
      session->details->SelectEntry(index);
    } else {
      session->select->SelectEntry(index);
    }
  } else if (verb == "press") {
    if (args.words.size() != 2) return Usage("work press BUTTON");
    if (session->details) {
      error = PressWorkDetails(*session->details, args.words[1]);
    } else if (args.words[1] == "ok") {
      session->select->Ok();
    } else if (args.words[1] == "cancel") {
      session->select->Cancel();
    } else {
      error = "Select Work has only ok and cancel";
    }
  } else if (session->details && (verb == "name" || verb == "max" || verb == "notes")) {
    std::string text(AfterWords(args, 1));
    if (verb == "name") session->details->SetName(std::move(text));
    if (verb == "max") session->details->SetMaximum(std::move(text));
    if (verb == "notes") session->details->SetNotes(std::move(text));
  } else {
    return Usage(kUsage);
  }
  CloseIfDone(sim, session);
  return error;
}

}  // namespace

void RegisterDialogCommands(CommandTable& table) {
  const Session session = std::make_shared<DialogSession>();
  table.Add({"options", "options open|show [ID]|set ID VALUE|press ID|pick PATH|pick cancel",
             [session](Simulation& sim, const Arguments& args) {
               return OptionsCommand(sim, args, session);
             }});
  table.Add({"work",
             "work script on|off | show | name TEXT | max TEXT | notes TEXT | pick N | press "
             "BUTTON",
             [session](Simulation& sim, const Arguments& args) {
               return WorkCommand(sim, args, session);
             }});
}

}  // namespace tolvi::sim
