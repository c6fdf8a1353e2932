#include "storage/program_data_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <span>
#include <vector>

#include "storage/temporary_files.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kTenthMinuteMs = 6000;
constexpr std::uint32_t kMinuteMs = 60000;
constexpr int kMaxAsideAttempts = 100;

std::filesystem::path WithSuffix(const std::filesystem::path& path, std::string_view suffix) {
  std::filesystem::path result = path;
  result += std::string(suffix);
  return result;
}

std::string AsideStamp(Clock& clock) {
  const LocalTime now = clock.Now();
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  return text.data();
}

// The block as bytes, and back: the struct is trivially copyable.
std::array<char, kProgramDataBytes> BlockBytes(const ProgramData& data) {
  std::array<char, kProgramDataBytes> bytes;
  std::memcpy(bytes.data(), &data, kProgramDataBytes);
  return bytes;
}

// The problems of one backup run, for the returned Status.
class BackupReport {
 public:
  void Refused(const std::filesystem::path& from, const std::string& why) {
    Add(PathText(from) + " was not copied because " + why, Status::Code::kCorruption);
  }
  void Failed(const std::string& what, const Status& status) {
    Add(what + ": " + status.message(), Status::Code::kIoError);
  }
  Status ToStatus() const {
    if (text_.empty()) return Status::Ok();
    return code_ == Status::Code::kCorruption ? Status::Corruption(text_) : Status::IoError(text_);
  }

 private:
  void Add(const std::string& line, Status::Code code) {
    if (text_.empty()) code_ = code;
    text_ += text_.empty() ? line : "; " + line;
  }
  std::string text_;
  Status::Code code_ = Status::Code::kOk;
};

void CopyOrReport(FileSystem& files, const std::filesystem::path& from,
                  const std::filesystem::path& to, BackupReport& report) {
  if (Status copied = files.CopyFile(from, to); !copied.ok()) {
    report.Failed("Copying " + PathText(from) + " to " + PathText(to) + " failed", copied);
  }
}

// A database copy replaces `to` only when it opens, and holds work types or
// `to` holds none.
void CopyDatabaseIfSound(FileSystem& files, const std::filesystem::path& from,
                         const std::filesystem::path& to, BackupReport& report) {
  std::string why;
  const std::optional<std::uint32_t> live = LiveRecordsIn(files, from, &why);
  if (!live) {
    report.Refused(from, "it does not open as a database (" + why + ")");
    return;
  }
  if (*live == 0 && files.Exists(to) && LiveRecordsIn(files, to).value_or(0) > 0) {
    report.Refused(from, "it holds no work types and " + PathText(to) + " does");
    return;
  }
  CopyOrReport(files, from, to, report);
}

// A data file copy is made only of a whole current-version file.
void CopyDataFileIfSound(FileSystem& files, const std::filesystem::path& from,
                         const std::filesystem::path& to, BackupReport& report) {
  std::string contents;
  if (Status read = files.ReadFile(from, &contents); !read.ok()) {
    report.Refused(from, "it cannot be read (" + read.message() + ")");
    return;
  }
  if (contents.size() != kDataFileBytes || !contents.starts_with(kDataFileMagic)) {
    report.Refused(from, "it is not a whole data file of this version (" +
                             std::to_string(contents.size()) + " bytes)");
    return;
  }
  CopyOrReport(files, from, to, report);
}

constexpr std::size_t kDayStampLength = 10;

// "YYYY-MM-DD", the prefix of a day's backup names.
std::string DayStamp(const LocalTime& day) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "%04d-%02d-%02d", day.year, day.month, day.day);
  return text.data();
}

bool IsDayStamp(std::string_view text) {
  if (text.size() != kDayStampLength) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool dash = i == 4 || i == 7;
    if (dash ? text[i] != '-' : (text[i] < '0' || text[i] > '9')) return false;
  }
  return true;
}

// The date of a day's backup file name, or nothing for any other file.
std::optional<std::string> DayBackupDate(std::string_view name) {
  for (const std::string_view base : {kDataFileName, kDatabaseFileName}) {
    if (name.size() == kDayStampLength + 1 + base.size() && name[kDayStampLength] == ' ' &&
        name.ends_with(base) && IsDayStamp(name.substr(0, kDayStampLength))) {
      return std::string(name.substr(0, kDayStampLength));
    }
  }
  return std::nullopt;
}

// Removes the day sets older than the newest kDayBackupsKept dates.
void PruneDayBackups(FileSystem& files, const std::filesystem::path& folder, BackupReport& report) {
  const std::vector<std::string> names = files.ListFiles(folder);
  std::set<std::string, std::greater<>> dates;
  for (const std::string& name : names) {
    if (auto date = DayBackupDate(name)) dates.insert(std::move(*date));
  }
  if (dates.size() <= kDayBackupsKept) return;
  const std::string oldest_kept = *std::next(dates.begin(), kDayBackupsKept - 1);
  for (const std::string& name : names) {
    const std::optional<std::string> date = DayBackupDate(name);
    if (!date || *date >= oldest_kept) continue;
    if (Status removed = files.Remove(folder / name); !removed.ok()) {
      report.Failed("Removing the old backup " + PathText(folder / name) + " failed", removed);
    }
  }
}

void MultiplyAll(std::span<std::uint32_t> values, std::uint32_t factor) {
  for (std::uint32_t& value : values) value *= factor;
}

}  // namespace

std::filesystem::path ResolveDataFilePath(FileSystem& files,
                                          const std::filesystem::path& data_directory,
                                          const std::filesystem::path& program_directory,
                                          std::string_view name) {
  std::filesystem::path in_data = data_directory / std::string(name);
  std::string contents;
  if (files.ReadFile(in_data, &contents).ok()) return in_data;
  return program_directory / std::string(name);
}

std::uint32_t ReadDataFileVersion(std::string_view file_start) {
  if (file_start.size() < kMagicBytes || !file_start.starts_with(kDataFileMagicPrefix)) {
    return data_file_version::kNotADataFile;
  }
  const std::string_view digits = file_start.substr(kDataFileMagicPrefix.size(), 3);
  if (digits == kDataFileMagic.substr(kDataFileMagicPrefix.size())) {
    return data_file_version::kCurrent;
  }
  return ParseDecimal(digits);
}

std::optional<std::string> DataFileProblem(std::string_view contents) {
  const std::uint32_t version = ReadDataFileVersion(contents);
  if (version == data_file_version::kNotADataFile) return "it is not a Tolvi data file";
  if (version == data_file_version::kCurrent && contents.size() != kDataFileBytes) {
    return "it holds " + std::to_string(contents.size()) + " bytes instead of " +
           std::to_string(kDataFileBytes);
  }
  return std::nullopt;
}

void ReadProgramDataBlock(std::string_view contents, ProgramData& data) {
  auto bytes = BlockBytes(data);
  const std::string_view stored = contents.substr(kMagicBytes, kProgramDataBytes);
  std::copy(stored.begin(), stored.end(), bytes.begin());
  std::memcpy(&data, bytes.data(), kProgramDataBytes);
}

void UpgradeProgramDataBlock(ProgramData& data, std::uint32_t version) {
  if (version == data_file_version::kVersion310) {
    data.auto_show = 0;
  } else if (version == data_file_version::kVersion300) {
    data.decimal_hours = 0;
    data.long_meeting = 1;
    data.auto_show = 0;
  }
}

void ConvertVersion250Units(ProgramData& data) {
  for (std::uint32_t* value : {&data.away_time, &data.break_interval, &data.manual_target}) {
    *value *= kTenthMinuteMs;
  }
  data.snooze_time *= kMinuteMs;
  MultiplyAll(data.legacy_maxima, kMinuteMs);
  MultiplyAll(data.legacy_today, kTenthMinuteMs);
  MultiplyAll(data.legacy_yesterday, kTenthMinuteMs);
  for (std::uint32_t* value :
       {&data.work_today_ms, &data.work_yesterday_ms, &data.break_today_ms,
        &data.break_yesterday_ms, &data.away_today_ms, &data.away_yesterday_ms}) {
    *value *= kTenthMinuteMs;
  }
}

std::filesystem::path DatabasePath(const std::filesystem::path& data_directory) {
  return data_directory / std::string(kDatabaseFileName);
}

std::filesystem::path BackupPath(const std::filesystem::path& path) {
  return WithSuffix(path, kBackupSuffix);
}

std::optional<std::uint32_t> LiveRecordsIn(FileSystem& files, const std::filesystem::path& path,
                                           std::string* why) {
  RecordDatabase probe(files, Collator{});
  if (Status opened = probe.Open(path, /*writable=*/false); !opened.ok()) {
    if (why != nullptr) *why = opened.message();
    return std::nullopt;
  }
  return probe.live_count();
}

std::string ProgramDataFileImage(const ProgramData& snapshot) {
  std::string image(kDataFileMagic);
  const auto bytes = BlockBytes(snapshot);
  image.append(bytes.data(), bytes.size());
  return image;
}

Status SaveProgramData(FileSystem& files, const std::filesystem::path& data_directory,
                       const ProgramData& snapshot) {
  return files.WriteFileAtomic(data_directory / std::string(kDataFileName),
                               ProgramDataFileImage(snapshot));
}

Status BackupDataFiles(FileSystem& files, RecordDatabase& records,
                       const std::filesystem::path& data_directory) {
  const std::filesystem::path db_path = DatabasePath(data_directory);
  const std::filesystem::path data_path = data_directory / std::string(kDataFileName);
  records.Close();
  // Only the backup's age depends on the stamp; a failure loses nothing.
  files.TouchModified(db_path).IgnoreError();
  BackupReport report;
  CopyDatabaseIfSound(files, db_path, WithSuffix(db_path, kBackupSuffix), report);
  CopyDataFileIfSound(files, data_path, WithSuffix(data_path, kBackupSuffix), report);
  if (Status reopened = records.Open(db_path, /*writable=*/true); !reopened.ok()) {
    report.Failed("Opening " + PathText(db_path) + " again failed", reopened);
  }
  return report.ToStatus();
}

Status KeepDayBackup(FileSystem& files, const std::filesystem::path& data_directory,
                     const LocalTime& now) {
  const std::filesystem::path folder = data_directory / std::string(kDayBackupFolder);
  if (Status made = files.CreateDirectories(folder); !made.ok()) {
    return Status::IoError("The backup folder " + PathText(folder) +
                           " cannot be created: " + made.message());
  }
  const std::string prefix = DayStamp(now) + " ";
  BackupReport report;
  CopyDatabaseIfSound(files, DatabasePath(data_directory),
                      folder / (prefix + std::string(kDatabaseFileName)), report);
  CopyDataFileIfSound(files, data_directory / std::string(kDataFileName),
                      folder / (prefix + std::string(kDataFileName)), report);
  PruneDayBackups(files, folder, report);
  return report.ToStatus();
}

std::optional<std::filesystem::path> KeepFileAside(FileSystem& files, Clock& clock,
                                                   const std::filesystem::path& path) {
  // Suffixes added one at a time: GCC 12 at -O3 takes `"literal" +
  // std::string` for an overlapping copy (a false -Wrestrict).
  const std::filesystem::path base = WithSuffix(WithSuffix(path, ".bad-"), AsideStamp(clock));
  for (int attempt = 1; attempt <= kMaxAsideAttempts; ++attempt) {
    const std::filesystem::path target =
        attempt == 1 ? base : WithSuffix(WithSuffix(base, "-"), std::to_string(attempt));
    if (files.Exists(target)) continue;
    if (files.Rename(path, target).ok()) return target;
    if (files.CopyFile(path, target).ok()) return target;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace tolvi
