#include "storage/close_journal.h"

#include <array>

#include "storage/program_data_file.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kCrcPolynomial = 0xEDB88320U;
constexpr std::size_t kCrcBytes = 4;

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < table.size(); ++n) {
    std::uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1U) != 0 ? kCrcPolynomial ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

void PutU32(std::string& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

void PutU64(std::string& out, std::uint64_t value) {
  PutU32(out, static_cast<std::uint32_t>(value));
  PutU32(out, static_cast<std::uint32_t>(value >> 32));
}

void PutText(std::string& out, std::string_view text) {
  PutU32(out, static_cast<std::uint32_t>(text.size()));
  out.append(text);
}

// Reads the journal front to back; any read past the end marks it failed.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  std::optional<std::uint64_t> Number(std::size_t width) {
    if (bytes_.size() - pos_ < width) return std::nullopt;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[pos_ + i])) << (8 * i);
    }
    pos_ += width;
    return value;
  }
  std::optional<std::uint32_t> U32() {
    const auto value = Number(4);
    if (!value) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
  }
  std::optional<std::string> Bytes(std::uint64_t count) {
    if (bytes_.size() - pos_ < count) return std::nullopt;
    std::string out(bytes_.substr(pos_, static_cast<std::size_t>(count)));
    pos_ += static_cast<std::size_t>(count);
    return out;
  }
  std::optional<std::string> Text() {
    const auto size = U32();
    if (!size) return std::nullopt;
    return Bytes(*size);
  }
  [[nodiscard]] bool AtEnd() const { return pos_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

// Only plain names inside the data directory: a damaged or hostile journal
// must not reach any other file.
bool IsPlainFileName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

std::optional<JournalEntry> ReadEntry(Reader& reader) {
  const auto action = reader.U32();
  auto name = reader.Text();
  if (!action || !name || !IsPlainFileName(*name)) return std::nullopt;
  JournalEntry entry;
  entry.file_name = std::move(*name);
  entry.action = JournalAction{*action};
  switch (entry.action) {
    case JournalAction::kRestoreBytes: {
      const auto size = reader.Number(8);
      if (!size) return std::nullopt;
      auto bytes = reader.Bytes(*size);
      if (!bytes) return std::nullopt;
      entry.bytes = std::move(*bytes);
      return entry;
    }
    case JournalAction::kCutToLength: {
      const auto length = reader.Number(8);
      if (!length) return std::nullopt;
      entry.length = *length;
      return entry;
    }
    case JournalAction::kRemove:
      return entry;
  }
  return std::nullopt;
}

Status CutToLength(FileSystem& files, const std::filesystem::path& path, std::uint64_t length) {
  std::string contents;
  Status read = files.ReadFile(path, &contents);
  // A log that is gone holds nothing of the close to undo.
  if (read.code() == Status::Code::kNotFound) return Status::Ok();
  if (!read.ok()) return read;
  if (contents.size() <= length) return Status::Ok();
  contents.resize(static_cast<std::size_t>(length));
  return files.WriteFileAtomic(path, contents);
}

Status ApplyEntry(FileSystem& files, const std::filesystem::path& data_directory,
                  const JournalEntry& entry) {
  const std::filesystem::path path = data_directory / entry.file_name;
  switch (entry.action) {
    case JournalAction::kRestoreBytes:
      return files.WriteFileAtomic(path, entry.bytes);
    case JournalAction::kCutToLength:
      return CutToLength(files, path, entry.length);
    case JournalAction::kRemove: {
      if (!files.Exists(path)) return Status::Ok();
      return files.Remove(path);
    }
  }
  return Status::InvalidArgument("unknown journal action");
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFU;
  for (const char byte : bytes) {
    crc = kCrcTable[(crc ^ static_cast<unsigned char>(byte)) & 0xFFU] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFU;
}

std::string EncodeCloseJournal(const CloseJournal& journal) {
  std::string out(kCloseJournalMagic);
  PutU32(out, kCloseJournalVersion);
  PutU32(out, journal.total_days_before);
  PutText(out, journal.started);
  PutU32(out, static_cast<std::uint32_t>(journal.entries.size()));
  for (const JournalEntry& entry : journal.entries) {
    PutU32(out, static_cast<std::uint32_t>(entry.action));
    PutText(out, entry.file_name);
    if (entry.action == JournalAction::kRestoreBytes) {
      PutU64(out, entry.bytes.size());
      out.append(entry.bytes);
    } else if (entry.action == JournalAction::kCutToLength) {
      PutU64(out, entry.length);
    }
  }
  PutU32(out, Crc32(out));
  return out;
}

std::optional<CloseJournal> DecodeCloseJournal(std::string_view bytes) {
  if (bytes.size() < kCloseJournalMagic.size() + kCrcBytes) return std::nullopt;
  const std::string_view body = bytes.substr(0, bytes.size() - kCrcBytes);
  Reader crc_reader(bytes.substr(body.size()));
  if (crc_reader.U32() != Crc32(body)) return std::nullopt;

  Reader reader(body);
  if (reader.Bytes(kCloseJournalMagic.size()) != kCloseJournalMagic) return std::nullopt;
  if (reader.U32() != kCloseJournalVersion) return std::nullopt;
  CloseJournal journal;
  const auto total_days = reader.U32();
  auto started = reader.Text();
  const auto count = reader.U32();
  if (!total_days || !started || !count) return std::nullopt;
  journal.total_days_before = *total_days;
  journal.started = std::move(*started);
  for (std::uint32_t i = 0; i < *count; ++i) {
    auto entry = ReadEntry(reader);
    if (!entry) return std::nullopt;
    journal.entries.push_back(std::move(*entry));
  }
  if (!reader.AtEnd()) return std::nullopt;
  return journal;
}

std::filesystem::path CloseJournalPath(const std::filesystem::path& data_directory) {
  return data_directory / kCloseJournalFileName;
}

Status WriteCloseJournal(FileSystem& files, const std::filesystem::path& data_directory,
                         const CloseJournal& journal) {
  return files.WriteFileAtomic(CloseJournalPath(data_directory), EncodeCloseJournal(journal));
}

Status ApplyCloseJournal(FileSystem& files, const std::filesystem::path& data_directory,
                         const CloseJournal& journal) {
  for (const JournalEntry& entry : journal.entries) {
    if (Status applied = ApplyEntry(files, data_directory, entry); !applied.ok()) return applied;
  }
  return Status::Ok();
}

Status ForgetCloseJournalIfSaved(FileSystem& files, const std::filesystem::path& data_directory,
                                 std::uint32_t saved_total_days) {
  const std::filesystem::path path = CloseJournalPath(data_directory);
  if (!files.Exists(path)) return Status::Ok();
  std::string bytes;
  if (Status read = files.ReadFile(path, &bytes); !read.ok()) return read;
  const std::optional<CloseJournal> journal = DecodeCloseJournal(bytes);
  // A damaged journal is never applied, so it guards nothing: the start-up
  // keeps it aside for whoever wants to look.
  if (!journal || journal->total_days_before == saved_total_days) return Status::Ok();
  return files.Remove(path);
}

RollbackOutcome RollBackInterruptedClose(FileSystem& files, Clock& clock,
                                         const std::filesystem::path& data_directory,
                                         std::vector<std::string>& notices) {
  const std::filesystem::path path = CloseJournalPath(data_directory);
  if (!files.Exists(path)) return RollbackOutcome::kNothingToDo;

  std::string bytes;
  const Status read = files.ReadFile(path, &bytes);
  const std::optional<CloseJournal> journal = read.ok() ? DecodeCloseJournal(bytes) : std::nullopt;
  if (!journal) {
    const auto aside = KeepFileAside(files, clock, path);
    notices.push_back("The record of an interrupted day close, " + PathText(path) +
                      ", is damaged and was not applied" +
                      (aside ? "; it was kept as " + aside->string() : std::string()));
    return RollbackOutcome::kDamagedKeptAside;
  }
  if (Status applied = ApplyCloseJournal(files, data_directory, *journal); !applied.ok()) {
    notices.push_back("The day close that was interrupted on " + journal->started +
                      " cannot be undone (" + applied.message() +
                      "); nothing more was changed. Free some space and start Tolvi again.");
    return RollbackOutcome::kFailed;
  }
  if (Status removed = files.Remove(path); !removed.ok()) {
    // Applying the journal again next time does no harm, but the close
    // would then be undone a second time after it ran: stop here instead.
    notices.push_back("The day close that was interrupted on " + journal->started +
                      " was undone, but its record " + PathText(path) + " cannot be removed (" +
                      removed.message() + ")");
    return RollbackOutcome::kFailed;
  }
  notices.push_back("The day close that was interrupted on " + journal->started +
                    " was undone and will run again.");
  return RollbackOutcome::kRolledBack;
}

}  // namespace tolvi
