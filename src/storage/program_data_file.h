// The program data file "dTolvi.dat" (the magic "TOLV1320", then the raw
// 6,500-byte ProgramData), its older versions and their upgrades, the
// start-up that loads it and opens or creates the work-type database
// "TlvDB.lbf", the save, and the " Bak" backup copies of both files.
//
// Nothing here ends the program: a load that must stop says so in its
// result, and the caller ends the program without saving. A file that is
// rejected or cannot be read is never overwritten: it is renamed aside
// (NAME.bad-YYYYMMDD-HHMMSS) first, and a valid "TlvDB.lbf Bak" is restored
// in place of a lost database.
//
// Threads: LoadProgramData runs on the GUI thread before the monitor starts.
// SaveProgramData writes a copy the caller took under the shared-state lock
// (SnapshotProgramData), so a save never interleaves with changes and the
// lock is not held during the write. BackupDataFiles closes and reopens the
// database and so runs where the database is not in use (the monitor
// thread, or the day close).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/mutex.h"
#include "platform/status.h"
#include "platform/ui.h"
#include "settings/settings.h"
#include "storage/program_data.h"
#include "storage/record_database.h"

namespace tolvi {

inline constexpr std::string_view kDataFileName = "dTolvi.dat";
inline constexpr std::string_view kDatabaseFileName = "TlvDB.lbf";
inline constexpr std::string_view kBackupSuffix = " Bak";
inline constexpr std::string_view kReadMeFileName = "ReadMe.htm";
inline constexpr std::string_view kDataFileMagic = "TOLV1320";
inline constexpr std::string_view kDataFileMagicPrefix = "TOLV1";
inline constexpr std::size_t kMagicBytes = 8;
inline constexpr std::size_t kDataFileBytes = kMagicBytes + kProgramDataBytes;
// Appended to the work log after an upgrade from version 250.
inline constexpr std::string_view kUpgradeLogMarker = "\r\n#C\r\n \r\n";

// What ReadDataFileVersion reports.
namespace data_file_version {
inline constexpr std::uint32_t kNotADataFile = 1001;
inline constexpr std::uint32_t kCurrent = 1000;
inline constexpr std::uint32_t kOldestUpgradable = 250;
inline constexpr std::uint32_t kVersion300 = 300;
inline constexpr std::uint32_t kVersion310 = 310;
}  // namespace data_file_version

// The questions asked while loading (no owner window yet, smaller font).
inline constexpr std::string_view kWelcomeMessage = "Thanks for trying Tolvi. We hope you like it.";
inline constexpr std::string_view kWelcomeOk = "OK";
inline constexpr std::string_view kWelcomeOpenReadMe = "Open ReadMe";
inline constexpr std::string_view kTooOldMessage =
    "The data file is too old to be upgraded so all past data will be lost.";
inline constexpr std::string_view kTooOldErase = "Erase data and create new file";
inline constexpr std::string_view kTooOldKeep = "Don't erase the old data";

// Everything the loader works with; the caller owns all of it.
struct DataFileContext {
  FileSystem& files;
  Clock& clock;
  Ui& ui;
  std::filesystem::path data_directory;
  std::filesystem::path program_directory;
  RecordDatabase& records;
  // The live block: not yet shared while loading, so no lock is needed.
  ProgramData& data;
  // Ends the defaults routine (the day check of the day rollover).
  DayCheck day_check;
  // The version-250 upgrade's import dialog: true to go on, false when the
  // user cancelled (the load then ends the program). None: go on.
  std::function<bool()> import_work;
  // Appends one plain line (no time stamp) to the work log. None: no log.
  std::function<void(std::string_view)> write_plain_log_line;
};

enum class LoadOutcome { kReady, kQuit };

struct LoadResult {
  LoadOutcome outcome = LoadOutcome::kReady;
  // What the user may want to know: files kept aside, a database restored
  // from its backup, why the program must end.
  std::vector<std::string> notices;
};

// data directory / name when that file can be read, else program directory
// / name.
std::filesystem::path ResolveDataFilePath(FileSystem& files,
                                          const std::filesystem::path& data_directory,
                                          const std::filesystem::path& program_directory,
                                          std::string_view name);

// The version of a data file from its first bytes: kNotADataFile unless it
// starts with "TOLV1" (or is shorter than the magic), kCurrent for "320",
// else the decimal value of the three digits (250, 300, 310...).
std::uint32_t ReadDataFileVersion(std::string_view file_start);

// Start-up: removes stale temporary files, reads the program data (data
// directory, else the program directory, else the " Bak" copy; a file that
// cannot be read or is not a whole current-version file is kept aside and
// reported), upgrades old versions, resets out-of-range options, then opens
// the work-type database (an empty one counts as unusable: its " Bak" is
// restored when it has work types, else ten new ones are made).
LoadResult LoadProgramData(DataFileContext& context);

// A copy of the live block taken under its lock.
ProgramData SnapshotProgramData(const ProgramData& live, Mutex& guard);
// The file image: magic and block.
std::string ProgramDataFileImage(const ProgramData& snapshot);
// Replaces data directory / "dTolvi.dat" atomically with the snapshot.
Status SaveProgramData(FileSystem& files, const std::filesystem::path& data_directory,
                       const ProgramData& snapshot);

// Closes the database (flushing it), stamps it, copies it and "dTolvi.dat"
// (as last saved) to their " Bak" names, and opens the database again.
// A backup never replaces a better one: the database is copied only when
// it opens and holds live records (or the old backup holds none or does
// not open), the data file only when it is 6,508 bytes beginning with
// "TOLV1320". Not OK when a copy was refused or failed (the old backup
// stays) or the database could not be opened again; the message names the
// file and why.
Status BackupDataFiles(FileSystem& files, RecordDatabase& records,
                       const std::filesystem::path& data_directory);

// The day-close copy of both files, as they are on disk (call it after
// BackupDataFiles has flushed the database), into data directory /
// "Backups" as "YYYY-MM-DD dTolvi.dat" and "YYYY-MM-DD TlvDB.lbf" by
// `now`'s date, each only when sound by the rules of BackupDataFiles; then
// removes the sets older than the newest kDayBackupsKept dates (no other
// file is touched). Not OK, naming the file and why, when a copy was
// refused or a step failed.
inline constexpr std::string_view kDayBackupFolder = "Backups";
inline constexpr std::size_t kDayBackupsKept = 7;
Status KeepDayBackup(FileSystem& files, const std::filesystem::path& data_directory,
                     const LocalTime& now);

// Writes one work type of a version-250 file into the database: the record
// of that exact name (never the placeholder in slot 0), or a new one; then
// its maximum, today and yesterday. Fails when it could not be stored; an
// empty name is skipped.
Status ImportOldWorkType(RecordDatabase& records, std::string_view name, std::uint32_t maximum_ms,
                         std::uint32_t today_ms, std::uint32_t yesterday_ms);

// The upgrade of a version-250 block read into context.data: units, a new
// database with the five old work types, the import dialog and the log
// marker. kQuit (with the database removed and any old one put back) when
// the import is cancelled or the database cannot be created.
LoadOutcome UpgradeFromVersion250(DataFileContext& context, std::vector<std::string>& notices);

// Renames a file aside as NAME.bad-YYYYMMDD-HHMMSS (with -2, -3... if that
// name is taken), copying it when it cannot be renamed. The new path, or
// nothing when its bytes could not be kept.
std::optional<std::filesystem::path> KeepFileAside(FileSystem& files, Clock& clock,
                                                   const std::filesystem::path& path);

}  // namespace tolvi
