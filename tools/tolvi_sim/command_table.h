// The script language of tolvi-sim: a table of commands, each a name, a
// usage line and a handler. The commands of one subsystem live in a file of
// their own with a Register...Commands function, and RegisterAllCommands
// (command_table.cpp) calls each of them.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulation.h"

namespace tolvi::sim {

// One script line after the command name: its words, and the raw text after
// the command name (for commands that take a text).
struct Arguments {
  std::vector<std::string_view> words;
  std::string_view rest;
};

// Runs the command; returns an error text, empty on success.
using ScriptHandler = std::function<std::string(Simulation&, const Arguments&)>;

struct ScriptCommand {
  std::string name;
  std::string usage;
  ScriptHandler handler;
};

class CommandTable {
 public:
  void Add(ScriptCommand command);
  const ScriptCommand* Find(std::string_view name) const;
  std::vector<const ScriptCommand*> All() const;

 private:
  std::map<std::string, ScriptCommand, std::less<>> commands_;
};

// Every command of the runner.
CommandTable StandardCommands();

// The commands of the activity engine (clock, start, run, command, show...).
void RegisterEngineCommands(CommandTable& table);
// The work log's (logtotals, show log, logfill, rename, upgrade-from-250).
void RegisterWorkLogCommands(CommandTable& table);
// The Options and work-type dialogs (options, work).
void RegisterDialogCommands(CommandTable& table);

// "6000ms", "90s", "30m", "2h", "3d", or a bare number of milliseconds.
std::optional<std::uint64_t> ParseDuration(std::string_view text);
std::optional<std::int64_t> ParseInteger(std::string_view text);

// Runs a whole script; returns the exit status (0, or 2 after an error,
// which is reported on `errors` with the script name and line number).
int RunScript(std::string_view script_name, std::string_view script, Simulation& sim,
              const CommandTable& table, std::ostream& errors);

}  // namespace tolvi::sim
