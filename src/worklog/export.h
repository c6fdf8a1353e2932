// The export of a data directory's figures for spreadsheets and scripts
// (`tolvi --export csv|json`): every live work type with its notes, maximum,
// today, the six days back and the total, and the work log's day lines read
// into their fields. Every time is in whole seconds.
//
// CSV: a table of work types, a blank line, a table of days (the five
// entries as name and seconds column pairs). JSON: one object
// {"work_types":[...],"days":[...]}, one array element per line.
//
// Only reads: the caller opens the record database read-only and hands the
// log's text over. Lines that are not day lines (headers, totals) are
// skipped; a day line that cannot be read is counted in skipped_lines.
//
// Pure functions of their arguments; the database locks itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/record_database.h"
#include "worklog/log_import_parser.h"

namespace tolvi {

inline constexpr std::size_t kExportDaysBack = 6;
// A day line names at most five work types.
inline constexpr std::size_t kDayLineEntriesExported = 5;

struct ExportedWorkType {
  std::string name;
  std::string notes;
  std::uint32_t maximum_seconds = 0;
  std::uint32_t today_seconds = 0;
  std::array<std::uint32_t, kExportDaysBack> days_back_seconds{};  // yesterday first
  std::uint32_t total_seconds = 0;                                 // closed days
};

struct ExportedDay {
  std::string date;
  std::uint32_t work_seconds = 0;
  std::uint32_t break_seconds = 0;
  std::uint32_t away_seconds = 0;
  bool implausible = false;         // a figure too large for one day was read as 0
  std::vector<LoggedWork> entries;  // tenths converted by the writers
};

struct ExportedData {
  std::vector<ExportedWorkType> work_types;
  std::vector<ExportedDay> days;
  std::size_t skipped_lines = 0;
};

[[nodiscard]] std::vector<ExportedWorkType> ReadWorkTypes(const RecordDatabase& records);
// Appends the day lines of one log's text (line ends "\r\n" or "\n").
void ReadLogDays(std::string_view log_text, ExportedData& data);

[[nodiscard]] std::string ExportCsv(const ExportedData& data);
[[nodiscard]] std::string ExportJson(const ExportedData& data);

}  // namespace tolvi
