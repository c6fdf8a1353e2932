#include "worklog/work_log.h"

#include <cstdio>
#include <utility>

#include "state/core_context.h"
#include "text/text.h"

namespace tolvi {

namespace {

std::string TwoDigits(int value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

}  // namespace

std::string FormatLogStamp(const LocalTime& time, std::string_view long_date) {
  std::string stamp =
      TwoDigits(time.hour) + " " + TwoDigits(time.minute) + " " + TwoDigits(time.second);
  PadRight(stamp, kStampTimeWidth);
  std::string date(TruncateUtf8(long_date, kStampDateWidth));
  PadRight(date, kStampDateWidth);
  return stamp + date + std::string(kStampSeparator);
}

WorkLog::WorkLog(FileSystem& files, Clock& clock, const std::filesystem::path& data_directory)
    : files_(files),
      clock_(clock),
      backlog_(own_backlog_),
      path_(data_directory / kWorkLogFileName),
      old_path_(data_directory / kOldWorkLogFileName),
      pending_path_(data_directory / kPendingWorkLogFileName) {}

WorkLog::WorkLog(FileSystem& files, Clock& clock, const std::filesystem::path& data_directory,
                 WorkLogBacklog& backlog, Ui& ui)
    : files_(files),
      clock_(clock),
      backlog_(backlog),
      ui_(&ui),
      path_(data_directory / kWorkLogFileName),
      old_path_(data_directory / kOldWorkLogFileName),
      pending_path_(data_directory / kPendingWorkLogFileName) {}

std::string WorkLog::ComposeLine(std::string_view text, LogLineMode mode) {
  std::string line;
  if (mode == LogLineMode::kStamped) {
    const LocalTime now = clock_.Now();
    line = FormatLogStamp(now, clock_.LongDate(now));
  }
  line.append(text);
  line.append(kLineEnd);
  if (mode == LogLineMode::kPlainThenEmpty) line.append(kLineEnd);
  return line;
}

bool WorkLog::CopyAsideForRotation() {
  return files_.CopyFile(path_, old_path_).ok();
}

Status WorkLog::RotateIfFull() {
  if (files_.FileSize(path_).value_or(0) <= kWorkLogRotateBytes) return Status::Ok();
  if (!CopyAsideForRotation()) return Status::IoError("cannot copy the full work log aside");
  return files_.WriteFileAtomic(path_, kWorkLogHeader);
}

void WorkLog::UndoFailedAppend(std::optional<std::uint64_t> size_before) {
  const std::optional<std::uint64_t> size_after = files_.FileSize(path_);
  if (!size_after || (size_before && *size_after <= *size_before)) return;
  // The outage notice already covers a failed undo: the lines are kept, and
  // an empty file gets its header with the next write.
  if (!size_before) {
    if (!files_.Remove(path_).ok()) files_.WriteFileAtomic(path_, "").IgnoreError();
    return;
  }
  std::string contents;
  if (files_.ReadFile(path_, &contents).ok() && contents.size() > *size_before) {
    contents.resize(*size_before);
    files_.WriteFileAtomic(path_, contents).IgnoreError();
  }
}

Status WorkLog::AppendToLog(std::string_view lines) {
  const std::optional<std::uint64_t> size = files_.FileSize(path_);
  if (size.value_or(0) > kWorkLogRotateBytes && CopyAsideForRotation()) {
    return files_.WriteFileAtomic(path_, std::string(kWorkLogHeader) + std::string(lines));
  }
  const std::string addition =
      size.value_or(0) == 0 ? std::string(kWorkLogHeader) + std::string(lines) : std::string(lines);
  Status appended = files_.AppendFile(path_, addition);
  if (!appended.ok()) UndoFailedAppend(size);
  return appended;
}

void WorkLog::ReportOutage(const Status& cause) {
  if (ui_ == nullptr || backlog_.outage_reported) return;
  backlog_.outage_reported = true;
  ui_->Notify("Tolvi cannot write its work log " + PathText(path_) + " (" + cause.message() +
              "); the lines are kept and will be written when it can.");
}

void WorkLog::Keep(const std::string& line, const Status& cause) {
  ReportOutage(cause);
  std::string waiting;
  const Status read = files_.ReadFile(pending_path_, &waiting);
  // A pending file that exists but cannot be read must not be replaced.
  if (read.ok() || read.code() == Status::Code::kNotFound) {
    waiting += backlog_.unsaved;
    waiting += line;
    if (files_.WriteFileAtomic(pending_path_, waiting).ok()) {
      backlog_.unsaved.clear();
      return;
    }
  }
  backlog_.unsaved += line;
}

bool WorkLog::WritePending() {
  std::string waiting;
  const Status read = files_.ReadFile(pending_path_, &waiting);
  const bool file_found = read.ok();
  if (!file_found && read.code() != Status::Code::kNotFound) {
    // Later lines must not overtake the ones in the file.
    ReportOutage(read);
    return false;
  }
  waiting += backlog_.unsaved;
  if (waiting.empty()) return true;
  if (const Status written = AppendToLog(waiting); !written.ok()) {
    ReportOutage(written);
    return false;
  }
  backlog_.unsaved.clear();
  backlog_.outage_reported = false;
  // Written: a pending file left behind would write its lines twice.
  if (file_found && !files_.Remove(pending_path_).ok()) {
    if (Status emptied = files_.WriteFileAtomic(pending_path_, ""); !emptied.ok() && ui_) {
      ui_->Notify("Tolvi cannot remove " + PathText(pending_path_) + " (" + emptied.message() +
                  "); the lines in it are in the work log now and will be written there again.");
    }
  }
  return true;
}

LogWriteResult WorkLog::WriteLogLine(std::string_view text, LogLineMode mode) {
  const std::string line = ComposeLine(text, mode);
  if (!WritePending()) {
    Keep(line, Status::IoError("earlier lines are still waiting"));
    return LogWriteResult::kKept;
  }
  if (const Status written = AppendToLog(line); !written.ok()) {
    Keep(line, written);
    return LogWriteResult::kKept;
  }
  backlog_.outage_reported = false;
  return LogWriteResult::kWritten;
}

WorkLog ContextWorkLog(CoreContext& context) REQUIRES(context.state.mutex) {
  return {context.files, context.clock, context.data_directory, context.state.log_backlog,
          context.ui};
}

}  // namespace tolvi
