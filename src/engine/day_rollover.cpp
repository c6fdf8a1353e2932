#include "engine/day_rollover.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include "accounting/recent_work.h"
#include "accounting/work_types.h"
#include "engine/day_check.h"
#include "engine/tray_updates.h"
#include "shell/tray_tip.h"
#include "storage/program_data_file.h"
#include "storage/text.h"
#include "worklog/day_line.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kFirstDayOfMonth = 1;
constexpr std::uint32_t kLastDayOfMonth = 31;
constexpr std::uint32_t kMsPerTenthMinute = 6'000;
constexpr std::uint32_t kQuestionSmallFont = 1;
constexpr int kGoOnAnswer = 1;

bool IsDayOpen(std::uint32_t day_of_month) {
  return day_of_month >= kFirstDayOfMonth && day_of_month <= kLastDayOfMonth;
}

// The clock guard: how many days to close, or nullopt when the user would
// rather quit than let a clock that went back corrupt the histories.
std::optional<std::uint32_t> DaysToClose(CoreContext& context, StateLock& lock) {
  ProgramData& data = context.state.data;
  const std::uint32_t now_stamp = context.clock.FileTimeHigh();
  std::optional<std::uint32_t> days = DaysSinceLastClose(now_stamp, data.last_close_stamp);
  if (!days) {
    const Question question{.message = std::string(kClockBackMessage),
                            .first_button = std::string(kClockBackGoOn),
                            .second_button = std::string(kClockBackQuit),
                            .style = kQuestionSmallFont};
    lock.unlock();
    const int answer = context.ui.Ask(question);
    lock.lock();
    if (answer != kGoOnAnswer) return std::nullopt;
    days = 1;
  }
  data.last_close_stamp = now_stamp;
  return days;
}

void CloseOneDay(CoreContext& context) {
  SharedState& state = context.state;
  ProgramData& data = state.data;
  data.total_days += 1;
  data.away_yesterday_ms = data.away_today_ms;
  data.away_total += data.away_today_ms / kMsPerTenthMinute;
  data.break_yesterday_ms = data.break_today_ms;
  data.break_total += data.break_today_ms / kMsPerTenthMinute;
  data.suspended_yesterday_ms = data.suspended_today_ms;
  data.suspended_total += data.suspended_today_ms / kMsPerTenthMinute;
  data.work_yesterday_ms = ComputeTotals(state, context.records, GrandTotal::kSkip);

  data.break_today_ms = 0;
  data.away_today_ms = 0;
  data.suspended_today_ms = 0;
  data.work_today_ms = 0;
  state.activity.break_mark = 0;

  for (const std::int32_t record_id : context.records.LiveRecords()) {
    ShiftDay(state, context.records, record_id);
  }
}

void BackupAndSave(CoreContext& context) {
  (void)BackupDataFiles(context.files, context.records, context.data_directory);
  (void)SaveProgramData(context.files, context.data_directory, context.state.data);
}

}  // namespace

void EndProcessWithoutSaving() {
  // Nothing of the program's state is written, but what a front end has
  // printed so far should not vanish with the unflushed stream buffers.
  std::cout.flush();
  std::cerr.flush();
  std::_Exit(EXIT_SUCCESS);
}

std::optional<std::uint32_t> DaysSinceLastClose(std::uint32_t now_stamp,
                                                std::uint32_t last_close_stamp) {
  if (now_stamp < last_close_stamp) return std::nullopt;
  if (last_close_stamp < kOldestValidStamp) return 1;
  const std::uint32_t days = (now_stamp - last_close_stamp) / kStampUnitsPerDay;
  if (days == 0) return 1;
  return days > kMaxDaysClosed ? kMaxDaysClosed : days;
}

void DaySummary(CoreContext& context) {
  SharedState& state = context.state;
  ProgramData& data = state.data;
  RebuildRecentWork(state, context.records);

  DayFigures figures;
  figures.work_ms = data.work_today_ms;
  figures.break_ms = data.break_today_ms;
  figures.away_ms = data.away_today_ms;
  for (std::size_t slot = 0; slot < kDayLineEntries; ++slot) {
    figures.top[slot] = {state.recent[slot].name, state.recent[slot].today_ms};
  }
  const DaySummaryText summary = FormatDaySummary(figures, TimeStyleFor(data.decimal_hours));
  const std::string date = FieldText(data.today_text);
  const std::string line = FormatDayLine(date, summary, FieldText(data.work_notes));
  SetFieldText(data.work_notes, "");

  if (data.file_log != 0) {
    // A line the log cannot take waits in the backlog; nothing is lost.
    (void)ContextWorkLog(context).WriteLogLine(line, LogLineMode::kPlain);
  }
  if (data.show_report != 0) {
    ShowTrayBalloon(context, date, FormatDayReport(summary), TrayIconFor(state.activity));
  }
}

void CloseDays(CoreContext& context, std::uint32_t days) {
  SharedState& state = context.state;
  ClearRecentWork(state.recent);
  for (std::uint32_t day = 0; day < days; ++day) CloseOneDay(context);
  SeedRecentWork(state, context.records);
}

void DayRolloverCheck(CoreContext& context, StateLock& lock, const QuitProgram& quit) {
  SharedState& state = context.state;
  ProgramData& data = state.data;
  const std::uint32_t today = ArmMidnightTimer(context);
  if (!IsDayOpen(data.day_of_month)) {
    data.day_of_month = today;
  } else if (today != data.day_of_month) {
    // Set first, so that a day check running meanwhile on the other thread
    // (while the clock guard waits for the user) finds nothing to close.
    data.day_of_month = today;
    // The question comes before the log line: quitting leaves no trace.
    const std::optional<std::uint32_t> days = DaysToClose(context, lock);
    if (!days) {
      quit();
      return;
    }
    FlushCurrentWorkType(state, context.records);
    state.activity.current_today_ms = 0;
    ComputeTotals(state, context.records, GrandTotal::kSkip);
    if (data.file_log != 0 || data.show_report != 0) DaySummary(context);
    CloseDays(context, *days);
    BackupAndSave(context);
  }
  SetFieldText(data.today_text, context.clock.LongDate(context.clock.Now()));
  RebuildRecentWork(state, context.records);
  state.activity.tray_refresh_pending = true;
}

void InstallDayRollover(CoreContext& context, QuitProgram quit) {
  context.hooks.day_check = [quit = std::move(quit)](CoreContext& hooked, StateLock& lock) {
    DayRolloverCheck(hooked, lock, quit);
  };
}

}  // namespace tolvi
