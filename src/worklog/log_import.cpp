#include "worklog/log_import.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "state/write_failures.h"
#include "text/text.h"
#include "worklog/log_import_parser.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

constexpr std::uint32_t kTenthsDivisor = 6;
constexpr std::uint32_t kMsPerTenthMinute = 6'000;
constexpr std::size_t kNameLimit = kNameBytes - 1;  // as the name buffers hold
constexpr int kConfirmAnswer = 1;

// Names as the records keep them: the log of an old version holds
// Windows-1252 bytes, which must meet the same name read from the old data
// file (converted by FieldText), so both go through ToUtf8.
std::string StoredName(std::string_view raw) {
  return std::string(TruncateUtf8(ToUtf8(raw), kNameLimit));
}

// Work types by exact name, created on first use, with the credits gathered
// in memory and written once at the end.
class WorkTypeIndex {
 public:
  explicit WorkTypeIndex(RecordDatabase& records) : records_(records) {
    for (const std::int32_t id : records.LiveRecords()) {
      std::string name = StoredName(records.ReadText(id, field::kName).value_or(std::string()));
      if (!name.empty()) ids_.try_emplace(std::move(name), id);
    }
  }

  // False when the work type could not be created (no record to be had).
  bool Credit(std::string_view name, std::uint32_t tenths) {
    const std::optional<std::int32_t> id = FindOrCreate(StoredName(name));
    if (!id) return false;
    credits_[*id] += tenths;
    return true;
  }

  void WriteCredits() {
    for (const auto& [id, tenths] : credits_) {
      const std::uint32_t total = records_.ReadNumber(id, field::kTotal).value_or(0);
      failure_.Note(records_.WriteNumber(id, field::kTotal, total + tenths));
    }
  }
  // The first record write of the import that failed.
  const Status& failure() const { return failure_.status(); }

 private:
  std::optional<std::int32_t> FindOrCreate(std::string_view name) {
    if (const auto found = ids_.find(std::string(name)); found != ids_.end()) return found->second;
    const std::int32_t id = records_.NewRecord();
    if (id < 0) return std::nullopt;
    // A reused slot must not bring an old work type's history along.
    failure_.Note(InitWorkType(records_, id, /*named=*/false));
    failure_.Note(records_.WriteText(id, field::kName, name));
    failure_.Note(records_.WriteText(id, field::kNotes, ""));
    ids_.emplace(std::string(name), id);
    return id;
  }

  RecordDatabase& records_;
  std::unordered_map<std::string, std::int32_t> ids_;
  std::map<std::int32_t, std::uint32_t> credits_;
  FirstFailure failure_;
};

// "Prefix 3, 17, 40": numbers are added while the text is short enough.
class LineList {
 public:
  explicit LineList(std::string_view prefix) : prefix_(prefix) {}

  void Add(std::uint32_t line) {
    if (text_.size() >= kImportMessageLimit) return;
    text_ += text_.empty() ? prefix_ : std::string(", ");
    text_ += std::to_string(line);
  }
  [[nodiscard]] const std::string& text() const { return text_; }

 private:
  std::string prefix_;
  std::string text_;
};

struct ImportTally {
  std::uint32_t days = 0;
  std::uint32_t work = 0;
  std::uint32_t break_time = 0;
  std::uint32_t away = 0;
  LineList errors{kImportErrorPrefix};
  LineList skipped{kImportSkippedPrefix};
};

void ImportDayLine(const DayLineValues& day, std::uint32_t line_number, WorkTypeIndex& index,
                   ImportTally& tally) {
  tally.days += 1;
  tally.break_time += day.break_time;
  tally.away += day.away;
  std::int64_t unassigned = day.work;
  for (const LoggedWork& entry : day.entries) {
    if (!index.Credit(entry.name, entry.tenths)) continue;
    tally.work += entry.tenths;
    unassigned -= entry.tenths;
  }
  if (day.implausible || std::llabs(unassigned) > kUnassignedTolerance) {
    tally.errors.Add(line_number);
  }
}

void ImportLine(std::string_view line, std::uint32_t line_number, WorkTypeIndex& index,
                ImportTally& tally) {
  const ParsedLogLine parsed = ParseLogLine(line);
  switch (parsed.kind) {
    case LogLineKind::kOther:
      return;
    case LogLineKind::kDayLine:
      ImportDayLine(parsed.day, line_number, index, tally);
      return;
    case LogLineKind::kWorkSummary:
    case LogLineKind::kTotalsLine:
    case LogLineKind::kMalformed:
    case LogLineKind::kTooLong:
      tally.skipped.Add(line_number);
      return;
  }
}

// Lines end at CR LF (the log's own), a bare LF or a bare CR; line numbers
// count the LFs, so a line keeps the number a text editor shows.
void ImportLog(std::string_view log, WorkTypeIndex& index, ImportTally& tally) {
  std::uint32_t line_number = 1;
  std::size_t start = 0;
  for (std::size_t at = 0; at < log.size(); ++at) {
    if (log[at] != '\r' && log[at] != '\n') continue;
    ImportLine(log.substr(start, at - start), line_number, index, tally);
    if (log[at] == '\r' && at + 1 < log.size() && log[at + 1] == '\n') ++at;
    if (log[at] == '\n') ++line_number;
    start = at + 1;
  }
  if (start < log.size()) ImportLine(log.substr(start), line_number, index, tally);
}

bool IsPlaceholder(const RecordDatabase& records, std::int32_t id) {
  return id == kPlaceholderSlot &&
         records.ReadText(id, field::kName).value_or(std::string("?")).empty() &&
         records.ReadNumber(id, field::kTotal).value_or(1) == 0;
}

Status RemovePlaceholderAndSort(RecordDatabase& records) {
  const std::vector<std::int32_t> live = records.LiveRecords();
  if (!live.empty() && IsPlaceholder(records, live.front())) {
    if (Status removed = records.SetRecordStatus(live.front(), SlotStatus::kDeleted);
        !removed.ok()) {
      return removed;
    }
  }
  return records.SortRecords(field::kName);
}

std::string ConfirmationText(CoreContext& context, const ImportTally& tally,
                             const ImportedFigures& figures) REQUIRES(context.state.mutex) {
  const ProgramData& data = context.state.data;
  const TimeStyle style = TimeStyleFor(data.decimal_hours);
  const auto hours = [style](std::uint32_t tenths) {
    return FormatHours(tenths, kTenthsDivisor, style);
  };

  std::string text(kWorkLogHeader);
  for (const LineList* list : {&tally.errors, &tally.skipped}) {
    if (!list->text().empty()) text += list->text() + "\r\n\r\n";
  }
  for (const std::int32_t id : context.records.LiveRecords()) {
    text += context.records.ReadText(id, field::kName).value_or(std::string()) + " " +
            hours(context.records.ReadNumber(id, field::kTotal).value_or(0)) + "\r\n";
  }
  text += "\r\nDays " + std::to_string(figures.total_days) + "\r\nWorking " + hours(tally.work) +
          "\r\nOn Break " + hours(figures.break_total) + "\r\nAway " + hours(figures.away_total);

  const std::uint32_t grand_total =
      ComputeTotals(context.state, context.records, GrandTotal::kCompute);
  if (data.total_days != 0) {
    text += "\r\n\r\nOld totals were:\r\n\r\nWorking " + hours(grand_total) + "\r\nOn Break " +
            hours(data.break_total) + "\r\nAway " + hours(data.away_total);
  }
  return text;
}

// A copy of the record file, taken before the import, to put back when the
// user cancels. The handle is closed around each file step, which also
// writes the mapped records to the file.
class RecordsCheckpoint {
 public:
  explicit RecordsCheckpoint(CoreContext& context)
      : context_(context),
        path_(context.records.path()),
        copy_(std::filesystem::path(path_) += kImportCheckpointSuffix) {
    context.records.Close();
    taken_ = context.files.CopyFile(path_, copy_).ok();
    Reopen();
  }
  RecordsCheckpoint(const RecordsCheckpoint&) = delete;
  RecordsCheckpoint& operator=(const RecordsCheckpoint&) = delete;
  ~RecordsCheckpoint() {
    // A copy left behind is only a stale file: the next import replaces it.
    if (taken_) context_.files.Remove(copy_).IgnoreError();
  }

  // Puts the records back as they were. When that cannot be done the user
  // is told, and a copy that could not be moved back stays where it is.
  void Restore() {
    if (!taken_) {
      context_.ui.Notify("The imported work could not be undone: no copy of " + PathText(path_) +
                         " could be taken before the import.");
      return;
    }
    context_.records.Close();
    taken_ = false;  // moved back, or kept where it is: never removed now
    if (Status back = context_.files.Rename(copy_, path_); !back.ok()) {
      context_.ui.Notify("The imported work could not be undone (" + back.message() +
                         "); the records from before the import are kept in " + PathText(copy_) +
                         ".");
    }
    Reopen();
  }

 private:
  void Reopen() {
    if (Status opened = context_.records.Open(path_, /*writable=*/true); !opened.ok()) {
      context_.ui.Notify("Tolvi cannot open its work-type database again: " + opened.message());
    }
  }

  CoreContext& context_;
  std::filesystem::path path_;
  std::filesystem::path copy_;
  bool taken_ = false;
};

}  // namespace

WorkImport ImportWorkFromLog(CoreContext& context) REQUIRES(context.state.mutex) {
  const ProgramData& data = context.state.data;
  WorkTypeIndex index(context.records);
  ImportTally tally;
  ImportedFigures figures;

  std::string log;
  const std::filesystem::path log_path = context.DataFile(kWorkLogFileName);
  if (context.files.ReadFile(log_path, &log).ok()) {
    ImportLog(log, index, tally);
    figures = {tally.days, tally.break_time, tally.away};
  } else {
    const std::uint32_t today = data.work_today_ms / kMsPerTenthMinute;
    if (index.Credit(kUnknownWorkName, today)) tally.work = today;
    // Without a log nothing replaces the old figures, so they stay.
    figures = {data.total_days, data.break_total, data.away_total};
  }
  index.WriteCredits();
  FirstFailure failure;
  failure.Note(index.failure());
  failure.Note(RemovePlaceholderAndSort(context.records));
  ReportRecordWrite(context, failure.status());
  return {ConfirmationText(context, tally, figures), figures};
}

void ApplyImportedFigures(ProgramData& data, const ImportedFigures& figures) {
  data.total_days = figures.total_days;
  data.break_total = figures.break_total;
  data.away_total = figures.away_total;
}

bool RunImportDialog(CoreContext& context) {
  StateLock lock(context.state.mutex);
  RecordsCheckpoint checkpoint(context);
  const WorkImport result = ImportWorkFromLog(context);

  const Question question{.message = std::string(kImportHeading) + "\r\n\r\n" + result.confirmation,
                          .first_button = std::string(kImportConfirm),
                          .second_button = std::string(kImportCancel),
                          .font = QuestionFont::kSmall,
                          .has_owner = false};
  lock.unlock();
  const bool confirmed = context.ui.Ask(question) == kConfirmAnswer;
  lock.lock();
  if (!confirmed) {
    checkpoint.Restore();
    return false;
  }
  ApplyImportedFigures(context.state.data, result.figures);
  return true;
}

LoadServices WorkLogLoadServices(CoreContext& context) {
  LoadServices services;
  services.import_work = [&context] { return RunImportDialog(context); };
  services.write_plain_log_line = [&context](std::string_view line) {
    // A line the log cannot take waits in the backlog; nothing is lost.
    ContextWorkLog(context).WriteLogLine(line, LogLineMode::kPlain);
  };
  return services;
}

}  // namespace tolvi
