// Shared pieces of the widget tests: a core on disk (a temporary data
// directory, the real POSIX file layer, a clock stopped on Sunday, 6
// December 2026), a poll that acts once a window is up, and screenshots
// saved for the test artifacts.
#pragma once

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "accounting/recent_work.h"
#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "fakes/fake_clock.h"
#include "fakes/recording_ui.h"
#include "fakes/scripted_random.h"
#include "platform/posix/posix_file_system.h"
#include "reminders/qt/choice_dialog.h"
#include "settings/settings.h"
#include "shell/qt/desktop_shell.h"
#include "shell/qt/qt_ui.h"
#include "state/core_context.h"
#include "storage/program_data_file.h"

namespace tolvi::test {

// The core of one test; make a second one on the same directory to see what
// a restart would load. The shell's tests give it the real QtUi.
template <typename UiType = RecordingUi>
struct CoreOnDisk {
  explicit CoreOnDisk(const QString& directory)
      : context(CorePorts{clock, ui, files, random}, directory.toStdString(),
                directory.toStdString()) {
    clock.SetTickCount(1'000'000);
    clock.SetLastInputTick(1'000'000);
  }

  // First-run settings and a database holding only the given work types.
  void CreateFresh(const std::vector<std::string>& names) {
    SetDefaultSettings(context.state.data, clock);
    const std::filesystem::path path = context.DataFile(kDatabaseFileName);
    if (!CreateWorkTypeDatabase(context.records, path).ok()) return;
    if (!context.records.SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted).ok()) return;
    for (const std::string& name : names) {
      const std::int32_t id = context.records.NewRecord();
      FirstFailure failure;
      failure.Note(InitWorkType(context.records, id, /*named=*/false));
      failure.Note(context.records.WriteText(id, work_type_field::kName, name));
      failure.Note(context.records.WriteNumber(id, work_type_field::kMaximum, kDefaultMaximumMs));
      failure.Note(context.records.WriteText(id, work_type_field::kNotes, ""));
      if (!failure.status().ok()) qFatal("a work type cannot be added");
    }
  }

  // As the running program stands: first-run settings, the ten initial work
  // types, and the user working.
  void StartWorking() {
    SetDefaultSettings(context.state.data, clock);
    if (!CreateWorkTypeDatabase(context.records, context.DataFile(kDatabaseFileName)).ok() ||
        !CreateInitialWorkTypes(context.records).ok()) {
      qFatal("the work-type database cannot be made");
    }
    LoadCurrentWorkType(context.state, context.records);
    RebuildRecentWork(context.state, context.records);
    context.state.activity.working_flag = WorkingFlag::kWorking;
    context.state.activity.break_countdown_ms = context.state.data.break_interval;
  }

  std::string Name(std::int32_t id) const {
    return context.records.ReadText(id, work_type_field::kName).value_or("(none)");
  }
  ProgramData& data() { return context.state.data; }
  ActivityState& activity() { return context.state.activity; }

  FakeClock clock;
  UiType ui;
  PosixFileSystem files;
  ScriptedRandom random;
  CoreContext context;
};

// The desktop shell on a core on disk with the real QtUi. The monitor
// thread is not started: each test plays the monitor's part itself.
struct ShellRun {
  explicit ShellRun(ShellOptions options) : core(directory.path()) {
    core.StartWorking();
    options.start_monitor = false;
    shell = std::make_unique<DesktopShell>(core.context, core.ui, std::move(options));
    shell->Start();
  }

  QTemporaryDir directory;
  CoreOnDisk<QtUi> core;
  std::unique_ptr<DesktopShell> shell;
};

// Calls act once ready() holds, polling from the event loop, so that act
// runs inside the modal loop of whatever window the test opens next.
inline void WhenReady(std::function<bool()> ready, std::function<void()> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [poll, ready, act] {
    if (!ready()) return;
    poll->stop();
    poll->deleteLater();
    act();
  });
  poll->start(10);
}

inline ChoiceDialog* VisibleChoice() {
  for (QWidget* widget : QApplication::allWidgets()) {
    auto* dialog = qobject_cast<ChoiceDialog*>(widget);
    if (dialog != nullptr && dialog->isVisible()) return dialog;
  }
  return nullptr;
}

// Clicks "first_button" or "second_button" of the question window up now.
inline void AnswerChoice(const char* button) {
  QTest::mouseClick(VisibleChoice()->findChild<QPushButton*>(QLatin1String(button)),
                    Qt::LeftButton);
}

// A dialog's control by its id: the dialogs name each one "control_<id>".
template <typename Widget>
Widget* Control(QWidget& dialog, std::uint32_t id) {
  auto* widget = dialog.findChild<Widget*>(QStringLiteral("control_%1").arg(id));
  Q_ASSERT(widget != nullptr);
  return widget;
}

// Replaces an edit's text as a user would: select all, delete, type.
inline void TypeInto(QLineEdit* edit, const QString& text) {
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClicks(edit, text);
}

// Where a picture for the test artifacts goes: $TOLVI_SCREENSHOT_DIR when
// set, else screenshots/ in the working directory.
inline QString ScreenshotPath(const QString& name) {
  QString directory = qEnvironmentVariable("TOLVI_SCREENSHOT_DIR");
  if (directory.isEmpty()) directory = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(directory);
  return QDir(directory).filePath(name + QStringLiteral(".png"));
}

}  // namespace tolvi::test
