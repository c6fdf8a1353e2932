// The start-up load of the program data: chooses "dTolvi.dat" (data
// directory, program directory, " Bak" copy), upgrades older versions with
// the user's consent, applies the defaults on a first run, and opens or
// creates the work-type database "TlvDB.lbf". The bytes and copies of the
// files are storage/program_data_file.h; this is the policy around them.
//
// Nothing here ends the program: a load that must stop says so in its
// result, and the caller ends the program without saving. A file that is
// rejected or cannot be read is never overwritten: it is renamed aside
// first, and a valid "TlvDB.lbf Bak" is restored in place of a lost
// database.
//
// Threads: the GUI thread, before the monitor starts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/ui.h"
#include "settings/settings.h"
#include "storage/program_data.h"
#include "storage/program_data_file.h"
#include "storage/record_database.h"

namespace tolvi {

// Appended to the work log after an upgrade from version 250.
inline constexpr std::string_view kUpgradeLogMarker = "\r\n#C\r\n \r\n";

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

// Start-up: removes stale temporary files, reads the program data (data
// directory, else the program directory, else the " Bak" copy; a file that
// cannot be read or is not a whole current-version file is kept aside and
// reported), upgrades old versions, resets out-of-range options, then opens
// the work-type database (an empty one counts as unusable: its " Bak" is
// restored when it has work types, else ten new ones are made).
LoadResult LoadProgramData(DataFileContext& context);

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

}  // namespace tolvi
