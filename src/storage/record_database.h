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
// file with Status::Corruption without changing it. After that every slot and
// field lies inside the mapping, so no file can make an access stray. A file
// may claim at most kMaxCapacity slots ending within kMaxDatabaseBytes, and
// be at most kMaxTrailingBytes longer than its slots.
//
// Crash safety: whatever moves records or changes the capacity (growth,
// shrinking, compaction, sorting) builds the new file in memory from the
// current bytes, replaces the file atomically and maps the new one. A crash
// at any point leaves the old file or the new one, never a mix; a failure
// (full disk, failed rename or map) leaves the handle and the records as they
// were, and last_error() says why. Field writes go straight to the mapping.
//
// Slot statuses: 10 is live; below 10 is free (NewRecord reuses only 0 and 5);
// any other value is left alone, never moved, reused or cut off.
//
// Thread safety: every public operation takes the handle's own lock, so the
// monitor thread and the GUI thread may call it at once. Addresses into the
// file never leave this class. Slot numbers stay valid across calls except
// those that move records: NewRecord (when it compacts before shrinking),
// CompactRecords and SortRecords.
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

// How the user is told that a write to the work-type records failed; the
// Status message follows.
inline constexpr std::string_view kRecordWriteFailedText =
    "Tolvi cannot write to its work-type database: ";

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
// byte order when the environment names no usable locale. A database given
// an empty collator uses byte order too.
Collator UserLocaleCollator();

class RecordDatabase {
 public:
  // Moves one compaction may make before it gives up and reports busy.
  static constexpr std::uint32_t kMoveBudget = 500000;
  // What a file may claim: enough for 100,000 work types and their growth
  // margin, and no more bytes than any data file is allowed.
  static constexpr std::uint32_t kMaxCapacity = 131072;
  static constexpr std::uint64_t kMaxDatabaseBytes = kMaxReadBytes;
  // Files made by any version end a few kilobytes past their slots at most.
  static constexpr std::uint64_t kMaxTrailingBytes = std::uint64_t{1024} * 1024;

  explicit RecordDatabase(FileSystem& files, Collator collator = UserLocaleCollator());
  ~RecordDatabase();
  RecordDatabase(const RecordDatabase&) = delete;
  RecordDatabase& operator=(const RecordDatabase&) = delete;

  // Creates (or atomically replaces) a file with the given field types and
  // capacity 10, then leaves it closed; an open handle is closed first.
  // Fields are numbered from 1 in this order. InvalidArgument for no fields,
  // too many, a type code with the top bit set, or records so large that
  // the file would break the size limits.
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
  // Why the last NewRecord, SortRecords, CompactRecords or MaintainCapacity
  // failed; Ok after one that succeeded (or had nothing to do).
  Status last_error() const;

  // Takes the lowest free slot (after growing or shrinking the file) and
  // makes it live; its old field contents stay. -1 when closed or read-only,
  // when the file cannot be resized (nothing changed), or when every slot is
  // taken at kMaxCapacity; last_error() says which.
  std::int32_t NewRecord();
  // Fails when closed, read-only or the slot is out of range.
  Status SetRecordStatus(std::int32_t slot, SlotStatus status);

  // Field access fails (nullopt / a failed Status) when closed, for field 0 or a field
  // or slot out of range, for a field of the other kind (number or text),
  // while no record is live, and for writes when opened read-only. Narrow
  // number fields read unsigned and store the value's low bits. Texts read
  // stop at a zero or one byte before the field's end; texts written are cut
  // to fit on a UTF-8 character boundary and the rest of the field is zeroed.
  std::optional<std::uint32_t> ReadNumber(std::int32_t slot, std::uint32_t field) const;
  std::optional<std::string> ReadText(std::int32_t slot, std::uint32_t field) const;
  Status WriteNumber(std::int32_t slot, std::uint32_t field, std::uint32_t value);
  Status WriteText(std::int32_t slot, std::uint32_t field, std::string_view text);

  // Every live slot, in slot order.
  std::vector<std::int32_t> LiveRecords() const;
  // First live slot after start (start + 1 on, so slot 0 is never examined
  // from start 0; pass -1 to include it) that matches key in any field, last
  // field first: a number field equal to the key's decimal value (a key
  // value of 0 matches none), or a text field containing the key, ASCII
  // letters compared without case, where bytes from '{' up never match and
  // a mismatch restarts the key at the next byte of the field. An empty key
  // matches any text field. -1 when none.
  std::int32_t FindRecord(std::int32_t start, std::string_view key) const;
  // Compacts, then sorts live records by the field with the collator
  // (numbers as signed decimal text, so 10 sorts before 9), stably: equal
  // keys keep their order. Only runs of adjacent live slots are reordered.
  // Fails when closed, read-only, for a field out of range, or when the file
  // could not be rewritten: then the records are exactly as before. With
  // capacity 2 or less or no live record there is nothing to sort (Ok). The
  // file is not rewritten when nothing moves.
  Status SortRecords(std::uint32_t field);
  // Moves live records into the free slots before them, keeping their
  // order; returns the unspent move budget. When the budget runs out the
  // handle turns busy and the records stay valid but partly compacted. When
  // the file cannot be rewritten nothing moves and the result is 0.
  std::uint32_t CompactRecords();
  // Grows or shrinks the file by the capacity rules (nothing while no record
  // is live, no growth past kMaxCapacity); true if open. A failed resize
  // changes nothing and sets last_error().
  bool MaintainCapacity();

 private:
  struct State;
  mutable std::mutex mutex_;
  std::unique_ptr<State> state_;
};

}  // namespace tolvi
