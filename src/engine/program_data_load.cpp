#include "engine/program_data_load.h"

#include <optional>

#include "accounting/work_type_record.h"
#include "settings/settings.h"
#include "storage/temporary_files.h"
#include "text/text.h"

namespace tolvi {
namespace {

void NoteWorkTypeWrite(const Status& written, std::vector<std::string>& notices) {
  if (!written.ok()) notices.push_back(std::string(kRecordWriteFailedText) + written.message());
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

void ShowWelcome(DataFileContext& context) {
  const int answer = context.ui.Ask(LoadQuestion(kWelcomeMessage, kWelcomeOk, kWelcomeOpenReadMe));
  if (answer == 2) {
    context.ui.OpenWithDefaultApp(context.program_directory / std::string(kReadMeFileName));
  }
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
  std::string notice = "The data file " + PathText(path) + " was not used because " + problem;
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
      notices.push_back("The data file " + PathText(in_program) + " was not used because " +
                        portable.problem + ".");
      found_any = true;
    }
  }

  const std::filesystem::path backup = BackupPath(in_data);
  DataFileAttempt copy = TryDataFile(context.files, backup);
  if (copy.kind == Kind::kUsable) {
    notices.push_back("The settings and today's figures were restored from " + PathText(backup) +
                      ".");
    return {std::move(copy.contents)};
  }
  if (copy.kind == Kind::kUnusable) {
    notices.push_back("The backup " + PathText(backup) + " was not used because " + copy.problem +
                      ".");
    found_any = true;
  }
  if (main.kind == Kind::kEmpty) {
    notices.push_back("The data file " + PathText(in_data) +
                      " was empty, so the default settings apply.");
  } else if (found_any) {
    notices.emplace_back("No usable data file was found, so the default settings apply.");
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
  if (version < kOldestUpgradable) {
    const int answer = context.ui.Ask(LoadQuestion(kTooOldMessage, kTooOldErase, kTooOldKeep));
    if (answer != 1) {
      notices.emplace_back("The data file is too old; nothing was changed");
      return LoadOutcome::kQuit;
    }
    SetDefaultSettings(data, context.clock, context.day_check);
    return LoadOutcome::kReady;
  }
  UpgradeProgramDataBlock(data, version);
  return LoadOutcome::kReady;
}

// A backup that opens and holds work types, copied over the lost database
// and opened writable.
bool RestoreDatabaseBackup(DataFileContext& context, const std::filesystem::path& db_path,
                           std::vector<std::string>& notices) {
  const std::filesystem::path backup = BackupPath(db_path);
  if (!context.files.Exists(backup)) return false;
  if (LiveRecordsIn(context.files, backup).value_or(0) == 0) return false;
  if (!context.files.CopyFile(backup, db_path).ok()) return false;
  if (!context.records.Open(db_path, /*writable=*/true).ok()) return false;
  notices.push_back("The work types were restored from " + PathText(backup) + ".");
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
      notices.push_back("The work-type database " + PathText(db_path) + " " + *problem +
                        " and cannot be kept aside; nothing was changed.");
      return LoadOutcome::kQuit;
    }
    notices.push_back("The work-type database " + PathText(db_path) + " " + *problem +
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

Status ImportOldWorkTypes(RecordDatabase& records, const ProgramData& data) {
  FirstFailure failure;
  for (std::size_t i = 0; i < kLegacyWorkTypes; ++i) {
    failure.Note(ImportOldWorkType(records, FieldText(data.legacy_names[i]), data.legacy_maxima[i],
                                   data.legacy_today[i], data.legacy_yesterday[i]));
  }
  return failure.status();
}

// Undoes the upgrade's database: the new file goes, an old one comes back.
// What cannot be undone is named in the notices.
void AbandonUpgradeDatabase(DataFileContext& context, const std::filesystem::path& db_path,
                            const std::optional<std::filesystem::path>& aside,
                            std::vector<std::string>& notices) {
  context.records.Close();
  const Status removed = context.files.Remove(db_path);
  if (!aside) {
    if (!removed.ok()) {
      notices.push_back("The new work-type database " + PathText(db_path) +
                        " could not be removed: " + removed.message());
    }
    return;
  }
  if (Status back = context.files.Rename(*aside, db_path); !back.ok()) {
    notices.push_back("The old work-type database could not be put back (" + back.message() +
                      "); it is kept as " + aside->string());
  }
}

}  // namespace

LoadResult LoadProgramData(DataFileContext& context) {
  RemoveStaleTemporaryFiles(context.files, context.data_directory);
  LoadResult result;
  const ChosenDataFile chosen = ChooseDataFile(context, result.notices);
  if (!chosen.contents) {
    SetDefaultSettings(context.data, context.clock, context.day_check);
    if (chosen.first_run) ShowWelcome(context);
  } else {
    ReadProgramDataBlock(*chosen.contents, context.data);
    result.outcome = ApplyVersion(context, ReadDataFileVersion(*chosen.contents), result.notices);
    if (result.outcome == LoadOutcome::kQuit) return result;
    ResetOutOfRangeOptions(context.data, result.notices);
  }
  if (!context.records.is_open()) result.outcome = OpenOrCreateDatabase(context, result.notices);
  return result;
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
      notices.push_back("The work-type database " + PathText(db_path) +
                        " cannot be kept aside for the upgrade; nothing was changed");
      return LoadOutcome::kQuit;
    }
  }
  if (Status created = CreateWorkTypeDatabase(context.records, db_path); !created.ok()) {
    notices.push_back("The work-type database cannot be created: " + created.message());
    AbandonUpgradeDatabase(context, db_path, aside, notices);
    return LoadOutcome::kQuit;
  }
  NoteWorkTypeWrite(ImportOldWorkTypes(context.records, data), notices);

  if (context.import_work && !context.import_work()) {
    notices.emplace_back("The upgrade was cancelled; nothing was changed");
    AbandonUpgradeDatabase(context, db_path, aside, notices);
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

}  // namespace tolvi
