#include "storage/program_data_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <span>

#include "accounting/work_type_record.h"
#include "storage/text.h"

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

std::filesystem::path DatabasePath(const std::filesystem::path& data_directory) {
  return data_directory / std::string(kDatabaseFileName);
}

std::string AsideStamp(Clock& clock) {
  const LocalTime now = clock.Now();
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day,
                now.hour, now.minute, now.second);
  return text.data();
}

Question LoadQuestion(std::string_view message, std::string_view first, std::string_view second) {
  Question question;
  question.message = std::string(message);
  question.first_button = std::string(first);
  question.second_button = std::string(second);
  question.style = 1;
  question.has_owner = false;
  return question;
}

// The block as bytes, and back: the struct is trivially copyable.
std::array<char, kProgramDataBytes> BlockBytes(const ProgramData& data) {
  std::array<char, kProgramDataBytes> bytes;
  std::memcpy(bytes.data(), &data, kProgramDataBytes);
  return bytes;
}

// Overlays what the file holds after its magic, up to one block; a short
// file leaves the rest of the block as it was.
void ReadBlock(std::string_view contents, ProgramData& data) {
  auto bytes = BlockBytes(data);
  const std::string_view stored = contents.substr(kMagicBytes, kProgramDataBytes);
  std::copy(stored.begin(), stored.end(), bytes.begin());
  std::memcpy(&data, bytes.data(), kProgramDataBytes);
}

void ShowWelcome(DataFileContext& context) {
  const int answer = context.ui.Ask(LoadQuestion(kWelcomeMessage, kWelcomeOk, kWelcomeOpenReadMe));
  if (answer == 2) {
    context.ui.OpenWithDefaultApp(context.program_directory / std::string(kReadMeFileName));
  }
}

struct FoundDataFile {
  std::filesystem::path path;
  std::optional<std::string> contents;  // none: no readable file
};

// Looks in the data directory, then the program directory. A file in the
// data directory that exists but cannot be read is kept aside, since the
// next save would replace it.
FoundDataFile FindDataFile(DataFileContext& context, std::vector<std::string>& notices) {
  const std::filesystem::path in_data = context.data_directory / std::string(kDataFileName);
  std::string contents;
  if (context.files.ReadFile(in_data, &contents).ok()) return {in_data, std::move(contents)};
  if (context.files.Exists(in_data)) {
    if (const auto aside = KeepFileAside(context.files, context.clock, in_data)) {
      notices.push_back("The unreadable " + in_data.string() + " was kept as " + aside->string());
    } else {
      notices.push_back("The unreadable " + in_data.string() + " could not be kept aside");
    }
  }
  const std::filesystem::path in_program = context.program_directory / std::string(kDataFileName);
  if (context.files.ReadFile(in_program, &contents).ok()) {
    return {in_program, std::move(contents)};
  }
  return {in_data, std::nullopt};
}

void KeepRejectedDataFile(DataFileContext& context, const std::filesystem::path& path,
                          std::vector<std::string>& notices) {
  // Only the data directory's file is replaced by the next save.
  if (path != context.data_directory / std::string(kDataFileName)) return;
  if (const auto aside = KeepFileAside(context.files, context.clock, path)) {
    notices.push_back(path.string() + " is not a Tolvi data file; it was kept as " +
                      aside->string());
  }
}

// Applies what the version asks for; kQuit when the user declines or an
// upgrade cannot be finished.
LoadOutcome ApplyVersion(DataFileContext& context, std::uint32_t version,
                         std::vector<std::string>& notices) {
  using namespace data_file_version;
  ProgramData& data = context.data;
  if (version == kOldestUpgradable) {
    SetNewerDefaults(data);
    return UpgradeFromVersion250(context, notices);
  }
  if (version == kVersion310) {
    data.auto_show = 0;
  } else if (version == kVersion300) {
    data.decimal_hours = 0;
    data.long_meeting = 1;
    data.auto_show = 0;
  } else if (version < kOldestUpgradable) {
    const int answer = context.ui.Ask(LoadQuestion(kTooOldMessage, kTooOldErase, kTooOldKeep));
    if (answer != 1) {
      notices.push_back("The data file is too old; nothing was changed");
      return LoadOutcome::kQuit;
    }
    SetDefaultSettings(data, context.clock, context.day_check);
  }
  return LoadOutcome::kReady;
}

// A valid backup copied over the lost database, opened writable.
bool RestoreDatabaseBackup(DataFileContext& context, const std::filesystem::path& db_path,
                           std::vector<std::string>& notices) {
  const std::filesystem::path backup = WithSuffix(db_path, kBackupSuffix);
  if (!context.files.Exists(backup)) return false;
  if (!context.records.Open(backup, /*writable=*/false).ok()) return false;
  context.records.Close();
  if (!context.files.CopyFile(backup, db_path).ok()) return false;
  if (!context.records.Open(db_path, /*writable=*/true).ok()) return false;
  notices.push_back("The work types were restored from " + backup.string());
  return true;
}

LoadOutcome OpenOrCreateDatabase(DataFileContext& context, std::vector<std::string>& notices) {
  const std::filesystem::path db_path = DatabasePath(context.data_directory);
  if (context.records.Open(db_path, /*writable=*/true).ok()) return LoadOutcome::kReady;

  if (context.files.Exists(db_path)) {
    const auto aside = KeepFileAside(context.files, context.clock, db_path);
    if (!aside) {
      notices.push_back("The work-type database " + db_path.string() +
                        " cannot be opened nor kept aside; nothing was changed");
      return LoadOutcome::kQuit;
    }
    notices.push_back("The work-type database could not be opened; it was kept as " +
                      aside->string());
  }
  if (RestoreDatabaseBackup(context, db_path, notices)) return LoadOutcome::kReady;

  if (Status created = CreateWorkTypeDatabase(context.records, db_path); !created.ok()) {
    notices.push_back("The work-type database cannot be created: " + created.message());
    return LoadOutcome::kQuit;
  }
  CreateInitialWorkTypes(context.records);
  context.data.current_work_type = 0;
  return LoadOutcome::kReady;
}

void MultiplyAll(std::span<std::uint32_t> values, std::uint32_t factor) {
  for (std::uint32_t& value : values) value *= factor;
}

// Version 250 kept durations in tenths of a minute (the snooze in minutes).
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

void ImportOldWorkTypes(RecordDatabase& records, const ProgramData& data) {
  for (std::size_t i = 0; i < kLegacyWorkTypes; ++i) {
    (void)ImportOldWorkType(records, FieldText(data.legacy_names[i]), data.legacy_maxima[i],
                            data.legacy_today[i], data.legacy_yesterday[i]);
  }
}

// Undoes the upgrade's database: the new file goes, an old one comes back.
void AbandonUpgradeDatabase(DataFileContext& context, const std::filesystem::path& db_path,
                            const std::optional<std::filesystem::path>& aside) {
  context.records.Close();
  (void)context.files.Remove(db_path);
  if (aside) (void)context.files.Rename(*aside, db_path);
}

}  // namespace

std::filesystem::path ResolveDataFilePath(FileSystem& files,
                                          const std::filesystem::path& data_directory,
                                          const std::filesystem::path& program_directory,
                                          std::string_view name) {
  const std::filesystem::path in_data = data_directory / std::string(name);
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

LoadResult LoadProgramData(DataFileContext& context) {
  LoadResult result;
  const FoundDataFile found = FindDataFile(context, result.notices);
  if (!found.contents) {
    SetDefaultSettings(context.data, context.clock, context.day_check);
    ShowWelcome(context);
  } else {
    const std::uint32_t version = ReadDataFileVersion(*found.contents);
    if (version == data_file_version::kNotADataFile) {
      KeepRejectedDataFile(context, found.path, result.notices);
      SetDefaultSettings(context.data, context.clock, context.day_check);
    } else {
      ReadBlock(*found.contents, context.data);
    }
    result.outcome = ApplyVersion(context, version, result.notices);
    if (result.outcome == LoadOutcome::kQuit) return result;
  }
  if (!context.records.is_open()) result.outcome = OpenOrCreateDatabase(context, result.notices);
  return result;
}

ProgramData SnapshotProgramData(const ProgramData& live, std::mutex& guard) {
  std::lock_guard lock(guard);
  return live;
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
  (void)files.TouchModified(db_path);
  // Only a database that opens is worth a backup: a bad copy must not
  // replace a good one.
  if (records.Open(db_path, /*writable=*/false).ok()) {
    records.Close();
    (void)files.CopyFile(db_path, WithSuffix(db_path, kBackupSuffix));
  }
  (void)files.CopyFile(data_path, WithSuffix(data_path, kBackupSuffix));
  return records.Open(db_path, /*writable=*/true);
}

Status KeepDayBackup(FileSystem& /*files*/, const std::filesystem::path& /*data_directory*/,
                     const LocalTime& /*now*/) {
  return Status::Ok();
}

bool ImportOldWorkType(RecordDatabase& records, std::string_view name, std::uint32_t maximum_ms,
                       std::uint32_t today_ms, std::uint32_t yesterday_ms) {
  if (name.empty()) return false;
  std::int32_t id = -1;
  for (const std::int32_t slot : records.LiveRecords()) {
    if (slot != kPlaceholderSlot && records.ReadText(slot, work_type_field::kName) == name) {
      id = slot;
      break;
    }
  }
  if (id < 0) {
    id = records.NewRecord();
    if (id < 0) return false;
    (void)records.WriteText(id, work_type_field::kName, name);
  }
  return records.WriteNumber(id, work_type_field::kMaximum, maximum_ms) &&
         records.WriteNumber(id, work_type_field::kToday, today_ms) &&
         records.WriteNumber(id, work_type_field::kYesterday, yesterday_ms);
}

LoadOutcome UpgradeFromVersion250(DataFileContext& context, std::vector<std::string>& notices) {
  ProgramData& data = context.data;
  ConvertVersion250Units(data);

  const std::filesystem::path db_path = DatabasePath(context.data_directory);
  std::optional<std::filesystem::path> aside;
  if (context.files.Exists(db_path)) {
    aside = KeepFileAside(context.files, context.clock, db_path);
    if (!aside) {
      notices.push_back("The work-type database " + db_path.string() +
                        " cannot be kept aside for the upgrade; nothing was changed");
      return LoadOutcome::kQuit;
    }
  }
  if (Status created = CreateWorkTypeDatabase(context.records, db_path); !created.ok()) {
    notices.push_back("The work-type database cannot be created: " + created.message());
    AbandonUpgradeDatabase(context, db_path, aside);
    return LoadOutcome::kQuit;
  }
  ImportOldWorkTypes(context.records, data);

  if (context.import_work && !context.import_work()) {
    notices.push_back("The upgrade was cancelled; nothing was changed");
    AbandonUpgradeDatabase(context, db_path, aside);
    return LoadOutcome::kQuit;
  }
  if (aside) notices.push_back("The old work-type database was kept as " + aside->string());
  if (data.file_log != 0 && context.write_plain_log_line) {
    context.write_plain_log_line(kUpgradeLogMarker);
  }
  return LoadOutcome::kReady;
}

std::optional<std::filesystem::path> KeepFileAside(FileSystem& files, Clock& clock,
                                                   const std::filesystem::path& path) {
  const std::filesystem::path base = WithSuffix(path, ".bad-" + AsideStamp(clock));
  for (int attempt = 1; attempt <= kMaxAsideAttempts; ++attempt) {
    const std::filesystem::path target =
        attempt == 1 ? base : WithSuffix(base, "-" + std::to_string(attempt));
    if (files.Exists(target)) continue;
    if (files.Rename(path, target).ok()) return target;
    if (files.CopyFile(path, target).ok()) return target;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace tolvi
