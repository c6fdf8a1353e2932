// Script commands of the activity engine: the virtual clock and user, the
// program's start and stop, running time, the main window's commands, the
// answers to questions, and set/show of the state.
#include <cstdio>
#include <string>

#include "command_table.h"
#include "engine/day_check.h"
#include "engine/tray_tip.h"
#include "platform/calendar.h"
#include "state_fields.h"
#include "text/text.h"

namespace tolvi::sim {
namespace {

std::string Usage(std::string_view usage) {
  return "usage: " + std::string(usage);
}

std::string ClockCommand(Simulation& sim, const Arguments& args) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  char tail = 0;
  const std::string text(args.rest);
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                  &second, &tail) != 6 ||
      year < 1970 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 ||
      minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0) {
    return Usage("clock YYYY-MM-DD HH:MM:SS");
  }
  const LocalTime check = CivilTime(UnixMs(year, month, day, 0, 0, 0));
  if (check.day != day) return "no such date: " + text;
  sim.clock().SetWallTime(UnixMs(year, month, day, hour, minute, second));
  sim.WallClockChanged();
  return {};
}

std::string DurationCommand(const Arguments& args, std::string_view usage,
                            const std::function<std::string(std::uint64_t)>& act) {
  if (args.words.size() != 1) return Usage(usage);
  const std::optional<std::uint64_t> duration = ParseDuration(args.words[0]);
  if (!duration) return "bad duration '" + std::string(args.words[0]) + "'";
  return act(*duration);
}

std::string CommandCommand(Simulation& sim, const Arguments& args) {
  if (args.words.empty() || args.words.size() > 2) return Usage("command ID [VALUE]");
  const auto id = ParseInteger(args.words[0]);
  if (!id || *id < 0 || *id > 0xFFFF) return "bad command id '" + std::string(args.words[0]) + "'";
  std::optional<std::int32_t> value;
  if (args.words.size() == 2) {
    const auto number = ParseInteger(args.words[1]);
    if (!number || *number < INT32_MIN || *number > INT32_MAX) {
      return "bad value '" + std::string(args.words[1]) + "'";
    }
    value = static_cast<std::int32_t>(*number);
  }
  return sim.Command(static_cast<std::uint32_t>(*id), value);
}

std::string TrayCommand(Simulation& sim, const Arguments& args) {
  if (args.words.size() != 1) return Usage("tray left|absent|present");
  if (args.words[0] == "left") return sim.TrayLeftClick();
  if (args.words[0] == "absent") {
    sim.ui().SetTrayAvailable(false);
    return {};
  }
  if (args.words[0] == "present") {
    sim.ui().SetTrayAvailable(true);
    return {};
  }
  return Usage("tray left|absent|present");
}

std::string AnswerCommand(Simulation& sim, const Arguments& args) {
  if (args.words.size() != 1 || (args.words[0] != "1" && args.words[0] != "2")) {
    return Usage("answer 1|2");
  }
  sim.ui().QueueAnswer(args.words[0] == "1" ? 1 : 2);
  return {};
}

std::string DialogCommand(Simulation& sim, const Arguments& args) {
  if (args.words.empty() || args.words.size() > 2) return Usage("dialog DURATION [VALUE]");
  const std::optional<std::uint64_t> duration = ParseDuration(args.words[0]);
  if (!duration) return "bad duration '" + std::string(args.words[0]) + "'";
  std::optional<std::int32_t> value;
  if (args.words.size() == 2) {
    const auto number = ParseInteger(args.words[1]);
    if (!number || *number < INT32_MIN || *number > INT32_MAX) {
      return "bad value '" + std::string(args.words[1]) + "'";
    }
    value = static_cast<std::int32_t>(*number);
  }
  sim.PlanDialog(*duration, value);
  return {};
}

std::string TickCountCommand(Simulation& sim, const Arguments& args) {
  if (args.words.size() != 1) return Usage("tickcount VALUE");
  const auto value = ParseInteger(args.words[0]);
  if (!value || *value < 0 || *value > UINT32_MAX) return "bad tick count";
  sim.clock().SetTickCount(static_cast<std::uint32_t>(*value));
  return {};
}

std::string SetCommand(Simulation& sim, const Arguments& args) {
  if (args.words.empty()) return Usage("set NAME VALUE");
  // Before the start the loader would overwrite whatever was set.
  if (sim.phase() == Simulation::Phase::kNotStarted) return "set works on a started program";
  const std::string_view name = args.words[0];
  std::string_view value = args.rest.substr(name.size());
  const auto start = value.find_first_not_of(" \t");
  value = start == std::string_view::npos ? std::string_view() : value.substr(start);
  std::lock_guard lock(sim.context().state.mutex);
  return SetField(sim.context().state, name, value);
}

void ShowRecords(Simulation& sim) {
  const RecordDatabase& records = sim.context().records;
  for (const std::int32_t slot : records.LiveRecords()) {
    std::string line = std::to_string(slot);
    for (std::uint32_t field = 1; field <= records.field_count(); ++field) {
      line += "|";
      if (const auto number = records.ReadNumber(slot, field)) {
        line += std::to_string(*number);
      } else {
        line += records.ReadText(slot, field).value_or(std::string());
      }
    }
    sim.ui().Note(line);
  }
}

void ShowRecent(Simulation& sim) {
  std::lock_guard lock(sim.context().state.mutex);
  const RecentWorkTable& recent = sim.context().state.recent;
  for (std::size_t i = 0; i < recent.size(); ++i) {
    const RecentWorkEntry& entry = recent[i];
    if (entry.record_id == -1) continue;
    sim.ui().Note(std::to_string(i) + "|" + std::to_string(entry.record_id) + "|" +
                  std::to_string(entry.today_ms) + "|" + std::to_string(entry.total) + "|" +
                  std::to_string(entry.yesterday_ms) + "|" + std::to_string(entry.maximum_ms) +
                  "|" + entry.name);
  }
}

std::string ShowCommand(Simulation& sim, const Arguments& args) {
  if (args.words.size() != 1) return Usage("show NAME|records|recent|tooltip");
  const std::string_view what = args.words[0];
  if (what == "records") {
    ShowRecords(sim);
    return {};
  }
  if (what == "recent") {
    ShowRecent(sim);
    return {};
  }
  if (what == "tooltip") {
    std::lock_guard lock(sim.context().state.mutex);
    const SharedState& state = sim.context().state;
    sim.ui().Note("tooltip=" + TrayTooltip(state.data, state.activity));
    return {};
  }
  if (what == "TickCount") {
    sim.ui().Note("TickCount=" + std::to_string(sim.clock().TickCount()));
    return {};
  }
  if (what == "Repaints") {
    sim.ui().Note("Repaints=" + std::to_string(sim.ui().repaint_count()));
    return {};
  }
  std::optional<std::string> value;
  {
    std::lock_guard lock(sim.context().state.mutex);
    value = ShowField(sim.context().state, what);
  }
  if (!value) return "unknown field " + std::string(what);
  sim.ui().Note(std::string(what) + "=" + *value);
  return {};
}

std::string NoArguments(const Arguments& args, std::string_view name,
                        const std::function<std::string()>& act) {
  if (!args.words.empty()) return Usage(name);
  return act();
}

}  // namespace

void RegisterEngineCommands(CommandTable& table) {
  table.Add({"clock", "clock YYYY-MM-DD HH:MM:SS", ClockCommand});
  table.Add({"tickcount", "tickcount VALUE", TickCountCommand});
  table.Add({"start", "start", [](Simulation& sim, const Arguments& args) {
               return NoArguments(args, "start", [&] { return sim.Start(); });
             }});
  table.Add({"stop", "stop", [](Simulation& sim, const Arguments& args) {
               return NoArguments(args, "stop", [&] { return sim.Stop(); });
             }});
  table.Add({"active", "active", [](Simulation& sim, const Arguments& args) {
               return NoArguments(args, "active", [&] {
                 sim.clock().SetActive();
                 return std::string();
               });
             }});
  table.Add({"inactive", "inactive", [](Simulation& sim, const Arguments& args) {
               return NoArguments(args, "inactive", [&] {
                 sim.clock().SetInactive();
                 return std::string();
               });
             }});
  table.Add({"idle", "idle DURATION", [](Simulation& sim, const Arguments& args) {
               return DurationCommand(args, "idle DURATION", [&](std::uint64_t ms) {
                 if (ms > UINT32_MAX) return std::string("idle time too long");
                 sim.clock().SetIdleFor(static_cast<std::uint32_t>(ms));
                 return std::string();
               });
             }});
  table.Add({"run", "run DURATION", [](Simulation& sim, const Arguments& args) {
               return DurationCommand(args, "run DURATION",
                                      [&](std::uint64_t ms) { return sim.Run(ms); });
             }});
  table.Add({"sleep", "sleep DURATION", [](Simulation& sim, const Arguments& args) {
               return DurationCommand(args, "sleep DURATION",
                                      [&](std::uint64_t ms) { return sim.Sleep(ms); });
             }});
  table.Add({"command", "command ID [VALUE]", CommandCommand});
  table.Add({"tray", "tray left|absent|present", TrayCommand});
  table.Add({"answer", "answer 1|2", AnswerCommand});
  table.Add({"dialog", "dialog DURATION [VALUE]", DialogCommand});
  table.Add({"set", "set NAME VALUE", SetCommand});
  table.Add({"show", "show NAME|records|recent|tooltip", ShowCommand});
}

}  // namespace tolvi::sim
