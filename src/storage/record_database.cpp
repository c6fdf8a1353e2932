#include "storage/record_database.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <locale>
#include <new>
#include <numeric>
#include <stdexcept>
#include <utility>

#include "text/text.h"

namespace tolvi {
namespace {

// File layout.
constexpr std::string_view kMagic = "DATA1000";
constexpr std::size_t kMagicOffset = 0;
constexpr std::size_t kValueOneOffset = 608;
constexpr std::uint32_t kValueOne = 1;
constexpr std::size_t kValueTwoOffset = 1352;
constexpr std::size_t kFieldCountOffset = 1356;
constexpr std::size_t kCapacityOffset = 1360;
constexpr std::size_t kSecondValueTwoOffset = 1364;
constexpr std::uint32_t kValueTwo = 2;
constexpr std::size_t kFieldTableOffset = 1444;
constexpr std::size_t kFieldEntrySize = 8;
constexpr std::size_t kFieldEntryOffsetHalf = 4;
constexpr std::size_t kReservedZeroBytes = 5000;
constexpr std::uint32_t kCreatedZeroSlots = 15;
constexpr std::uint32_t kInitialCapacity = 10;
constexpr std::uint32_t kStatusSize = 4;

// Slot statuses as stored.
constexpr std::uint32_t kStatusNeverUsed = static_cast<std::uint32_t>(SlotStatus::kNeverUsed);
constexpr std::uint32_t kStatusDeleted = static_cast<std::uint32_t>(SlotStatus::kDeleted);
constexpr std::uint32_t kStatusLive = static_cast<std::uint32_t>(SlotStatus::kLive);

// Capacity rules.
constexpr std::uint32_t kMinGrowth = 10;
constexpr std::uint32_t kGrowthDivisor = 16;
constexpr std::uint64_t kGrowAbovePercent = 90;
constexpr std::uint32_t kMinFreeSlots = 10;
constexpr std::uint64_t kShrinkBelowPercent = 70;
constexpr std::uint32_t kShrinkAboveCapacity = 50;
constexpr std::uint32_t kLargeCapacity = 100;
constexpr std::uint32_t kSmallShrink = 10;

// Sanity limits on what a file may claim; the capacity and size limits are
// public (RecordDatabase::kMax...). Type codes with the top bit set would
// read as numeric or text depending on signedness, so they are not accepted.
constexpr std::uint32_t kMaxFieldCount = 4096;
constexpr std::uint32_t kMaxCapacity = RecordDatabase::kMaxCapacity;
constexpr std::uint64_t kMaxDatabaseBytes = RecordDatabase::kMaxDatabaseBytes;
constexpr std::uint64_t kMaxTrailingBytes = RecordDatabase::kMaxTrailingBytes;
constexpr std::uint32_t kFirstTextType = 10;
constexpr std::uint32_t kTypeCodeLimit = 0x80000000U;

constexpr std::string_view kBusyPrefix = "Database is sorting; ";
constexpr std::string_view kBusySeparator = " \\ ";

std::uint32_t FieldSize(std::uint32_t type) {
  switch (type) {
    case field_type::kNumber8:
      return 1;
    case field_type::kNumber16:
      return 2;
    case field_type::kNumber32:
      return 4;
    case 3:
      return 8;
    case 4:
      return 16;
    case field_type::kText4:
      return 4;
    case field_type::kText16:
      return 16;
    case field_type::kText300:
      return 300;
    case field_type::kText1000:
      return 1000;
    case field_type::kText5000:
      return 5000;
    default:
      return 64;  // numbers 5 to 9, text 12 and every unknown text code
  }
}

bool IsNumeric(std::uint32_t type) {
  return type < kFirstTextType;
}

std::uint32_t LoadU32(const std::byte* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}

void StoreU32(std::byte* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::byte>((value >> (8 * i)) & 0xFFU);
}

struct Field {
  std::uint32_t type = 0;
  std::uint32_t offset = 0;  // from the start of the slot
  std::uint32_t size = 0;
};

struct Layout {
  std::vector<Field> fields;
  std::uint32_t capacity = 0;
  std::uint64_t first_slot = 0;
  std::uint32_t record_size = 0;
};

// Fills in the packed offsets and the record size. Callers bound the field
// count, so the sum stays far below 2^32.
void PackFields(std::span<const std::uint32_t> types, Layout& layout) {
  layout.first_slot = kFieldTableOffset + kFieldEntrySize * types.size();
  std::uint32_t offset = kStatusSize;
  layout.fields.clear();
  for (const std::uint32_t type : types) {
    layout.fields.push_back({type, offset, FieldSize(type)});
    offset += FieldSize(type);
  }
  layout.record_size = offset;
}

Status Reject(const std::string& why) {
  return Status::Corruption("Bad record database: " + why);
}

std::uint64_t SlotsEnd(const Layout& layout, std::uint32_t slots) {
  return layout.first_slot + std::uint64_t{layout.record_size} * slots;
}

// What a file of file_size bytes with this layout may claim. The limits keep
// a hostile header from costing more than one database's worth of memory
// when the file is copied to be rewritten.
Status CheckClaims(const Layout& layout, std::uint64_t file_size) {
  const std::uint64_t slots_end = SlotsEnd(layout, layout.capacity);
  if (slots_end > kMaxDatabaseBytes) return Reject("slots larger than 64 MiB");
  if (file_size < slots_end) return Reject("shorter than its slots");
  if (file_size - slots_end > kMaxTrailingBytes) return Reject("far longer than its slots");
  return Status::Ok();
}

// Checks everything the rest of the engine relies on: after this, every slot
// 0..capacity-1 and every field in it lies inside `file`.
Status ReadLayout(std::span<const std::byte> file, Layout& layout) {
  if (file.size() < kFieldTableOffset) return Reject("shorter than its header");
  if (std::memcmp(file.data() + kMagicOffset, kMagic.data(), kMagic.size()) != 0) {
    return Reject("wrong magic");
  }
  const std::uint32_t field_count = LoadU32(file.data() + kFieldCountOffset);
  const std::uint32_t capacity = LoadU32(file.data() + kCapacityOffset);
  if (field_count == 0 || field_count > kMaxFieldCount) return Reject("bad field count");
  if (capacity == 0) return Reject("no slots");
  if (capacity > kMaxCapacity) return Reject("more than 131072 slots");
  const std::uint64_t table_end = kFieldTableOffset + std::uint64_t{kFieldEntrySize} * field_count;
  if (file.size() < table_end) return Reject("field table cut off");

  std::vector<std::uint32_t> types(field_count);
  for (std::uint32_t i = 0; i < field_count; ++i) {
    types[i] = LoadU32(file.data() + kFieldTableOffset + kFieldEntrySize * i);
    if (types[i] >= kTypeCodeLimit) return Reject("bad field type");
  }
  PackFields(types, layout);
  for (std::uint32_t i = 0; i < field_count; ++i) {
    const std::uint32_t recorded =
        LoadU32(file.data() + kFieldTableOffset + kFieldEntrySize * i + kFieldEntryOffsetHalf);
    if (recorded != layout.first_slot + layout.fields[i].offset) return Reject("bad field offset");
  }
  layout.capacity = capacity;
  return CheckClaims(layout, file.size());
}

std::uint64_t NewFileSize(const Layout& layout) {
  return std::max<std::uint64_t>(kFieldTableOffset + kReservedZeroBytes,
                                 SlotsEnd(layout, kCreatedZeroSlots));
}

std::string NewFileImage(const Layout& layout) {
  std::string image(NewFileSize(layout), '\0');
  auto* bytes = reinterpret_cast<std::byte*>(image.data());
  std::memcpy(bytes + kMagicOffset, kMagic.data(), kMagic.size());
  StoreU32(bytes + kValueOneOffset, kValueOne);
  StoreU32(bytes + kValueTwoOffset, kValueTwo);
  StoreU32(bytes + kFieldCountOffset, static_cast<std::uint32_t>(layout.fields.size()));
  StoreU32(bytes + kCapacityOffset, kInitialCapacity);
  StoreU32(bytes + kSecondValueTwoOffset, kValueTwo);
  for (std::size_t i = 0; i < layout.fields.size(); ++i) {
    std::byte* entry = bytes + kFieldTableOffset + kFieldEntrySize * i;
    StoreU32(entry, layout.fields[i].type);
    StoreU32(entry + kFieldEntryOffsetHalf,
             static_cast<std::uint32_t>(layout.first_slot + layout.fields[i].offset));
  }
  return image;
}

int CompareBytes(std::string_view a, std::string_view b) {
  return a.compare(b);
}

// A search key compiled for the text walk: at each key position the one or
// two field bytes that continue a match (both cases of an ASCII letter).
// Field bytes from '{' up never match, so a key holding one can match no text.
class SearchKey {
 public:
  explicit SearchKey(std::string_view key) : number_(ParseDecimal(key)) {
    for (const char c : key) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= kNeverMatches) impossible_ = true;
      const bool letter = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
      accepted_.push_back({byte, letter ? static_cast<unsigned char>(byte ^ kCaseBit) : byte});
    }
  }

  // The key's decimal value; 0 matches no number field.
  [[nodiscard]] std::uint32_t number() const { return number_; }

  // Walks the zero-terminated text of at most max bytes. A mismatch restarts
  // the key at the next byte; the mismatching byte is not tried again.
  bool FoundIn(const unsigned char* text, std::size_t max) const {
    if (accepted_.empty()) return true;
    if (impossible_) return false;
    std::size_t k = 0;
    for (const unsigned char* end = text + max; text != end && *text != 0; ++text) {
      if (*text == accepted_[k][0] || *text == accepted_[k][1]) {
        if (++k == accepted_.size()) return true;
      } else {
        k = 0;
      }
    }
    return false;
  }

 private:
  static constexpr unsigned char kNeverMatches = '{';
  static constexpr unsigned char kCaseBit = 0x20;
  std::uint32_t number_;
  bool impossible_ = false;
  std::vector<std::array<unsigned char, 2>> accepted_;
};

std::uint32_t NumberIn(const std::byte* record, const Field& f) {
  const std::byte* at = record + f.offset;
  if (f.size == 1) return static_cast<std::uint32_t>(at[0]);
  if (f.size == 2) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8);
  }
  return LoadU32(at);
}

// The stored text without its terminator; the last byte of the field is
// never part of it.
std::string_view RawTextIn(const std::byte* record, const Field& f) {
  const auto* at = reinterpret_cast<const char*>(record + f.offset);
  const std::size_t max = f.size - 1;
  const auto* end = std::find(at, at + max, '\0');
  return {at, static_cast<std::size_t>(end - at)};
}

// The slots of a file image being rebuilt in memory. Reordering works on a
// copy so that the file on disk is only ever replaced whole.
class SlotImage {
 public:
  SlotImage(std::string& image, const Layout& layout)
      : base_(reinterpret_cast<std::byte*>(image.data())), layout_(layout) {}

  [[nodiscard]] std::uint32_t capacity() const { return layout_.capacity; }
  [[nodiscard]] std::byte* Slot(std::uint32_t slot) const {
    return base_ + layout_.first_slot + std::uint64_t{slot} * layout_.record_size;
  }
  [[nodiscard]] std::uint32_t StatusOf(std::uint32_t slot) const { return LoadU32(Slot(slot)); }
  void SetStatus(std::uint32_t slot, std::uint32_t status) { StoreU32(Slot(slot), status); }
  void Copy(std::uint32_t from, std::uint32_t to) {
    std::memcpy(Slot(to), Slot(from), layout_.record_size);
  }

 private:
  std::byte* base_;
  const Layout& layout_;
};

struct Compaction {
  std::uint32_t budget = RecordDatabase::kMoveBudget;  // unspent
  std::uint32_t moves = 0;                             // records moved
  std::string busy_text;                               // empty unless the budget ran out
};

// Moves live records into the free slots before them, keeping their order.
// The literal scheme moves a record one free slot back per move until it
// reaches the first of them, so a record costs as many moves as there are
// free slots before it; this reaches the same result in one pass.
Compaction Compact(SlotImage& slots) {
  Compaction done;
  std::vector<std::uint32_t> free_slots;  // not yet filled, in slot order
  std::size_t head = 0;
  for (std::uint32_t s = 0; s < slots.capacity(); ++s) {
    const std::uint32_t status = slots.StatusOf(s);
    if (status < kStatusLive) {
      free_slots.push_back(s);
      continue;
    }
    if (status != kStatusLive || head == free_slots.size()) continue;
    const std::size_t waiting = free_slots.size() - head;
    std::uint32_t target = 0;
    if (waiting <= done.budget) {
      target = free_slots[head++];
      done.budget -= static_cast<std::uint32_t>(waiting);
    } else {
      target = free_slots[free_slots.size() - done.budget];
      done.budget = 0;
    }
    slots.Copy(s, target);  // the status comes along: target is live
    slots.SetStatus(s, kStatusDeleted);
    free_slots.push_back(s);
    ++done.moves;
    if (done.budget == 0) {
      done.busy_text = std::string(kBusyPrefix) + std::to_string(s) + std::string(kBusySeparator) +
                       std::to_string(slots.capacity());
      break;
    }
  }
  return done;
}

std::string SortKey(const std::byte* record, const Field& f) {
  if (IsNumeric(f.type)) return FormatDecimal(static_cast<std::int32_t>(NumberIn(record, f)));
  return FieldText(RawTextIn(record, f));
}

// Puts slot begin + order[k] at begin + k, one cycle at a time.
void Permute(SlotImage& slots, std::uint32_t begin, const std::vector<std::uint32_t>& order,
             std::vector<std::byte>& buffer) {
  std::vector<bool> placed(order.size(), false);
  for (std::uint32_t i = 0; i < order.size(); ++i) {
    if (placed[i] || order[i] == i) continue;
    std::memcpy(buffer.data(), slots.Slot(begin + i), buffer.size());
    std::uint32_t j = i;
    while (order[j] != i) {
      slots.Copy(begin + order[j], begin + j);
      placed[j] = true;
      j = order[j];
    }
    std::memcpy(slots.Slot(begin + j), buffer.data(), buffer.size());
    placed[j] = true;
  }
}

// Sorts the adjacent live slots [begin, end) stably. Only neighbours that
// are both live are ever compared, so each such run is ordered on its own.
// True if anything moved.
bool SortRun(SlotImage& slots, std::uint32_t begin, std::uint32_t end, const Field& f,
             const Collator& collator, std::vector<std::byte>& buffer) {
  const std::uint32_t count = end - begin;
  if (count < 2) return false;
  std::vector<std::string> keys;
  keys.reserve(count);
  for (std::uint32_t s = begin; s < end; ++s) keys.push_back(SortKey(slots.Slot(s), f));
  std::vector<std::uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0U);
  std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return collator(keys[a], keys[b]) < 0;
  });
  if (std::is_sorted(order.begin(), order.end())) return false;
  Permute(slots, begin, order, buffer);
  return true;
}

// True if anything moved.
bool SortLiveRuns(SlotImage& slots, const Field& f, const Collator& collator,
                  std::uint32_t record_size) {
  std::vector<std::byte> buffer(record_size);
  bool moved = false;
  std::uint32_t s = 0;
  while (s < slots.capacity()) {
    if (slots.StatusOf(s) != kStatusLive) {
      ++s;
      continue;
    }
    std::uint32_t end = s;
    while (end < slots.capacity() && slots.StatusOf(end) == kStatusLive) ++end;
    moved = SortRun(slots, s, end, f, collator, buffer) || moved;
    s = end;
  }
  return moved;
}

Status OutOfMemory() {
  return Status::IoError("Not enough memory to rewrite the record database");
}

Status NotWritable() {
  return Status::InvalidArgument("The record database is not open for writing");
}

Status NoSuchField(std::int32_t slot, std::uint32_t field) {
  return Status::InvalidArgument("The record database has no field " + std::to_string(field) +
                                 " of that kind in record " + std::to_string(slot));
}

}  // namespace

Collator UserLocaleCollator() {
  std::locale locale;
  try {
    locale = std::locale("");
  } catch (const std::runtime_error&) {
    return CompareBytes;
  }
  const auto* facet = &std::use_facet<std::collate<char>>(locale);
  // The captured locale keeps the facet alive.
  return [locale, facet](std::string_view a, std::string_view b) {
    return facet->compare(a.data(), a.data() + a.size(), b.data(), b.data() + b.size());
  };
}

struct RecordDatabase::State {
  State(FileSystem& file_system, Collator compare)
      : files(file_system), collator(compare ? std::move(compare) : Collator(CompareBytes)) {}

  FileSystem& files;
  Collator collator;
  std::filesystem::path path;
  std::unique_ptr<MappedFile> file;
  std::byte* base = nullptr;  // file->bytes().data(), refreshed whenever the file is replaced
  bool writable = false;
  Layout layout;
  std::vector<Field> number_fields;  // the layout's fields split by kind
  std::vector<Field> text_fields;
  std::uint32_t live_count = 0;  // status 10
  std::uint32_t used_count = 0;  // status above 9
  // No slot below this one has status 0 or 5.
  std::uint32_t free_hint = 0;
  bool busy = false;
  std::string busy_text;
  Status last_error;

  [[nodiscard]] bool is_open() const { return file != nullptr; }
  [[nodiscard]] std::uint32_t capacity() const { return layout.capacity; }
  [[nodiscard]] std::uint32_t record_size() const { return layout.record_size; }

  [[nodiscard]] std::byte* Slot(std::uint32_t slot) const {
    return base + layout.first_slot + std::uint64_t{slot} * layout.record_size;
  }
  [[nodiscard]] std::uint32_t StatusOf(std::uint32_t slot) const { return LoadU32(Slot(slot)); }

  void SetStatus(std::uint32_t slot, std::uint32_t status) {
    Forget(StatusOf(slot));
    StoreU32(Slot(slot), status);
    Count(status);
    if (status == kStatusNeverUsed || status == kStatusDeleted) {
      free_hint = std::min(free_hint, slot);
    }
  }

  void Count(std::uint32_t status) {
    if (status == kStatusLive) ++live_count;
    if (status >= kStatusLive) ++used_count;
  }
  void Forget(std::uint32_t status) {
    if (status == kStatusLive) --live_count;
    if (status >= kStatusLive) --used_count;
  }
  void CountAll() {
    live_count = 0;
    used_count = 0;
    for (std::uint32_t s = 0; s < capacity(); ++s) Count(StatusOf(s));
    free_hint = 0;
  }

  void Close() {
    // Unmapping leaves the written pages to the system, so a failed flush
    // here loses nothing.
    if (file && writable) file->Flush().IgnoreError();
    file.reset();
    base = nullptr;
    writable = false;
    layout = Layout{};
    number_fields.clear();
    text_fields.clear();
    live_count = 0;
    used_count = 0;
    free_hint = 0;
    busy = false;
    busy_text.clear();
  }

  Status Open(const std::filesystem::path& file_path, bool want_writable) {
    Close();
    Status status;
    std::unique_ptr<MappedFile> mapped = files.OpenMapped(file_path, want_writable, &status);
    if (!mapped) {
      return status.ok() ? Status::IoError("Cannot open " + PathText(file_path)) : status;
    }
    Layout read;
    if (Status valid = ReadLayout(mapped->bytes(), read); !valid.ok()) return valid;
    writable = want_writable && mapped->writable();
    path = file_path;
    Adopt(std::move(mapped), std::move(read));
    return Status::Ok();
  }

  void Adopt(std::unique_ptr<MappedFile> mapped, Layout read) {
    file = std::move(mapped);
    base = file->bytes().data();
    layout = std::move(read);
    SplitFields();
    CountAll();
  }

  // The whole file as it is now, to be rebuilt and written back whole.
  [[nodiscard]] std::string CopyOfFile() const {
    const std::span<const std::byte> bytes = file->bytes();
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
  }

  // Maps the file at path again if it holds exactly `image`.
  bool Remap(const std::string& image, Status* why) {
    std::unique_ptr<MappedFile> mapped = files.OpenMapped(path, true, why);
    if (!mapped) return false;
    Layout read;
    if (!mapped->writable() || mapped->bytes().size() != image.size() ||
        !ReadLayout(mapped->bytes(), read).ok()) {
      *why = Status::IoError("The rewritten " + PathText(path) + " does not read back");
      return false;
    }
    Adopt(std::move(mapped), std::move(read));
    return true;
  }

  // Replaces the file with image (same layout, possibly another capacity)
  // and switches the handle to it. The replace is atomic, so a crash leaves
  // either the old file or the new one. On failure the handle maps the old
  // contents, as does the file on disk whenever it can be put back.
  Status Commit(const std::string& image) {
    if (Status written = files.WriteFileAtomic(path, image); !written.ok()) return written;
    Status why;
    if (Remap(image, &why)) return Status::Ok();
    if (why.ok()) why = Status::IoError("Cannot map the rewritten " + PathText(path));
    // The path holds the new image, the handle the old one: put the old one
    // back so that what the handle writes reaches the file.
    const std::string old = CopyOfFile();
    Status ignored;
    // Mapping the put-back file can only fail as the rewrite did: the
    // handle then keeps the old contents, and why says so.
    if (files.WriteFileAtomic(path, old).ok()) Remap(old, &ignored);
    return why;
  }

  // The field when the handle, slot and field allow access of that kind.
  [[nodiscard]] const Field* Access(std::int32_t slot, std::uint32_t field, bool numeric,
                                    bool write) const {
    if (!is_open() || live_count == 0 || (write && !writable)) return nullptr;
    if (slot < 0 || static_cast<std::uint32_t>(slot) >= capacity()) return nullptr;
    if (field == 0 || field > layout.fields.size()) return nullptr;
    const Field& f = layout.fields[field - 1];
    return IsNumeric(f.type) == numeric ? &f : nullptr;
  }

  [[nodiscard]] std::uint32_t NumberAt(std::uint32_t slot, const Field& f) const {
    return NumberIn(Slot(slot), f);
  }
  [[nodiscard]] std::string_view RawTextAt(std::uint32_t slot, const Field& f) const {
    return RawTextIn(Slot(slot), f);
  }

  std::int32_t NewRecord() {
    if (!is_open() || !writable) {
      last_error = NotWritable();
      return -1;
    }
    if (Status resized = Maintain(); !resized.ok()) {
      last_error = resized;
      return -1;
    }
    for (std::uint32_t s = free_hint; s < capacity(); ++s) {
      const std::uint32_t status = StatusOf(s);
      if (status == kStatusNeverUsed || status == kStatusDeleted) {
        SetStatus(s, kStatusLive);
        free_hint = s + 1;
        last_error = Status::Ok();
        return static_cast<std::int32_t>(s);
      }
    }
    free_hint = capacity();
    last_error = capacity() >= CapacityLimit()
                     ? Status::IoError("The record database is full: it holds at most " +
                                       std::to_string(CapacityLimit()) + " records")
                     : Status::IoError("The record database has no free slot");
    return -1;
  }

  // The most slots a file with this record size may have.
  [[nodiscard]] std::uint32_t CapacityLimit() const {
    const std::uint64_t by_size = (kMaxDatabaseBytes - layout.first_slot) / record_size();
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(kMaxCapacity, by_size));
  }

  // Grows or shrinks by the capacity rules. On failure nothing changed.
  Status Maintain() {
    if (!is_open()) return NotWritable();
    if (!writable || live_count == 0) return Status::Ok();
    const std::uint32_t free = capacity() - used_count;
    const std::uint64_t percent = std::uint64_t{used_count} * 100 / capacity();
    try {
      if (percent > kGrowAbovePercent || free < kMinFreeSlots) return Grow();
      if (percent < kShrinkBelowPercent && capacity() > kShrinkAboveCapacity) {
        return CompactAndShrink();
      }
    } catch (const std::bad_alloc&) {
      return OutOfMemory();
    }
    return Status::Ok();
  }

  // Appends zero slots to the end of the file. At the capacity limit it
  // leaves the file alone; the free slots left can still be used.
  Status Grow() {
    const std::uint32_t limit = CapacityLimit();
    if (capacity() >= limit) return Status::Ok();
    const std::uint32_t by =
        std::min(std::max(used_count / kGrowthDivisor, kMinGrowth), limit - capacity());
    const std::uint32_t new_capacity = capacity() + by;
    std::string image = CopyOfFile();
    const std::uint64_t old_size = image.size();
    // Bytes past the last slot were never records; whatever a damaged file
    // left there must not come alive as records.
    const std::uint64_t clear_from = SlotsEnd(layout, capacity());
    const std::uint64_t clear_to = std::min(old_size, SlotsEnd(layout, new_capacity));
    if (clear_to > clear_from) {
      std::fill(image.begin() + static_cast<std::ptrdiff_t>(clear_from),
                image.begin() + static_cast<std::ptrdiff_t>(clear_to), '\0');
    }
    image.resize(old_size + std::uint64_t{by} * record_size(), '\0');
    StoreU32(reinterpret_cast<std::byte*>(image.data()) + kCapacityOffset, new_capacity);
    return Commit(image);
  }

  // Compacts, then cuts the free slots off the end, in one rewrite. When the
  // move budget runs out the partly compacted records are kept, unshrunk.
  Status CompactAndShrink() {
    std::string image = CopyOfFile();
    SlotImage slots(image, layout);
    const Compaction done = Compact(slots);
    bool shrunk = false;
    if (done.budget != 0) {
      const std::uint32_t by =
          capacity() > kLargeCapacity ? capacity() * 3 / kGrowthDivisor : kSmallShrink;
      const std::uint32_t new_capacity = capacity() - by;
      bool all_free = true;
      for (std::uint32_t s = new_capacity; s < capacity() && all_free; ++s) {
        all_free = slots.StatusOf(s) < kStatusLive;
      }
      if (all_free) {
        StoreU32(reinterpret_cast<std::byte*>(image.data()) + kCapacityOffset, new_capacity);
        image.resize(SlotsEnd(layout, new_capacity));
        shrunk = true;
      }
    }
    if (done.moves != 0 || shrunk) {
      if (Status committed = Commit(image); !committed.ok()) return committed;
    }
    SetBusy(done);
    return Status::Ok();
  }

  void SetBusy(const Compaction& done) {
    busy = !done.busy_text.empty();
    busy_text = done.busy_text;
  }

  std::uint32_t CompactRecords() {
    if (!is_open() || !writable || live_count == 0) {
      last_error = is_open() && writable ? Status::Ok() : NotWritable();
      return kMoveBudget;
    }
    try {
      std::string image = CopyOfFile();
      SlotImage slots(image, layout);
      const Compaction done = Compact(slots);
      if (done.moves != 0) {
        last_error = Commit(image);
        if (!last_error.ok()) return 0;
      }
      last_error = Status::Ok();
      SetBusy(done);
      return done.budget;
    } catch (const std::bad_alloc&) {
      last_error = OutOfMemory();
      return 0;
    }
  }

  bool SortRecords(std::uint32_t field) {
    if (!is_open() || !writable || field == 0 || field > layout.fields.size()) {
      last_error =
          is_open() && writable
              ? Status::InvalidArgument("No field " + std::to_string(field) + " to sort by")
              : NotWritable();
      return false;
    }
    last_error = Status::Ok();
    if (capacity() <= 2 || live_count == 0) return false;
    try {
      std::string image = CopyOfFile();
      SlotImage slots(image, layout);
      const Compaction done = Compact(slots);
      const bool sorted = SortLiveRuns(slots, layout.fields[field - 1], collator, record_size());
      if (done.moves != 0 || sorted) {
        last_error = Commit(image);
        if (!last_error.ok()) return false;
      }
      SetBusy(done);
      return true;
    } catch (const std::bad_alloc&) {
      last_error = OutOfMemory();
      return false;
    }
  }

  [[nodiscard]] bool SlotMatches(std::uint32_t slot, const SearchKey& key) const {
    const std::byte* record = Slot(slot);
    if (key.number() != 0) {
      for (const Field& f : number_fields) {
        if (NumberAt(slot, f) == key.number()) return true;
      }
    }
    for (const Field& f : text_fields) {
      if (key.FoundIn(reinterpret_cast<const unsigned char*>(record + f.offset), f.size - 1)) {
        return true;
      }
    }
    return false;
  }

  // Which field matches first does not change the answer, so numbers, the
  // cheap test, go first.
  void SplitFields() {
    number_fields.clear();
    text_fields.clear();
    for (const Field& f : layout.fields)
      (IsNumeric(f.type) ? number_fields : text_fields).push_back(f);
  }

  [[nodiscard]] std::int32_t FindRecord(std::int32_t start, std::string_view key_text) const {
    if (!is_open() || live_count == 0) return -1;
    const std::int64_t from = start < static_cast<std::int64_t>(capacity())
                                  ? std::max<std::int64_t>(std::int64_t{start} + 1, 0)
                                  : start;
    const SearchKey key(key_text);
    for (auto s = static_cast<std::uint64_t>(from); s < capacity(); ++s) {
      const auto slot = static_cast<std::uint32_t>(s);
      if (StatusOf(slot) == kStatusLive && SlotMatches(slot, key)) {
        return static_cast<std::int32_t>(slot);
      }
    }
    return -1;
  }
};

RecordDatabase::RecordDatabase(FileSystem& files, Collator collator)
    : state_(std::make_unique<State>(files, std::move(collator))) {}

RecordDatabase::~RecordDatabase() {
  Close();
}

Status RecordDatabase::Create(const std::filesystem::path& path,
                              std::span<const std::uint32_t> field_types) {
  std::lock_guard lock(mutex_);
  state_->Close();
  if (field_types.empty() || field_types.size() > kMaxFieldCount) {
    return Status::InvalidArgument("A record database needs 1 to 4096 fields");
  }
  for (const std::uint32_t type : field_types) {
    if (type >= kTypeCodeLimit) return Status::InvalidArgument("Bad field type code");
  }
  Layout layout;
  PackFields(field_types, layout);
  layout.capacity = kInitialCapacity;
  if (!CheckClaims(layout, NewFileSize(layout)).ok()) {
    return Status::InvalidArgument("Records of these fields are too large for a record database");
  }
  return state_->files.WriteFileAtomic(path, NewFileImage(layout));
}

Status RecordDatabase::Open(const std::filesystem::path& path, bool writable) {
  std::lock_guard lock(mutex_);
  return state_->Open(path, writable);
}

void RecordDatabase::Close() {
  std::lock_guard lock(mutex_);
  state_->Close();
}

bool RecordDatabase::is_open() const {
  std::lock_guard lock(mutex_);
  return state_->is_open();
}

bool RecordDatabase::writable() const {
  std::lock_guard lock(mutex_);
  return state_->writable;
}

std::filesystem::path RecordDatabase::path() const {
  std::lock_guard lock(mutex_);
  return state_->path;
}

std::uint32_t RecordDatabase::capacity() const {
  std::lock_guard lock(mutex_);
  return state_->capacity();
}

std::uint32_t RecordDatabase::live_count() const {
  std::lock_guard lock(mutex_);
  return state_->live_count;
}

std::uint32_t RecordDatabase::field_count() const {
  std::lock_guard lock(mutex_);
  return static_cast<std::uint32_t>(state_->layout.fields.size());
}

std::uint32_t RecordDatabase::record_size() const {
  std::lock_guard lock(mutex_);
  return state_->record_size();
}

bool RecordDatabase::busy() const {
  std::lock_guard lock(mutex_);
  return state_->busy;
}

std::string RecordDatabase::busy_text() const {
  std::lock_guard lock(mutex_);
  return state_->busy_text;
}

std::int32_t RecordDatabase::NewRecord() {
  std::lock_guard lock(mutex_);
  return state_->NewRecord();
}

Status RecordDatabase::SetRecordStatus(std::int32_t slot, SlotStatus status) {
  std::lock_guard lock(mutex_);
  State& s = *state_;
  if (!s.is_open() || !s.writable) return NotWritable();
  if (slot < 0 || static_cast<std::uint32_t>(slot) >= s.capacity()) {
    return Status::InvalidArgument("The record database has no record " + std::to_string(slot));
  }
  s.SetStatus(static_cast<std::uint32_t>(slot), static_cast<std::uint32_t>(status));
  return Status::Ok();
}

std::optional<std::uint32_t> RecordDatabase::ReadNumber(std::int32_t slot,
                                                        std::uint32_t field) const {
  std::lock_guard lock(mutex_);
  const Field* f = state_->Access(slot, field, true, false);
  if (f == nullptr) return std::nullopt;
  return state_->NumberAt(static_cast<std::uint32_t>(slot), *f);
}

std::optional<std::string> RecordDatabase::ReadText(std::int32_t slot, std::uint32_t field) const {
  std::lock_guard lock(mutex_);
  const Field* f = state_->Access(slot, field, false, false);
  if (f == nullptr) return std::nullopt;
  return FieldText(state_->RawTextAt(static_cast<std::uint32_t>(slot), *f));
}

Status RecordDatabase::WriteNumber(std::int32_t slot, std::uint32_t field, std::uint32_t value) {
  std::lock_guard lock(mutex_);
  if (!state_->is_open() || !state_->writable) return NotWritable();
  const Field* f = state_->Access(slot, field, true, true);
  if (f == nullptr) return NoSuchField(slot, field);
  std::byte* at = state_->Slot(static_cast<std::uint32_t>(slot)) + f->offset;
  const std::uint32_t stored_bytes = std::min<std::uint32_t>(f->size, 4);
  for (std::uint32_t i = 0; i < stored_bytes; ++i) {
    at[i] = static_cast<std::byte>((value >> (8 * i)) & 0xFFU);
  }
  return Status::Ok();
}

Status RecordDatabase::WriteText(std::int32_t slot, std::uint32_t field, std::string_view text) {
  std::lock_guard lock(mutex_);
  if (!state_->is_open() || !state_->writable) return NotWritable();
  const Field* f = state_->Access(slot, field, false, true);
  if (f == nullptr) return NoSuchField(slot, field);
  auto* at = reinterpret_cast<char*>(state_->Slot(static_cast<std::uint32_t>(slot)) + f->offset);
  SetFieldText(std::span<char>(at, f->size), text);
  return Status::Ok();
}

std::vector<std::int32_t> RecordDatabase::LiveRecords() const {
  std::lock_guard lock(mutex_);
  const State& s = *state_;
  std::vector<std::int32_t> live;
  if (!s.is_open()) return live;
  live.reserve(s.live_count);
  for (std::uint32_t slot = 0; slot < s.capacity(); ++slot) {
    if (s.StatusOf(slot) == kStatusLive) live.push_back(static_cast<std::int32_t>(slot));
  }
  return live;
}

std::int32_t RecordDatabase::FindRecord(std::int32_t start, std::string_view key) const {
  std::lock_guard lock(mutex_);
  return state_->FindRecord(start, key);
}

Status RecordDatabase::SortRecords(std::uint32_t field) {
  std::lock_guard lock(mutex_);
  state_->SortRecords(field);
  return state_->last_error;
}

std::uint32_t RecordDatabase::CompactRecords() {
  std::lock_guard lock(mutex_);
  return state_->CompactRecords();
}

bool RecordDatabase::MaintainCapacity() {
  std::lock_guard lock(mutex_);
  state_->last_error = state_->Maintain();
  return state_->is_open();
}

Status RecordDatabase::last_error() const {
  std::lock_guard lock(mutex_);
  return state_->last_error;
}

}  // namespace tolvi
