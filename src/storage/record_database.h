// RecordDatabase: the single-file record store of "TlvDB.lbf" (magic
// "DATA1000"): fixed-size slots of typed fields, memory-mapped while open,
// growing and shrinking itself, with compaction, a stable sort by one field
// and a case-insensitive substring search.
//
// Byte layout (little-endian u32): magic at 0, field count at 1356, capacity
// at 1360, the field table (type code, slot-0 offset) at 1444, then the slots:
// a u32 status (0 never used, 5 deleted, 10 live) and the fields packed.
//
// Everything read from the file is untrusted: Open validates the header,
// the field table and the size before any slot is touched, and rejects a bad
// file with Status::Corruption without changing it.
//
// Thread safety: every public operation takes the handle's own lock, so the
// monitor thread and the GUI thread may call it at once. Slot numbers stay
// valid across calls, addresses into the file never leave this class.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/status.h"

namespace tolvi {

enum class SlotStatus : std::uint32_t { kNeverUsed = 0, kDeleted = 5, kLive = 10 };

// Field type codes as stored in the field table: below 10 numeric, 10 and
// above text (any unknown text code is a 64-byte text).
namespace field_type {
inline constexpr std::uint32_t kNumber8 = 0;
inline constexpr std::uint32_t kNumber16 = 1;
inline constexpr std::uint32_t kNumber32 = 2;
inline constexpr std::uint32_t kText4 = 10;
inline constexpr std::uint32_t kText16 = 11;
inline constexpr std::uint32_t kText64 = 12;
inline constexpr std::uint32_t kText300 = 13;
inline constexpr std::uint32_t kText1000 = 14;
inline constexpr std::uint32_t kText5000 = 15;
}  // namespace field_type

// Compares two texts in the user's collation: <0, 0 or >0.
using Collator = std::function<int(std::string_view, std::string_view)>;
// The collation of the user's locale (std::locale("")), falling back to
// byte order when the environment names no usable locale.
Collator UserLocaleCollator();

class RecordDatabase {
 public:
  explicit RecordDatabase(FileSystem& files, Collator collator = UserLocaleCollator());
  ~RecordDatabase();
  RecordDatabase(const RecordDatabase&) = delete;
  RecordDatabase& operator=(const RecordDatabase&) = delete;

  // Creates (or truncates) a file with the given field types and capacity 10,
  // then leaves it closed. Fields are numbered from 1 in this order.
  Status Create(const std::filesystem::path& path, std::span<const std::uint32_t> field_types);
  // Opens and validates an existing file; an open handle is closed first.
  Status Open(const std::filesystem::path& path, bool writable);
  // Flushes and closes; harmless when closed.
  void Close();

  bool is_open() const;
  bool writable() const;
  std::filesystem::path path() const;
  std::uint32_t capacity() const;
  std::uint32_t live_count() const;
  std::uint32_t field_count() const;
  std::uint32_t record_size() const;
  // Set when compaction ran out of its move budget; the text says how far.
  bool busy() const;
  std::string busy_text() const;

  // Takes the lowest free slot (after growing or shrinking the file) and
  // makes it live; its old field contents stay. -1 when closed or read-only.
  std::int32_t NewRecord();
  bool SetRecordStatus(std::int32_t slot, SlotStatus status);

  // Field access fails (nullopt / false) when closed, for field 0 or a field
  // or slot out of range, and while no record is live.
  std::optional<std::uint32_t> ReadNumber(std::int32_t slot, std::uint32_t field) const;
  std::optional<std::string> ReadText(std::int32_t slot, std::uint32_t field) const;
  bool WriteNumber(std::int32_t slot, std::uint32_t field, std::uint32_t value);
  bool WriteText(std::int32_t slot, std::uint32_t field, std::string_view text);

  // First slot at or after start whose status matches; -1 when none.
  std::int32_t FirstRecordWithStatus(SlotStatus status, std::int32_t start) const;
  // First live slot after slot; slot itself when there is none.
  std::int32_t NextLiveRecord(std::int32_t slot) const;
  // Every live slot, in slot order.
  std::vector<std::int32_t> LiveRecords() const;
  // First live slot after start that matches key in any field; -1 when none.
  std::int32_t FindRecord(std::int32_t start, std::string_view key) const;
  // Compacts, then sorts live records by the field (numbers as decimal
  // text), stably. False when nothing was done.
  bool SortRecords(std::uint32_t field);
  // Moves live records towards the front; returns the unspent move budget.
  std::uint32_t CompactRecords();
  // Grows or shrinks the file by the capacity rules; true if still open.
  bool MaintainCapacity();

 private:
  struct State;
  mutable std::mutex mutex_;
  std::unique_ptr<State> state_;
};

}  // namespace tolvi
