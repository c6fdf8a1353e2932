#include "worklog/work_log.h"

#include <cstdio>
#include <utility>

#include "storage/text.h"

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

WorkLog::WorkLog(FileSystem& files, Clock& clock, std::filesystem::path data_directory)
    : files_(files),
      clock_(clock),
      path_(data_directory / kWorkLogFileName),
      old_path_(std::move(data_directory) / kOldWorkLogFileName) {}

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

LogWriteResult WorkLog::WriteLogLine(std::string_view text, LogLineMode mode) {
  const std::string line = ComposeLine(text, mode);
  const std::uint64_t size = files_.FileSize(path_).value_or(0);

  if (size > kWorkLogRotateBytes && CopyAsideForRotation()) {
    const std::string fresh = std::string(kWorkLogHeader) + line;
    return files_.WriteFileAtomic(path_, fresh).ok() ? LogWriteResult::kWritten
                                                     : LogWriteResult::kRestartFailed;
  }
  const std::string addition = size == 0 ? std::string(kWorkLogHeader) + line : line;
  return files_.AppendFile(path_, addition).ok() ? LogWriteResult::kWritten
                                                 : LogWriteResult::kNotWritten;
}

}  // namespace tolvi
