#include "storage/program_data_file.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <functional>
#include <set>
#include <span>

#include "accounting/work_type_record.h"
#include "settings/settings.h"
#include "storage/temporary_files.h"
#include "storage/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kTenthMinuteMs = 6000;
constexpr std::uint32_t kMinuteMs = 60000;
constexpr int kMaxAsideAttempts = 100;

void NoteWorkTypeWrite(const Status& written, std::vector<std::string>& notices) {
  if (!written.ok()) notices.push_back(std::string(kRecordWriteFailedText) + written.message());
}

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
  question.font = QuestionFont::kLarge;
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

// Why a data file's bytes cannot be loaded; nothing when they can. Any
// version the loader reads is accepted, but the current one only whole.
std::optional<std::string> DataFileProblem(std::string_view contents) {
  const std::uint32_t version = ReadDataFileVersion(contents);
  if (version == data_file_version::kNotADataFile) return "it is not a Tolvi data file";
  if (version == data_file_version::kCurrent && contents.size() != kDataFileBytes) {
    return "it holds " + std::to_string(contents.size()) + " bytes instead of " +
           std::to_string(kDataFileBytes);
  }
  return std::nullopt;
}

struct DataFileAttempt {
  enum class Kind { kAbsent, kEmpty, kUnusable, kUsable };
  Kind kind = Kind::kAbsent;
  std::string contents;  // kUsable
  std::string problem;   // kUnusable
};

// Anything ReadFile refuses other than a missing file (a directory, a huge
// file, no permission) is an unusable file, never a missing one.
DataFileAttempt TryDataFile(FileSystem& files, const std::filesystem::path& path) {
  using Kind = DataFileAttempt::Kind;
  std::string contents;
  const Status read = files.ReadFile(path, &contents);
  if (read.code() == Status::Code::kNotFound) return {};
  if (!read.ok()) return {Kind::kUnusable, {}, "it cannot be read (" + read.message() + ")"};
  if (contents.empty()) return {Kind::kEmpty, {}, {}};
  if (auto problem = DataFileProblem(contents)) return {Kind::kUnusable, {}, std::move(*problem)};
  return {Kind::kUsable, std::move(contents), {}};
}

// The data directory's file is replaced by the next save, so a rejected one
// is renamed aside first.
void KeepRejectedDataFile(DataFileContext& context, const std::filesystem::path& path,
                          const std::string& problem, std::vector<std::string>& notices) {
  std::string notice = "The data file " + path.string() + " was not used because " + problem;
  if (const auto aside = KeepFileAside(context.files, context.clock, path)) {
    notice += "; it was kept as " + aside->string() + ".";
  } else {
    notice += "; it could not be kept aside and will be replaced at the next save.";
  }
  notices.push_back(std::move(notice));
}

struct ChosenDataFile {
  std::optional<std::string> contents;  // none: the defaults apply
  bool first_run = false;               // no data file of any kind was found
};

// The data directory's file; when it is missing, the program directory's
// (portable use); then the data directory's " Bak" copy.
ChosenDataFile ChooseDataFile(DataFileContext& context, std::vector<std::string>& notices) {
  using Kind = DataFileAttempt::Kind;
  const std::filesystem::path in_data = context.data_directory / std::string(kDataFileName);
  DataFileAttempt main = TryDataFile(context.files, in_data);
  if (main.kind == Kind::kUsable) return {std::move(main.contents)};
  if (main.kind == Kind::kUnusable) KeepRejectedDataFile(context, in_data, main.problem, notices);

  bool found_any = main.kind != Kind::kAbsent;
  if (main.kind == Kind::kAbsent) {
    const std::filesystem::path in_program = context.program_directory / std::string(kDataFileName);
    DataFileAttempt portable = TryDataFile(context.files, in_program);
    if (portable.kind == Kind::kUsable) return {std::move(portable.contents)};
    if (portable.kind == Kind::kUnusable) {
      notices.push_back("The data file " + in_program.string() + " was not used because " +
                        portable.problem + ".");
      found_any = true;
    }
  }

  const std::filesystem::path backup = WithSuffix(in_data, kBackupSuffix);
  DataFileAttempt copy = TryDataFile(context.files, backup);
  if (copy.kind == Kind::kUsable) {
    notices.push_back("The settings and today's figures were restored from " + backup.string() +
                      ".");
    return {std::move(copy.contents)};
  }
  if (copy.kind == Kind::kUnusable) {
    notices.push_back("The backup " + backup.string() + " was not used because " + copy.problem +
                      ".");
    found_any = true;
  }
  if (main.kind == Kind::kEmpty) {
    notices.push_back("The data file " + in_data.string() +
                      " was empty, so the default settings apply.");
  } else if (found_any) {
    notices.push_back("No usable data file was found, so the default settings apply.");
  }
  return {std::nullopt, !found_any};
}

// One notice for every option a file held outside its range.
void ResetOutOfRangeOptions(ProgramData& data, std::vector<std::string>& notices) {
  const std::vector<const SettingInfo*> reset = ResetOutOfRangeSettings(data);
  if (reset.empty()) return;
  std::string notice = "These options were out of range and were reset to their defaults: ";
  for (std::size_t i = 0; i < reset.size(); ++i) {
    if (i != 0) notice += ", ";
    notice += std::string(SettingLabel(*reset[i]));
  }
  notices.push_back(notice + ".");
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

// Live records of the database file at path, or nothing (with why) when it
// does not open. A private handle, so the program's own stays as it is.
std::optional<std::uint32_t> LiveRecordsIn(FileSystem& files, const std::filesystem::path& path,
                                           std::string* why = nullptr) {
  RecordDatabase probe(files, Collator{});
  if (Status opened = probe.Open(path, /*writable=*/false); !opened.ok()) {
    if (why != nullptr) *why = opened.message();
    return std::nullopt;
  }
  return probe.live_count();
}

// A backup that opens and holds work types, copied over the lost database
// and opened writable.
bool RestoreDatabaseBackup(DataFileContext& context, const std::filesystem::path& db_path,
                           std::vector<std::string>& notices) {
  const std::filesystem::path backup = WithSuffix(db_path, kBackupSuffix);
  if (!context.files.Exists(backup)) return false;
  if (LiveRecordsIn(context.files, backup).value_or(0) == 0) return false;
  if (!context.files.CopyFile(backup, db_path).ok()) return false;
  if (!context.records.Open(db_path, /*writable=*/true).ok()) return false;
  notices.push_back("The work types were restored from " + backup.string() + ".");
  return true;
}

// Opens the database; nothing when it opened with work types, else why it
// cannot be taken as the user's work types (and the handle stays closed).
std::optional<std::string> OpenUserDatabase(DataFileContext& context,
                                            const std::filesystem::path& db_path) {
  if (Status opened = context.records.Open(db_path, /*writable=*/true); !opened.ok()) {
    return "could not be opened (" + opened.message() + ")";
  }
  // A valid file without a live record is no one's work: a cut or zeroed
  // file, which must not hide a backup that has them.
  if (context.records.live_count() > 0) return std::nullopt;
  context.records.Close();
  return std::string("holds no work types");
}

LoadOutcome OpenOrCreateDatabase(DataFileContext& context, std::vector<std::string>& notices) {
  const std::filesystem::path db_path = DatabasePath(context.data_directory);
  const std::optional<std::string> problem = OpenUserDatabase(context, db_path);
  if (!problem) return LoadOutcome::kReady;

  if (context.files.Exists(db_path)) {
    const auto aside = KeepFileAside(context.files, context.clock, db_path);
    if (!aside) {
      notices.push_back("The work-type database " + db_path.string() + " " + *problem +
                        " and cannot be kept aside; nothing was changed.");
      return LoadOutcome::kQuit;
    }
    notices.push_back("The work-type database " + db_path.string() + " " + *problem +
                      "; it was kept as " + aside->string() + ".");
  }
  if (RestoreDatabaseBackup(context, db_path, notices)) return LoadOutcome::kReady;

  if (Status created = CreateWorkTypeDatabase(context.records, db_path); !created.ok()) {
    notices.push_back("The work-type database cannot be created: " + created.message());
    return LoadOutcome::kQuit;
  }
  NoteWorkTypeWrite(CreateInitialWorkTypes(context.records), notices);
  context.data.current_work_type = 0;
  return LoadOutcome::kReady;
}

// The problems of one backup run, for the returned Status.
class BackupReport {
 public:
  void Refused(const std::filesystem::path& from, const std::string& why) {
    Add(from.string() + " was not copied because " + why, Status::Code::kCorruption);
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
    report.Failed("Copying " + from.string() + " to " + to.string() + " failed", copied);
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
    report.Refused(from, "it holds no work types and " + to.string() + " does");
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
      report.Failed("Removing the old backup " + (folder / name).string() + " failed", removed);
    }
  }
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

Status ImportOldWorkTypes(RecordDatabase& records, const ProgramData& data) {
  FirstFailure failure;
  for (std::size_t i = 0; i < kLegacyWorkTypes; ++i) {
    failure.Note(ImportOldWorkType(records, FieldText(data.legacy_names[i]), data.legacy_maxima[i],
                                   data.legacy_today[i], data.legacy_yesterday[i]));
  }
  return failure.status();
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
  RemoveStaleTemporaryFiles(context.files, context.data_directory);
  LoadResult result;
  const ChosenDataFile chosen = ChooseDataFile(context, result.notices);
  if (!chosen.contents) {
    SetDefaultSettings(context.data, context.clock, context.day_check);
    if (chosen.first_run) ShowWelcome(context);
  } else {
    ReadBlock(*chosen.contents, context.data);
    result.outcome = ApplyVersion(context, ReadDataFileVersion(*chosen.contents), result.notices);
    if (result.outcome == LoadOutcome::kQuit) return result;
    ResetOutOfRangeOptions(context.data, result.notices);
  }
  if (!context.records.is_open()) result.outcome = OpenOrCreateDatabase(context, result.notices);
  return result;
}

ProgramData SnapshotProgramData(const ProgramData& live, Mutex& guard) {
  const MutexLock lock(guard);
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
  // Only the backup's age depends on the stamp; a failure loses nothing.
  (void)files.TouchModified(db_path);
  BackupReport report;
  CopyDatabaseIfSound(files, db_path, WithSuffix(db_path, kBackupSuffix), report);
  CopyDataFileIfSound(files, data_path, WithSuffix(data_path, kBackupSuffix), report);
  if (Status reopened = records.Open(db_path, /*writable=*/true); !reopened.ok()) {
    report.Failed("Opening " + db_path.string() + " again failed", reopened);
  }
  return report.ToStatus();
}

Status KeepDayBackup(FileSystem& files, const std::filesystem::path& data_directory,
                     const LocalTime& now) {
  const std::filesystem::path folder = data_directory / std::string(kDayBackupFolder);
  if (Status made = files.CreateDirectories(folder); !made.ok()) {
    return Status::IoError("The backup folder " + folder.string() +
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

Status ImportOldWorkType(RecordDatabase& records, std::string_view name, std::uint32_t maximum_ms,
                         std::uint32_t today_ms, std::uint32_t yesterday_ms) {
  if (name.empty()) return Status::Ok();
  std::int32_t id = -1;
  for (const std::int32_t slot : records.LiveRecords()) {
    if (slot != kPlaceholderSlot && records.ReadText(slot, work_type_field::kName) == name) {
      id = slot;
      break;
    }
  }
  if (id < 0) {
    id = records.NewRecord();
    if (id < 0) return records.last_error();
    if (Status named = records.WriteText(id, work_type_field::kName, name); !named.ok()) {
      return named;
    }
  }
  FirstFailure failure;
  failure.Note(records.WriteNumber(id, work_type_field::kMaximum, maximum_ms));
  failure.Note(records.WriteNumber(id, work_type_field::kToday, today_ms));
  failure.Note(records.WriteNumber(id, work_type_field::kYesterday, yesterday_ms));
  return failure.status();
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
  NoteWorkTypeWrite(ImportOldWorkTypes(context.records, data), notices);

  if (context.import_work && !context.import_work()) {
    notices.push_back("The upgrade was cancelled; nothing was changed");
    AbandonUpgradeDatabase(context, db_path, aside);
    return LoadOutcome::kQuit;
  }
  if (aside) notices.push_back("The old work-type database was kept as " + aside->string());
  // An upgrade that found no work type anywhere starts with the usual ten,
  // as a first run does: with none, no work could be counted, and the next
  // start would take the database for a damaged one.
  if (context.records.live_count() == 0) {
    // The placeholder that CreateInitialWorkTypes removes again.
    if (context.records.NewRecord() == kPlaceholderSlot) {
      NoteWorkTypeWrite(CreateInitialWorkTypes(context.records), notices);
    }
    data.current_work_type = 0;
  }
  if (IsOn(data.file_log) && context.write_plain_log_line) {
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
