#include "shell/export_command.h"

#include <filesystem>
#include <optional>

#include "storage/program_data_file.h"
#include "storage/record_database.h"
#include "text/text.h"
#include "worklog/export.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

constexpr int kExitUnreadable = 1;

// Appends the days of one log file; a missing log has none.
void ReadLogFile(FileSystem& files, const std::filesystem::path& path, ExportedData& data,
                 std::string& errors) {
  std::string text;
  if (!files.Exists(path)) return;
  if (const Status read = files.ReadFile(path, &text); !read.ok()) {
    errors += "tolvi: cannot read " + PathText(path) + ": " + read.message() + "\n";
    return;
  }
  ReadLogDays(text, data);
}

}  // namespace

ExportOutcome RunExportCommand(FileSystem& files, const DirectoryFacts& facts,
                               ExportFormat format) {
  ExportOutcome outcome;
  const std::optional<DataDirectoryChoice> data = ChooseDataDirectory(files, facts);
  if (!data) {
    outcome.exit_code = kExitUnreadable;
    outcome.errors = "tolvi: no data directory: set HOME or use --data-dir\n";
    return outcome;
  }
  RecordDatabase records(files);
  const std::filesystem::path database = data->directory / std::string(kDatabaseFileName);
  if (const Status opened = records.Open(database, false); !opened.ok()) {
    outcome.exit_code = kExitUnreadable;
    outcome.errors = "tolvi: cannot read " + PathText(database) + ": " + opened.message() + "\n";
    return outcome;
  }
  ExportedData exported;
  exported.work_types = ReadWorkTypes(records);
  records.Close();
  // The old log holds the older days.
  ReadLogFile(files, data->directory / std::string(kOldWorkLogFileName), exported, outcome.errors);
  ReadLogFile(files, data->directory / std::string(kWorkLogFileName), exported, outcome.errors);
  if (exported.skipped_lines > 0) {
    outcome.errors += "tolvi: " + std::to_string(exported.skipped_lines) +
                      " day lines of the work log could not be read\n";
  }
  outcome.out = format == ExportFormat::kCsv ? ExportCsv(exported) : ExportJson(exported);
  return outcome;
}

}  // namespace tolvi
