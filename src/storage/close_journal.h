// The day-close journal "TlvClose.jnl": how to put back every file a day
// close is about to change, written atomically before the first change and
// removed once "dTolvi.dat" holds the closed day. A journal found at start
// means the close may be half done; rolling it back returns the files to the
// moment before the close, which then runs again, once.
//
// Format (integers little-endian):
//   "TlvClose"                 8-byte magic
//   u32 version                kCloseJournalVersion
//   u32 total days before      TotalDays of the block before the close
//   u32 n, n bytes             when the close started, as text for the user
//   u32 entry count
//   per entry: u32 action, u32 n, n bytes file name (a plain name in the
//     data directory), then for kRestoreBytes u64 n and n bytes, for
//     kCutToLength u64 length, for kRemove nothing
//   u32 CRC-32 (IEEE, reflected) of every byte before it
// A journal that is short, too long, of another version or whose checksum
// does not match is damaged and never applied.
//
// Threads: any; callers keep a close and its journal under the state lock.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/status.h"

namespace tolvi {

inline constexpr std::string_view kCloseJournalFileName = "TlvClose.jnl";
inline constexpr std::string_view kCloseJournalMagic = "TlvClose";
inline constexpr std::uint32_t kCloseJournalVersion = 1;

enum class JournalAction : std::uint32_t {
  kRestoreBytes = 1,  // write `bytes` as the whole file
  kCutToLength = 2,   // keep only the first `length` bytes
  kRemove = 3,        // the file did not exist: remove it
};

struct JournalEntry {
  std::string file_name;
  JournalAction action = JournalAction::kRestoreBytes;
  std::string bytes;
  std::uint64_t length = 0;

  bool operator==(const JournalEntry&) const = default;
};

struct CloseJournal {
  std::uint32_t total_days_before = 0;
  std::string started;
  std::vector<JournalEntry> entries;

  bool operator==(const CloseJournal&) const = default;
};

std::uint32_t Crc32(std::string_view bytes);

std::string EncodeCloseJournal(const CloseJournal& journal);
// Nothing when the bytes are not a whole, undamaged journal of this version
// or an entry names anything but a plain file name.
std::optional<CloseJournal> DecodeCloseJournal(std::string_view bytes);

std::filesystem::path CloseJournalPath(const std::filesystem::path& data_directory);
Status WriteCloseJournal(FileSystem& files, const std::filesystem::path& data_directory,
                         const CloseJournal& journal);

// Puts every file back as the journal says; stops at the first failure.
Status ApplyCloseJournal(FileSystem& files, const std::filesystem::path& data_directory,
                         const CloseJournal& journal);

// After "dTolvi.dat" was saved holding `saved_total_days`: removes the
// journal when the saved block is past the close it guards (a close always
// adds at least one day). A save of a block taken before the close leaves
// it. Ok when there is no journal.
Status ForgetCloseJournalIfSaved(FileSystem& files, const std::filesystem::path& data_directory,
                                 std::uint32_t saved_total_days);

enum class RollbackOutcome {
  kNothingToDo,  // no journal
  kRolledBack,   // files put back, journal removed
  kDamagedKeptAside,
  kFailed,  // the files could not all be put back; the journal stays
};

// At start, before the data file is read: undoes an interrupted close.
// Appends what the user should know to `notices`.
RollbackOutcome RollBackInterruptedClose(FileSystem& files, Clock& clock,
                                         const std::filesystem::path& data_directory,
                                         std::vector<std::string>& notices);

}  // namespace tolvi
