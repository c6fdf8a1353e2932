// WorkLog: the plain-text work log "dLog.txt" in the data directory, one
// line per closed day plus the summary blocks of "Log Totals". Every line
// ends with CR LF; a new or restarted file begins with the four-line header.
// A log above kWorkLogRotateBytes is copied to "dLogOld.txt" before the next
// line and started afresh.
//
// Lines are appended with FileSystem::AppendFile, so a crash mid-write can
// only lose the line being written, never earlier ones; the restart after
// rotation replaces the file atomically, and only after the old content has
// been copied aside.
//
// Ownership: a cheap view of the data directory holding references to the
// file system and clock ports, which must outlive it; make one where needed.
// Thread safety: any thread, but writers must not overlap (a rotation racing
// another write could copy the fresh file over the old generation). The
// program writes the log only with the shared-state lock held, or at start-up
// before the monitor runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace tolvi {

inline constexpr std::string_view kWorkLogFileName = "dLog.txt";
inline constexpr std::string_view kOldWorkLogFileName = "dLogOld.txt";
// A log larger than this is rotated before the next line; exactly this size
// is still appended to.
inline constexpr std::uint64_t kWorkLogRotateBytes = 1'000'000;
inline constexpr std::string_view kWorkLogHeader = "Tolvi v1.91 Work Log\r\n \r\n#C\r\n \r\n";
inline constexpr std::string_view kLineEnd = "\r\n";
// Widths of the two fields of a stamped line's prefix, in bytes.
inline constexpr std::size_t kStampTimeWidth = 9;
inline constexpr std::size_t kStampDateWidth = 35;
inline constexpr std::string_view kStampSeparator = " : ";

enum class LogLineMode : std::uint32_t {
  kStamped = 0,         // time, date and " : " before the text
  kPlain = 1,           // the text only
  kPlainThenEmpty = 2,  // the text, then an empty line
};

enum class LogWriteResult {
  kWritten,
  kNotWritten,     // the log could not be appended to; the line is lost
  kRestartFailed,  // rotation could not start a new file; the line is lost
};

// "HH MM SS " followed by the long date cut or padded to 35 bytes and " : ".
std::string FormatLogStamp(const LocalTime& time, std::string_view long_date);

class WorkLog {
 public:
  WorkLog(FileSystem& files, Clock& clock, std::filesystem::path data_directory);
  WorkLog(const WorkLog&) = delete;
  WorkLog& operator=(const WorkLog&) = delete;

  // Appends text (which may itself hold CR LF pairs) as one log line.
  LogWriteResult WriteLogLine(std::string_view text, LogLineMode mode);
  // Starts a new log (the old one copied to "dLogOld.txt") when the log is
  // above kWorkLogRotateBytes, as the next WriteLogLine would; nothing
  // otherwise. The day close calls it first, so that its line is a plain
  // append. An error leaves the log as it was.
  Status RotateIfFull();

  const std::filesystem::path& path() const { return path_; }
  const std::filesystem::path& old_path() const { return old_path_; }

 private:
  std::string ComposeLine(std::string_view text, LogLineMode mode);
  // Copies a full log aside; false when the copy failed and the log must
  // keep growing rather than lose its content.
  bool CopyAsideForRotation();

  FileSystem& files_;
  Clock& clock_;
  std::filesystem::path path_;
  std::filesystem::path old_path_;
};

}  // namespace tolvi
