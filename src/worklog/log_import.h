// Rebuilding work-type totals from the work log, for the upgrade of a data
// file of the version that kept no totals: every day line's work types are
// credited to the record of that exact name (created when missing), and the
// days, break and away time are counted. Lines that only look like day
// lines (summaries, hand edits, cut lines) are skipped whole and reported
// by line number, as are day lines with implausible figures (imported with
// those figures as 0). The user confirms the result; "Cancel and close"
// puts the records back as they were before the import.
//
// Threads: start-up, on the GUI thread before the monitor runs. The import
// itself runs with the shared-state lock held; RunImportDialog takes it and
// releases it while the question waits for the user.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "state/core_context.h"
#include "worklog/log_import_parser.h"

namespace tolvi {

inline constexpr std::string_view kImportHeading =
    "Please confirm that you want this work imported.";
inline constexpr std::string_view kImportConfirm = "OK, import work";
inline constexpr std::string_view kImportCancel = "Cancel and close";
inline constexpr std::string_view kUnknownWorkName = "Unknown";
inline constexpr std::string_view kImportErrorPrefix = "Error in log at line(s) ";
inline constexpr std::string_view kImportSkippedPrefix = "Skipped in log at line(s) ";
// Line numbers are added while the message is shorter than this.
inline constexpr std::size_t kImportMessageLimit = 590;
// The copy of the records kept while the user decides.
inline constexpr std::string_view kImportCheckpointSuffix = " Import";

// The figures that replace TotalDays, BreakTotal and AwayTotal once the
// user confirms.
struct ImportedFigures {
  std::uint32_t total_days = 0;
  std::uint32_t break_total = 0;  // tenths of a minute
  std::uint32_t away_total = 0;   // tenths of a minute
};

struct WorkImport {
  std::string confirmation;  // the text shown for confirmation
  ImportedFigures figures;
};

// Credits the log's work to context.records, deletes the placeholder record
// of a new database, sorts by name and builds the confirmation text. A log
// that cannot be read gives one work type "Unknown" holding today's work,
// and keeps the old day count and totals. Lock held.
WorkImport ImportWorkFromLog(CoreContext& context) REQUIRES(context.state.mutex);

void ApplyImportedFigures(ProgramData& data, const ImportedFigures& figures);

// The whole confirmation step of the upgrade: import, ask, then keep the
// result (true) or restore the records as they were (false, the program
// must end).
bool RunImportDialog(CoreContext& context);

// What the start-up load (engine/program_files.h) needs from the work log.
// Empty members take the work log's own (WorkLogLoadServices).
struct LoadServices {
  // The version-250 upgrade's import dialog: true to go on.
  std::function<bool()> import_work;
  // Appends a plain line to the work log.
  std::function<void(std::string_view)> write_plain_log_line;
};

// The work log's load services: the import dialog and the plain line of the
// upgrade marker.
LoadServices WorkLogLoadServices(CoreContext& context);

}  // namespace tolvi
