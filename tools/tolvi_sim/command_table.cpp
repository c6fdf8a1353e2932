#include "command_table.h"

#include <charconv>
#include <ostream>

namespace tolvi::sim {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::vector<std::string_view> SplitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (at < text.size()) {
    const auto start = text.find_first_not_of(" \t", at);
    if (start == std::string_view::npos) break;
    auto end = text.find_first_of(" \t", start);
    if (end == std::string_view::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    at = end;
  }
  return words;
}

}  // namespace

void CommandTable::Add(ScriptCommand command) {
  std::string name = command.name;
  commands_.insert_or_assign(std::move(name), std::move(command));
}

const ScriptCommand* CommandTable::Find(std::string_view name) const {
  const auto found = commands_.find(name);
  return found == commands_.end() ? nullptr : &found->second;
}

std::vector<const ScriptCommand*> CommandTable::All() const {
  std::vector<const ScriptCommand*> all;
  for (const auto& [name, command] : commands_) all.push_back(&command);
  return all;
}

CommandTable StandardCommands() {
  CommandTable table;
  RegisterEngineCommands(table);
  RegisterWorkLogCommands(table);
  RegisterDialogCommands(table);
  // Later subsystems add their Register...Commands(table) calls here.
  return table;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::uint64_t> ParseDuration(std::string_view text) {
  struct Unit {
    std::string_view suffix;
    std::uint64_t ms;
  };
  // "ms" before "m" and "s", so that 6000ms is not read as minutes.
  constexpr Unit kUnits[] = {
      {"ms", 1}, {"s", 1'000}, {"m", 60'000}, {"h", 3'600'000}, {"d", 86'400'000}};
  std::uint64_t scale = 1;
  for (const Unit& unit : kUnits) {
    if (text.ends_with(unit.suffix)) {
      text.remove_suffix(unit.suffix.size());
      scale = unit.ms;
      break;
    }
  }
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  constexpr std::uint64_t kLimit = 100ULL * 365 * 86'400'000;  // a century is plenty
  if (value > kLimit / scale) return std::nullopt;
  return value * scale;
}

int RunScript(std::string_view script_name, std::string_view script, Simulation& sim,
              const CommandTable& table, std::ostream& errors) {
  std::size_t line_number = 0;
  std::size_t at = 0;
  while (at <= script.size()) {
    auto end = script.find('\n', at);
    if (end == std::string_view::npos) end = script.size();
    std::string_view line = script.substr(at, end - at);
    at = end + 1;
    ++line_number;
    if (const auto comment = line.find('#'); comment != std::string_view::npos) {
      line = line.substr(0, comment);
    }
    line = Trim(line);
    if (line.empty()) continue;
    const auto name_end = line.find_first_of(" \t");
    const std::string_view name = line.substr(0, name_end);
    Arguments arguments;
    arguments.rest =
        name_end == std::string_view::npos ? std::string_view() : Trim(line.substr(name_end));
    arguments.words = SplitWords(arguments.rest);
    std::string error;
    if (const ScriptCommand* command = table.Find(name)) {
      error = command->handler(sim, arguments);
    } else {
      error = "unknown command '" + std::string(name) + "'";
    }
    if (!error.empty()) {
      errors << script_name << ":" << line_number << ": " << error << '\n';
      return 2;
    }
  }
  return 0;
}

}  // namespace tolvi::sim
