#include "worklog/export.h"

#include "accounting/work_type_record.h"
#include "text/json_text.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kMsPerSecond = 1000;
constexpr std::uint32_t kSecondsPerTenth = 6;

std::uint32_t Number(const RecordDatabase& records, std::int32_t slot, std::uint32_t field) {
  return records.ReadNumber(slot, field).value_or(0);
}

std::string Text(const RecordDatabase& records, std::int32_t slot, std::uint32_t field) {
  return records.ReadText(slot, field).value_or(std::string());
}

std::uint32_t TenthsToSeconds(std::uint32_t tenths) {
  // Tenths of a minute from a file may be any u32; the seconds stay exact
  // in 64 bits and are capped rather than wrapped.
  const std::uint64_t seconds = std::uint64_t{tenths} * kSecondsPerTenth;
  return seconds > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(seconds);
}

std::string DateOf(std::string_view line) {
  std::string_view date = line.substr(0, line.find(':'));
  while (!date.empty() && date.back() == ' ') date.remove_suffix(1);
  return std::string(date);
}

std::string N(std::uint32_t value) {
  return std::to_string(value);
}

std::string WorkTypeJson(const ExportedWorkType& type) {
  std::string json = "{\"name\":" + JsonString(type.name) + ",\"notes\":" + JsonString(type.notes) +
                     ",\"maximum_seconds\":" + N(type.maximum_seconds) +
                     ",\"today_seconds\":" + N(type.today_seconds) + ",\"days_back_seconds\":[";
  for (std::size_t i = 0; i < kExportDaysBack; ++i) {
    if (i != 0) json += ',';
    json += N(type.days_back_seconds[i]);
  }
  return json + "],\"total_seconds\":" + N(type.total_seconds) + "}";
}

std::string DayJson(const ExportedDay& day) {
  std::string json =
      "{\"date\":" + JsonString(day.date) + ",\"work_seconds\":" + N(day.work_seconds) +
      ",\"break_seconds\":" + N(day.break_seconds) + ",\"away_seconds\":" + N(day.away_seconds) +
      ",\"implausible\":" + (day.implausible ? "true" : "false") + ",\"entries\":[";
  for (std::size_t i = 0; i < day.entries.size(); ++i) {
    json += (i == 0 ? "{\"name\":" : ",{\"name\":") + JsonString(day.entries[i].name) +
            ",\"seconds\":" + N(TenthsToSeconds(day.entries[i].tenths)) + "}";
  }
  return json + "]}";
}

template <typename Item, typename Format>
std::string JsonArray(const std::vector<Item>& items, Format format) {
  std::string json = "[";
  for (std::size_t i = 0; i < items.size(); ++i) json += (i == 0 ? "\n" : ",\n") + format(items[i]);
  return json + "\n]";
}

}  // namespace

std::vector<ExportedWorkType> ReadWorkTypes(const RecordDatabase& records) {
  namespace field = work_type_field;
  std::vector<ExportedWorkType> types;
  for (const std::int32_t slot : records.LiveRecords()) {
    ExportedWorkType type;
    type.name = ToUtf8(Text(records, slot, field::kName));
    type.notes = ToUtf8(Text(records, slot, field::kNotes));
    type.maximum_seconds = Number(records, slot, field::kMaximum) / kMsPerSecond;
    type.today_seconds = Number(records, slot, field::kToday) / kMsPerSecond;
    for (std::uint32_t i = 0; i < kExportDaysBack; ++i) {
      type.days_back_seconds[i] = Number(records, slot, field::kYesterday + i) / kMsPerSecond;
    }
    type.total_seconds = TenthsToSeconds(Number(records, slot, field::kTotal));
    types.push_back(std::move(type));
  }
  return types;
}

void ReadLogDays(std::string_view log_text, ExportedData& data) {
  while (!log_text.empty()) {
    const std::size_t end = log_text.find('\n');
    std::string_view line = log_text.substr(0, end);
    log_text = end == std::string_view::npos ? std::string_view() : log_text.substr(end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const ParsedLogLine parsed = ParseLogLine(line);
    if (parsed.kind == LogLineKind::kMalformed || parsed.kind == LogLineKind::kTooLong) {
      ++data.skipped_lines;
    }
    if (parsed.kind != LogLineKind::kDayLine) continue;
    ExportedDay day;
    day.date = ToUtf8(DateOf(line));
    day.work_seconds = TenthsToSeconds(parsed.day.work);
    day.break_seconds = TenthsToSeconds(parsed.day.break_time);
    day.away_seconds = TenthsToSeconds(parsed.day.away);
    day.implausible = parsed.day.implausible;
    day.entries = parsed.day.entries;
    for (LoggedWork& entry : day.entries) entry.name = ToUtf8(entry.name);
    data.days.push_back(std::move(day));
  }
}

std::string ExportCsv(const ExportedData& data) {
  std::string csv =
      "work_type,notes,maximum_seconds,today_seconds,day_1_back_seconds,day_2_back_seconds,"
      "day_3_back_seconds,day_4_back_seconds,day_5_back_seconds,day_6_back_seconds,"
      "total_seconds\r\n";
  for (const ExportedWorkType& type : data.work_types) {
    csv += CsvField(type.name) + "," + CsvField(type.notes) + "," + N(type.maximum_seconds) + "," +
           N(type.today_seconds);
    for (const std::uint32_t seconds : type.days_back_seconds) {
      csv += ',';
      csv += N(seconds);
    }
    csv += ',';
    csv += N(type.total_seconds);
    csv += "\r\n";
  }
  csv += "\r\ndate,work_seconds,break_seconds,away_seconds";
  for (std::size_t i = 1; i <= kDayLineEntriesExported; ++i) {
    csv += ",work_type_" + std::to_string(i) + ",seconds_" + std::to_string(i);
  }
  csv += "\r\n";
  for (const ExportedDay& day : data.days) {
    csv += CsvField(day.date) + "," + N(day.work_seconds) + "," + N(day.break_seconds) + "," +
           N(day.away_seconds);
    for (std::size_t i = 0; i < kDayLineEntriesExported; ++i) {
      if (i < day.entries.size()) {
        csv += ',';
        csv += CsvField(day.entries[i].name) + "," + N(TenthsToSeconds(day.entries[i].tenths));
      } else {
        csv += ",,";
      }
    }
    csv += "\r\n";
  }
  return csv;
}

std::string ExportJson(const ExportedData& data) {
  return "{\"work_types\":" + JsonArray(data.work_types, WorkTypeJson) +
         ",\n\"days\":" + JsonArray(data.days, DayJson) + "}\n";
}

}  // namespace tolvi
