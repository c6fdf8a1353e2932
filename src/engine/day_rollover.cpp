#include "engine/day_rollover.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "accounting/recent_work.h"
#include "accounting/work_types.h"
#include "engine/day_check.h"
#include "engine/tray_tip.h"
#include "engine/tray_updates.h"
#include "settings/settings.h"
#include "state/write_failures.h"
#include "storage/close_journal.h"
#include "storage/program_data_file.h"
#include "text/text.h"
#include "worklog/day_line.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kFirstDayOfMonth = 1;
constexpr std::uint32_t kLastDayOfMonth = 31;
constexpr std::uint32_t kMsPerTenthMinute = 6'000;
constexpr int kGoOnAnswer = 1;

// A calendar day lasts up to 25 hours (a clock change) and a stamp is cut
// to whole units, so a single counted day can still be today; two cannot.
constexpr std::uint32_t kFewestDaysOnTheSameDayNumber = 2;

bool IsDayOpen(std::uint32_t day_of_month) {
  return day_of_month >= kFirstDayOfMonth && day_of_month <= kLastDayOfMonth;
}

// The day number came round again: a month or more has passed since the
// last close, which only the stamp can tell.
bool SameDayNumberCameRound(CoreContext& context) REQUIRES(context.state.mutex) {
  const std::uint32_t last = context.state.data.last_close_stamp;
  const std::uint32_t now = context.clock.FileTimeHigh();
  if (last < kOldestValidStamp || now < last) return false;
  return (now - last) / kStampUnitsPerDay >= kFewestDaysOnTheSameDayNumber;
}

// The clock guard: how many days to close, or nullopt when the user would
// rather quit than let a clock that went back corrupt the histories.
std::optional<std::uint32_t> DaysToClose(CoreContext& context) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  const std::uint32_t now_stamp = context.clock.FileTimeHigh();
  std::optional<std::uint32_t> days = DaysSinceLastClose(now_stamp, data.last_close_stamp);
  if (!days) {
    const Question question{.message = std::string(kClockBackMessage),
                            .first_button = std::string(kClockBackGoOn),
                            .second_button = std::string(kClockBackQuit),
                            .font = QuestionFont::kSmall};
    int answer = 0;
    // The question waits for the user without the lock; a GUI thread
    // waiting for the request slot shows it.
    context.state.mutex.unlock();
    {
      const CallingScope calling(context.events.request_free);
      answer = context.ui.Ask(question);
    }
    context.state.mutex.lock();
    if (answer != kGoOnAnswer) return std::nullopt;
    days = 1;
  }
  data.last_close_stamp = now_stamp;
  return days;
}

Status CloseOneDay(CoreContext& context) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  data.total_days += 1;
  data.away_yesterday_ms = data.away_today_ms;
  data.away_total += data.away_today_ms / kMsPerTenthMinute;
  data.break_yesterday_ms = data.break_today_ms;
  data.break_total += data.break_today_ms / kMsPerTenthMinute;
  data.suspended_yesterday_ms = data.suspended_today_ms;
  data.suspended_total += data.suspended_today_ms / kMsPerTenthMinute;
  data.work_yesterday_ms = ComputeTotals(context.state, context.records, GrandTotal::kSkip);

  data.break_today_ms = 0;
  data.away_today_ms = 0;
  data.suspended_today_ms = 0;
  data.work_today_ms = 0;
  context.state.activity.break_mark = 0;

  FirstFailure failure;
  for (const std::int32_t record_id : context.records.LiveRecords()) {
    failure.Note(ShiftDay(context.state, context.records, record_id));
  }
  return failure.status();
}

std::filesystem::path DatabaseFile(const CoreContext& context) {
  return context.DataFile(kDatabaseFileName);
}

// Closing and reopening writes the mapped view back to the file.
Status FlushDatabase(CoreContext& context) {
  context.records.Close();
  return context.records.Open(DatabaseFile(context), /*writable=*/true);
}

// A file's entry as its whole bytes, or that it did not exist.
Status AddWholeFileEntry(CoreContext& context, std::string_view name, CloseJournal& journal) {
  const std::filesystem::path path = context.DataFile(name);
  JournalEntry entry;
  entry.file_name = std::string(name);
  if (!context.files.Exists(path)) {
    entry.action = JournalAction::kRemove;
  } else if (Status read = context.files.ReadFile(path, &entry.bytes); !read.ok()) {
    return read;
  }
  journal.entries.push_back(std::move(entry));
  return Status::Ok();
}

// The log's entry: its length before the day line, or that it did not exist.
// A log that could not be rotated is still full and would be restarted by
// the day line's write, so then it is kept whole.
Status AddWorkLogEntry(CoreContext& context, CloseJournal& journal) {
  const std::filesystem::path path = context.DataFile(kWorkLogFileName);
  if (context.files.Exists(path)) {
    const std::optional<std::uint64_t> size = context.files.FileSize(path);
    if (!size) return Status::IoError("cannot read the size of " + PathText(path));
    if (*size <= kWorkLogRotateBytes) {
      JournalEntry entry;
      entry.file_name = kWorkLogFileName;
      entry.action = JournalAction::kCutToLength;
      entry.length = *size;
      journal.entries.push_back(std::move(entry));
      return Status::Ok();
    }
  }
  return AddWholeFileEntry(context, kWorkLogFileName, journal);
}

std::string CloseStartedText(Clock& clock) {
  const LocalTime now = clock.Now();
  char time[16];
  std::snprintf(time, sizeof time, " %02d:%02d", now.hour, now.minute);
  return clock.LongDate(now) + time;
}

// Writes the journal that lets the next start undo this close: `before` is
// the block as it was before the day check changed anything. The log is
// rotated first so that the day line is a plain append.
Status BeginClose(CoreContext& context, const ProgramData& before) {
  const bool file_log = before.file_log != 0;
  if (file_log) {
    // A log that cannot be rotated now stays full and is journalled whole.
    WorkLog(context.files, context.clock, context.data_directory).RotateIfFull().IgnoreError();
  }
  if (Status flushed = FlushDatabase(context); !flushed.ok()) return flushed;

  CloseJournal journal;
  journal.total_days_before = before.total_days;
  journal.started = CloseStartedText(context.clock);
  JournalEntry database;
  database.file_name = kDatabaseFileName;
  if (Status read = context.files.ReadFile(DatabaseFile(context), &database.bytes); !read.ok()) {
    return read;
  }
  journal.entries.push_back(std::move(database));
  if (file_log) {
    if (Status logged = AddWorkLogEntry(context, journal); !logged.ok()) return logged;
    // A day line kept back there must not be kept twice when the close runs
    // again.
    if (Status kept = AddWholeFileEntry(context, kPendingWorkLogFileName, journal); !kept.ok()) {
      return kept;
    }
  }
  JournalEntry data_file;
  data_file.file_name = kDataFileName;
  data_file.bytes = ProgramDataFileImage(before);
  journal.entries.push_back(std::move(data_file));
  return WriteCloseJournal(context.files, context.data_directory, journal);
}

// "dTolvi.dat" first, so that the two " Bak" copies made after it are a
// matching pair; the journal goes once the saved file holds the closed day.
void SaveClosedDay(CoreContext& context) REQUIRES(context.state.mutex) {
  const ProgramData& data = context.state.data;
  Ui& ui = context.ui;
  if (Status flushed = FlushDatabase(context); !flushed.ok()) {
    ui.Notify("The work-type database could not be written back after the day close: " +
              flushed.message());
    return;
  }
  if (Status saved = SaveProgramData(context.files, context.data_directory, data); !saved.ok()) {
    // No backups either: they would pair the closed database with the
    // unclosed data file. The journal stays until a save succeeds.
    ui.Notify("The closed day could not be saved (" + saved.message() +
              "). It is kept in memory and saved at the next save point.");
    return;
  }
  if (Status forgot =
          ForgetCloseJournalIfSaved(context.files, context.data_directory, data.total_days);
      !forgot.ok()) {
    ui.Notify("The record of the day close, " + PathText(CloseJournalPath(context.data_directory)) +
              ", could not be removed (" + forgot.message() +
              "); the next start would close the day again.");
  }
  if (Status backed_up = BackupDataFiles(context.files, context.records, context.data_directory);
      !backed_up.ok()) {
    ui.Notify("The backup copies of the closed day were not all made: " + backed_up.message());
  }
  if (Status kept = KeepDayBackup(context.files, context.data_directory, context.clock.Now());
      !kept.ok()) {
    // The older sets stay; the next close tries again.
    ui.Notify("The day's backup set could not be kept: " + kept.message());
  }
}

// A close that cannot be journalled does not start: the day stays open
// with its date and counters, and the next day check tries again.
void PostponeClose(CoreContext& context, const ProgramData& before, const Status& why)
    REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  data.day_of_month = before.day_of_month;
  data.last_close_stamp = before.last_close_stamp;
  context.ui.Notify("The day could not be closed (" + why.message() +
                    "); it stays open and is closed at the next day check.");
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

void DaySummary(CoreContext& context) REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  RebuildRecentWork(context.state, context.records);

  DayFigures figures;
  figures.work_ms = data.work_today_ms;
  figures.break_ms = data.break_today_ms;
  figures.away_ms = data.away_today_ms;
  for (std::size_t slot = 0; slot < kDayLineEntries; ++slot) {
    figures.top[slot] = {context.state.recent[slot].name, context.state.recent[slot].today_ms};
  }
  const DaySummaryText summary = FormatDaySummary(figures, TimeStyleFor(data.decimal_hours));
  const std::string date = FieldText(data.today_text);
  const std::string line = FormatDayLine(date, summary, FieldText(data.work_notes));
  SetFieldText(data.work_notes, "");

  if (IsOn(data.file_log)) {
    // A line the log cannot take waits in the backlog; nothing is lost.
    ContextWorkLog(context).WriteLogLine(line, LogLineMode::kPlain);
  }
  if (IsOn(data.show_report)) {
    ShowTrayBalloon(context, date, FormatDayReport(summary), TrayIconFor(context.state.activity));
  }
}

Status CloseDays(CoreContext& context, std::uint32_t days) REQUIRES(context.state.mutex) {
  ClearRecentWork(context.state.recent);
  FirstFailure failure;
  for (std::uint32_t day = 0; day < days; ++day) failure.Note(CloseOneDay(context));
  failure.Note(SeedRecentWork(context.state, context.records));
  return failure.status();
}

void DayRolloverCheck(CoreContext& context, StateLock& /*lock*/, const QuitProgram& quit)
    REQUIRES(context.state.mutex) {
  ProgramData& data = context.state.data;
  const std::uint32_t today = ArmMidnightTimer(context);
  if (!IsDayOpen(data.day_of_month)) {
    data.day_of_month = today;
  } else if (today != data.day_of_month || SameDayNumberCameRound(context)) {
    ProgramData before = data;
    // Set first, so that a day check running meanwhile on the other thread
    // (while the clock guard waits for the user) finds nothing to close.
    data.day_of_month = today;
    // The question comes before the log line: quitting leaves no trace.
    const std::optional<std::uint32_t> days = DaysToClose(context);
    if (!days) {
      quit();
      return;
    }
    // The other thread may have ticked while the question waited.
    const std::uint32_t open_day = before.day_of_month;
    const std::uint32_t last_close_stamp = before.last_close_stamp;
    before = data;
    before.day_of_month = open_day;
    before.last_close_stamp = last_close_stamp;
    // Rewriting the cached time is harmless, and the journal then holds it.
    ReportRecordWrite(context, FlushCurrentWorkType(context.state, context.records));
    if (Status begun = BeginClose(context, before); !begun.ok()) {
      PostponeClose(context, before, begun);
      // TodayText keeps the open day's date for its line.
      RebuildRecentWork(context.state, context.records);
      context.state.activity.tray_refresh_pending = true;
      return;
    }
    context.state.activity.current_today_ms = 0;
    ComputeTotals(context.state, context.records, GrandTotal::kSkip);
    if (IsOn(data.file_log) || IsOn(data.show_report)) DaySummary(context);
    ReportRecordWrite(context, CloseDays(context, *days));
    // Saved with the new day's date: a start on a later day closes this
    // one under its own date, not the one before it.
    SetFieldText(data.today_text, context.clock.LongDate(context.clock.Now()));
    SaveClosedDay(context);
  }
  SetFieldText(data.today_text, context.clock.LongDate(context.clock.Now()));
  RebuildRecentWork(context.state, context.records);
  context.state.activity.tray_refresh_pending = true;
}

void InstallDayRollover(CoreContext& context, QuitProgram quit) {
  context.hooks.day_check = [quit = std::move(quit)](CoreContext& hooked, StateLock& lock) REQUIRES(
                                hooked.state.mutex) { DayRolloverCheck(hooked, lock, quit); };
}

}  // namespace tolvi
