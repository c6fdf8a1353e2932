#include "worklog/log_totals.h"

#include <mutex>

#include "accounting/statistics.h"
#include "accounting/work_types.h"
#include "state/write_failures.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kTenthsDivisor = 6;
constexpr std::uint32_t kMsPerTenthMinute = 6'000;
constexpr std::string_view kSpacer = " ";

}  // namespace

std::string FormatTotalsLine(std::uint32_t total, std::uint32_t base, std::string_view label,
                             std::uint32_t total_days, TimeStyle style) {
  const std::uint32_t average = WorkTypeAverage(total, total_days).value_or(0);
  const std::uint32_t share = ShareOf(total, base, total_days);
  return std::string(label) + " Avg:" + FormatHours(average, kTenthsDivisor, style) +
         " Tot:" + FormatHours(total, kTenthsDivisor, style) +
         " Per:" + FormatHours(share, kTenthsDivisor, TimeStyle::kShare);
}

void WriteTotalsLine(WorkLog& log, std::uint32_t total, std::uint32_t base, std::string_view label,
                     std::uint32_t total_days, TimeStyle style) {
  log.WriteLogLine(FormatTotalsLine(total, base, label, total_days, style), LogLineMode::kPlain);
}

void LogTotals(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  const ProgramData& data = context.state.data;
  const TimeStyle style = TimeStyleFor(data.decimal_hours);
  const std::uint32_t days = data.total_days;
  WorkLog log = ContextWorkLog(context);

  log.WriteLogLine(kSpacer, LogLineMode::kPlainThenEmpty);
  log.WriteLogLine("Work Summary", LogLineMode::kStamped);
  log.WriteLogLine(kSpacer, LogLineMode::kPlainThenEmpty);

  // The current work type's time reaches its record first, so the sums
  // include the work since the last flush.
  ReportRecordWrite(context, FlushCurrentWorkType(context.state, context.records));
  const std::uint32_t grand_total =
      ComputeTotals(context.state, context.records, GrandTotal::kCompute);
  for (std::size_t slot = 0; slot < kTotalsWorkTypes; ++slot) {
    const RecentWorkEntry& entry = context.state.recent[slot];
    const std::uint32_t total = WorkTypeTotal(entry.total, entry.today_ms);
    if (total != 0) WriteTotalsLine(log, total, grand_total, entry.name, days, style);
  }
  log.WriteLogLine(kSpacer, LogLineMode::kPlainThenEmpty);

  const std::uint32_t elapsed = days * kTenthsPerDay;
  WriteTotalsLine(log, data.away_today_ms / kMsPerTenthMinute + data.away_total, elapsed, "Away",
                  days, style);
  WriteTotalsLine(log, data.break_today_ms / kMsPerTenthMinute + data.break_total, elapsed,
                  "On Break", days, style);
  WriteTotalsLine(log, grand_total, elapsed, "Working", days, style);
  log.WriteLogLine("Total Days: " + std::to_string(days), LogLineMode::kPlain);
  log.WriteLogLine(kSpacer, LogLineMode::kPlainThenEmpty);
}

}  // namespace tolvi
