// The program data file "dTolvi.dat" (the magic "TOLV1320", then the raw
// 6,500-byte ProgramData): its bytes, its older versions and the changes
// that bring their blocks up to date, the save, and the " Bak" and daily
// backup copies of it and of the work-type database "TlvDB.lbf". Bytes and
// files only: the start-up that chooses a file, asks the user and applies
// the defaults is engine/program_data_load.h.
//
// A file that is rejected or cannot be read is never overwritten: callers
// rename it aside (KeepFileAside, NAME.bad-YYYYMMDD-HHMMSS) first.
//
// Threads: any, on a caller's own data. SaveProgramData writes the block as
// given; callers hold the shared-state lock through the save, so a save
// never interleaves with changes.
// BackupDataFiles closes and reopens the database and so runs where the
// database is not in use (the monitor thread, or the day close).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/status.h"
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

// What ReadDataFileVersion reports.
namespace data_file_version {
inline constexpr std::uint32_t kNotADataFile = 1001;
inline constexpr std::uint32_t kCurrent = 1000;
inline constexpr std::uint32_t kOldestUpgradable = 250;
inline constexpr std::uint32_t kVersion300 = 300;
inline constexpr std::uint32_t kVersion310 = 310;
}  // namespace data_file_version

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

// Why a data file's bytes cannot be loaded; nothing when they can. Any
// version ReadDataFileVersion knows is accepted, the current one only whole.
std::optional<std::string> DataFileProblem(std::string_view contents);

// Overlays what the file holds after its magic, up to one block; a short
// file leaves the rest of the block as it was.
void ReadProgramDataBlock(std::string_view contents, ProgramData& data);

// Sets the options a version-300 or -310 block did not have; any other
// version is left as it is.
void UpgradeProgramDataBlock(ProgramData& data, std::uint32_t version);

// Version 250 kept durations in tenths of a minute (the snooze in minutes):
// converts them to milliseconds.
void ConvertVersion250Units(ProgramData& data);

// data directory / "TlvDB.lbf", and any path with the backup suffix added.
std::filesystem::path DatabasePath(const std::filesystem::path& data_directory);
std::filesystem::path BackupPath(const std::filesystem::path& path);

// Live records of the database file at path, or nothing (with why) when it
// does not open. A private handle, so the program's own stays as it is.
std::optional<std::uint32_t> LiveRecordsIn(FileSystem& files, const std::filesystem::path& path,
                                           std::string* why = nullptr);

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

// Renames a file aside as NAME.bad-YYYYMMDD-HHMMSS (with -2, -3... if that
// name is taken), copying it when it cannot be renamed. The new path, or
// nothing when its bytes could not be kept.
std::optional<std::filesystem::path> KeepFileAside(FileSystem& files, Clock& clock,
                                                   const std::filesystem::path& path);

}  // namespace tolvi
