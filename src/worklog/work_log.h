// WorkLog: the plain-text work log "dLog.txt" in the data directory, one
// line per closed day plus the summary blocks of "Log Totals". Every line
// ends with CR LF; a new or restarted file begins with the four-line header.
// A log above kWorkLogRotateBytes is copied to "dLogOld.txt" before the next
// line and started afresh.
//
// Lines are appended with FileSystem::AppendFile, so a crash mid-write can
// only lose the line being written, never earlier ones; the restart after
// rotation replaces the file atomically, and only after the old content has
// been copied aside. A failed append is undone as far as the file system
// allows, so a log created by a failed first write does not stay behind
// empty (and without its header).
//
// A line the log cannot take (the file unwritable, the disk full) is kept:
// appended to "dLog.txt Pending" in the data directory by an atomic
// replace, or, when even that fails, held in the WorkLogBacklog. Every
// later write, and WritePending, first writes the kept lines in order and
// only then forgets them. The user hears of each outage once, through
// Ui::Notify, when the view has a Ui.
//
// Ownership: a cheap view of the data directory holding references to the
// file system and clock ports, the backlog and the Ui, which must outlive
// it; make one where needed. The program's backlog lives in the shared
// state (ContextWorkLog); a view made without one keeps its own, which
// dies with it.
// Thread safety: any thread, but writers must not overlap (a rotation racing
// another write could copy the fresh file over the old generation). The
// program writes the log only with the shared-state lock held, or at start-up
// before the monitor runs; the same lock guards the program's backlog.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/status.h"
#include "platform/ui.h"
#include "state/shared_state.h"

namespace tolvi {

struct CoreContext;

inline constexpr std::string_view kWorkLogFileName = "dLog.txt";
inline constexpr std::string_view kOldWorkLogFileName = "dLogOld.txt";
// Lines waiting for the log, oldest first, exactly as they will be written.
inline constexpr std::string_view kPendingWorkLogFileName = "dLog.txt Pending";
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
  kKept,  // the log could not take it yet; it waits with the pending lines
};

// "HH MM SS " followed by the long date cut or padded to 35 bytes and " : ".
std::string FormatLogStamp(const LocalTime& time, std::string_view long_date);

class WorkLog {
 public:
  // A view with a backlog of its own and nobody to tell of an outage.
  WorkLog(FileSystem& files, Clock& clock, const std::filesystem::path& data_directory);
  WorkLog(FileSystem& files, Clock& clock, const std::filesystem::path& data_directory,
          WorkLogBacklog& backlog, Ui& ui);
  WorkLog(const WorkLog&) = delete;
  WorkLog& operator=(const WorkLog&) = delete;

  // Appends text (which may itself hold CR LF pairs) as one log line, after
  // any kept lines.
  LogWriteResult WriteLogLine(std::string_view text, LogLineMode mode);
  // Starts a new log (the old one copied to "dLogOld.txt") when the log is
  // above kWorkLogRotateBytes, as the next WriteLogLine would; nothing
  // otherwise. The day close calls it first, so that its line is a plain
  // append. An error leaves the log as it was.
  Status RotateIfFull();
  // Writes the kept lines, if any. True when none are left waiting.
  bool WritePending();

  [[nodiscard]] const std::filesystem::path& path() const { return path_; }
  [[nodiscard]] const std::filesystem::path& old_path() const { return old_path_; }
  [[nodiscard]] const std::filesystem::path& pending_path() const { return pending_path_; }

 private:
  std::string ComposeLine(std::string_view text, LogLineMode mode);
  // Copies a full log aside; false when the copy failed and the log must
  // keep growing rather than lose its content.
  bool CopyAsideForRotation();
  // Adds already composed lines to the log: the header first in a new or
  // empty file, rotating a full one.
  Status AppendToLog(std::string_view lines);
  // Takes back what a failed append left of `lines` in a log that had
  // `size_before` bytes (none: it did not exist).
  void UndoFailedAppend(std::optional<std::uint64_t> size_before);
  // Adds a line to the waiting ones: the pending file, else the backlog.
  void Keep(const std::string& line, const Status& cause);
  void ReportOutage(const Status& cause);

  FileSystem& files_;
  Clock& clock_;
  WorkLogBacklog own_backlog_;
  WorkLogBacklog& backlog_;
  Ui* ui_ = nullptr;
  std::filesystem::path path_;
  std::filesystem::path old_path_;
  std::filesystem::path pending_path_;
};

// The program's log: the context's ports and data directory, and the
// backlog in its shared state. Call with the shared-state lock held.
WorkLog ContextWorkLog(CoreContext& context);

}  // namespace tolvi
