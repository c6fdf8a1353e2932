// A core on disk for the widget tests of the Options and work-type dialogs:
// a temporary data directory with first-run settings and a work-type
// database, the real POSIX file layer, a fixed clock (Sunday, 6 December
// 2026), the shared recording Ui, and screenshots saved for the test
// artifacts.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>
#include <string>
#include <vector>

#include "accounting/work_type_record.h"
#include "fakes/recording_ui.h"
#include "fakes/scripted_random.h"
#include "platform/posix/posix_file_system.h"
#include "settings/settings.h"
#include "state/core_context.h"
#include "storage/program_data_file.h"

namespace tolvi::test {

class FixedClock final : public Clock {
 public:
  std::uint32_t TickCount() override { return 1'000'000; }
  std::uint32_t LastInputTick() override { return 1'000'000; }
  LocalTime Now() override { return LocalTime{2026, 12, 6, 0, 14, 3, 27}; }
  std::uint32_t FileTimeHigh() override { return 31'000'000; }
  std::string LongDate(const LocalTime&) override { return "Sunday, 6 December 2026"; }
};

// The core of one test; make a second one on the same directory to see what
// a restart would load.
struct CoreOnDisk {
  explicit CoreOnDisk(const QString& directory)
      : context(CorePorts{clock, ui, files, random}, directory.toStdString(),
                directory.toStdString()) {}

  // First-run settings and a database holding only the given work types.
  void CreateFresh(const std::vector<std::string>& names) {
    SetDefaultSettings(context.state.data, clock);
    const std::filesystem::path path = context.DataFile(kDatabaseFileName);
    if (!CreateWorkTypeDatabase(context.records, path).ok()) return;
    if (!context.records.SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted).ok()) return;
    for (const std::string& name : names) AddWorkType(name, kDefaultMaximumMs);
  }

  std::int32_t AddWorkType(const std::string& name, std::uint32_t maximum_ms) {
    const std::int32_t id = context.records.NewRecord();
    FirstFailure failure;
    failure.Note(InitWorkType(context.records, id, /*named=*/false));
    failure.Note(context.records.WriteText(id, work_type_field::kName, name));
    failure.Note(context.records.WriteNumber(id, work_type_field::kMaximum, maximum_ms));
    failure.Note(context.records.WriteText(id, work_type_field::kNotes, ""));
    return failure.status().ok() ? id : -1;
  }

  std::string Name(std::int32_t id) const {
    return context.records.ReadText(id, work_type_field::kName).value_or("(none)");
  }

  FixedClock clock;
  RecordingUi ui;
  PosixFileSystem files;
  ScriptedRandom random;
  CoreContext context;
};

// Saves a picture of the widget for the test artifacts: into
// $TOLVI_SCREENSHOT_DIR when set, else screenshots/ in the working directory.
inline QString SaveScreenshot(QWidget& widget, const QString& name) {
  QString directory = qEnvironmentVariable("TOLVI_SCREENSHOT_DIR");
  if (directory.isEmpty()) directory = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(directory);
  const QString path = QDir(directory).filePath(name + QStringLiteral(".png"));
  widget.grab().save(path);
  return path;
}

}  // namespace tolvi::test
