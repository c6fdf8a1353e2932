// Script commands of the work log:
//   command logtotals        the Options dialog's "Log Totals"
//   show log                 the work log, one "log|LINE|" per line
//   show logfiles            the sizes of "dLog.txt" and "dLogOld.txt"
//   logfill BYTES            makes the work log exactly BYTES long
//   rename ID NAME           gives work type ID a new name
//   upgrade-from-250 DIR     upgrades a version-250 data file in $DATA/DIR,
//                            with the work log of $DATA, and prints the
//                            imported totals beside the simulated ones
// "command" and "show" keep every other form they had.
#include <cstring>
#include <map>
#include <string>

#include "accounting/recent_work.h"
#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "command_table.h"
#include "engine/program_files.h"
#include "settings/settings.h"
#include "text/text.h"
#include "worklog/log_totals.h"
#include "worklog/work_log.h"

namespace tolvi::sim {
namespace {

namespace field = work_type_field;

constexpr std::size_t kFillLineBytes = 100;

std::string Usage(std::string_view usage) {
  return "usage: " + std::string(usage);
}

std::filesystem::path LogPath(Simulation& sim, std::string_view name) {
  return sim.context().DataFile(name);
}

void ShowLog(Simulation& sim) {
  std::string log;
  if (!sim.context().files.ReadFile(LogPath(sim, kWorkLogFileName), &log).ok()) {
    sim.ui().Note("log missing");
    return;
  }
  std::size_t start = 0;
  for (std::size_t end = log.find(kLineEnd); end != std::string::npos;
       end = log.find(kLineEnd, start)) {
    sim.ui().Note("log|" + log.substr(start, end - start) + "|");
    start = end + kLineEnd.size();
  }
  if (start < log.size()) sim.ui().Note("log|" + log.substr(start) + "| (no line end)");
}

std::string SizeOf(Simulation& sim, std::string_view name) {
  const auto size = sim.context().files.FileSize(LogPath(sim, name));
  return std::string(name) + "=" + (size ? std::to_string(*size) : std::string("missing"));
}

std::string LogFill(Simulation& sim, const Arguments& args) {
  const auto bytes = args.words.size() == 1 ? ParseInteger(args.words[0]) : std::nullopt;
  if (!bytes || *bytes < static_cast<std::int64_t>(kWorkLogHeader.size()) || *bytes > 50'000'000) {
    return Usage("logfill BYTES (32 to 50000000)");
  }
  const auto size = static_cast<std::size_t>(*bytes);
  std::string log(kWorkLogHeader);
  log.reserve(size);
  while (log.size() + kFillLineBytes <= size) {
    log.append(kFillLineBytes - kLineEnd.size(), '.');
    log.append(kLineEnd);
  }
  if (size - log.size() >= kLineEnd.size()) {
    log.append(size - log.size() - kLineEnd.size(), '.');
    log.append(kLineEnd);
  }
  log.append(size - log.size(), '.');
  const Status written = sim.context().files.WriteFileAtomic(LogPath(sim, kWorkLogFileName), log);
  return written.ok() ? std::string() : "cannot write the log: " + written.message();
}

std::string Rename(Simulation& sim, const Arguments& args) {
  const auto id = args.words.size() >= 2 ? ParseInteger(args.words[0]) : std::nullopt;
  if (!id || *id < 0 || *id > INT32_MAX) return Usage("rename ID NAME");
  const std::string_view name =
      args.rest.substr(static_cast<std::size_t>(args.words[1].data() - args.rest.data()));
  CoreContext& context = sim.context();
  std::lock_guard lock(context.state.mutex);
  const auto record = static_cast<std::int32_t>(*id);
  if (!context.records.WriteText(record, field::kName, TruncateUtf8(name, kNameBytes - 1)).ok()) {
    return "no work type " + std::to_string(record);
  }
  if (context.state.data.current_work_type == static_cast<std::uint32_t>(record)) {
    if (Status flushed = FlushCurrentWorkType(context.state, context.records); !flushed.ok()) {
      return flushed.message();
    }
    LoadCurrentWorkType(context.state, context.records);
  }
  RebuildRecentWork(context.state, context.records);
  return {};
}

// A version-250 block: times in tenths of a minute (the snooze in minutes),
// no work types of its own, the work log on.
std::string Version250File(Clock& clock) {
  ProgramData data{};
  SetDefaultSettings(data, clock);
  data.break_interval = 300;
  data.away_time = 50;
  data.manual_target = 3'600;
  data.snooze_time = 5;
  data.file_log = 1;
  constexpr std::string_view kMagic = "TOLV1250";
  std::string file(kMagic.size() + sizeof data, '\0');
  file.replace(0, kMagic.size(), kMagic);
  std::memcpy(file.data() + kMagic.size(), &data, sizeof data);
  return file;
}

// Simulated totals by name: closed days plus today, in tenths of a minute.
std::map<std::string, std::uint32_t> TotalsByName(const RecordDatabase& records) {
  std::map<std::string, std::uint32_t> totals;
  for (const std::int32_t id : records.LiveRecords()) {
    totals[records.ReadText(id, field::kName).value_or("")] +=
        records.ReadNumber(id, field::kTotal).value_or(0);
  }
  return totals;
}

std::string UpgradeFrom250(Simulation& sim, const Arguments& args) {
  if (args.words.size() != 1) return Usage("upgrade-from-250 DIR");
  CoreContext& live = sim.context();
  const std::filesystem::path directory = live.data_directory / args.words[0];
  FileSystem& files = live.files;
  if (Status made = files.CreateDirectories(directory); !made.ok()) return made.message();
  if (Status written = files.WriteFileAtomic(directory / "dTolvi.dat", Version250File(sim.clock()));
      !written.ok()) {
    return written.message();
  }
  (void)files.CopyFile(live.DataFile(kWorkLogFileName), directory / kWorkLogFileName);

  SeededRandom random;
  CoreContext upgraded(CorePorts{sim.clock(), sim.ui().port(), files, random}, directory, directory,
                       [](std::string_view a, std::string_view b) { return a.compare(b); });
  const LoadResult loaded = LoadProgramFiles(upgraded);
  for (const std::string& notice : loaded.notices) sim.ui().Note("notice " + notice);
  if (loaded.outcome == LoadOutcome::kQuit) {
    sim.ui().Note("upgrade cancelled");
    return {};
  }
  std::map<std::string, std::uint32_t> simulated;
  {
    std::lock_guard lock(live.state.mutex);
    simulated = TotalsByName(live.records);
  }
  for (const auto& [name, total] : TotalsByName(upgraded.records)) {
    sim.ui().Note("upgraded " + name + " imported=" + std::to_string(total) +
                  " simulated=" + std::to_string(simulated[name]));
  }
  const ProgramData& data = upgraded.state.data;
  sim.ui().Note("upgraded TotalDays=" + std::to_string(data.total_days) + " BreakTotal=" +
                std::to_string(data.break_total) + " AwayTotal=" + std::to_string(data.away_total));
  upgraded.records.Close();
  return {};
}

// Wraps a command of the table so that one more first word is understood.
void Extend(CommandTable& table, std::string_view name, std::string_view word,
            std::string_view usage_suffix,
            std::function<std::string(Simulation&, const Arguments&)> handler) {
  const ScriptCommand* existing = table.Find(name);
  ScriptHandler previous = existing ? existing->handler : ScriptHandler();
  std::string usage = (existing ? existing->usage : std::string(name)) + std::string(usage_suffix);
  table.Add({std::string(name), std::move(usage),
             [word = std::string(word), previous, handler](Simulation& sim, const Arguments& args) {
               if (!args.words.empty() && args.words[0] == word) return handler(sim, args);
               return previous ? previous(sim, args) : "unknown " + std::string(args.rest);
             }});
}

}  // namespace

void RegisterWorkLogCommands(CommandTable& table) {
  Extend(table, "command", "logtotals", " | command logtotals",
         [](Simulation& sim, const Arguments& args) {
           if (args.words.size() != 1) return Usage("command logtotals");
           if (sim.phase() != Simulation::Phase::kRunning) return std::string("not running");
           LogTotals(sim.context());
           return std::string();
         });
  Extend(table, "show", "log", " | show log", [](Simulation& sim, const Arguments&) {
    ShowLog(sim);
    return std::string();
  });
  Extend(table, "show", "logfiles", " | show logfiles", [](Simulation& sim, const Arguments&) {
    sim.ui().Note(SizeOf(sim, kWorkLogFileName) + " " + SizeOf(sim, kOldWorkLogFileName));
    return std::string();
  });
  table.Add({"logfill", "logfill BYTES", LogFill});
  table.Add({"rename", "rename ID NAME", Rename});
  table.Add({"upgrade-from-250", "upgrade-from-250 DIR", UpgradeFrom250});
}

}  // namespace tolvi::sim
