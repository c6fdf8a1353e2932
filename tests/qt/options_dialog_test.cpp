#include "dialogs/qt/options_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "dialogs/qt/dialog_services.h"
#include "engine/program_files.h"
#include "text/text.h"
#include "widget_fixture.h"

namespace tolvi {
namespace {

namespace oc = options_control;
using CoreOnDisk = test::CoreOnDisk<>;
using test::Control;
using test::TypeInto;

// Options run as the program runs it, on a fresh core of its own.
struct OptionsRun {
  OptionsRun() : core(directory.path()), services(core.context, choice_open, options_open) {
    core.CreateFresh({"Write", "Read"});
  }
  // act gets the dialog once it is up; then "OK" closes it.
  void Run(const std::function<void(OptionsDialog&)>& act) {
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<OptionsDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      act(*dialog);
      QTest::mouseClick(Control<QPushButton>(*dialog, oc::kOk), Qt::LeftButton);
    });
    RunOptionsDialog(nullptr, services);
  }

  QTemporaryDir directory;
  CoreOnDisk core;
  ChoiceOpenFlag choice_open;
  OptionsOpenFlag options_open;
  DialogServices services;
};

}  // namespace

class OptionsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // One control of each kind, and the autostart entry the check box writes;
  // the model's tests own each setting's rules.
  void ControlsOfEveryKindReachTheSettingsAndSurviveARestart() {
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString entry = config.filePath(QStringLiteral("autostart/tolvi.desktop"));
    OptionsRun run;
    run.services.autostart_arguments = {"--data-dir", "/data/my dir"};
    run.Run([&run](OptionsDialog& dialog) {
      RunOptionsDialog(nullptr, run.services);  // a second "Options..." does nothing
      // Only OK leaves: Escape and the close command do nothing.
      QTest::keyClick(&dialog, Qt::Key_Escape);
      dialog.close();
      QVERIFY(dialog.isVisible());
      Control<QCheckBox>(dialog, oc::kConfirmQuit)->click();
      Control<QCheckBox>(dialog, oc::kAutoStart)->click();
      auto* reset_mode = Control<QComboBox>(dialog, oc::kResetMode);
      reset_mode->setCurrentIndex(2);
      emit reset_mode->activated(2);
      TypeInto(Control<QSpinBox>(dialog, oc::kAwayTime)->findChild<QLineEdit*>(),
               QStringLiteral("12"));
      TypeInto(Control<QLineEdit>(dialog, oc::kWorkNotes), QStringLiteral("release day"));
      TypeInto(Control<QComboBox>(dialog, oc::kReminderText)->lineEdit(),
               QStringLiteral("Stand up!"));
      Control<QSlider>(dialog, oc::kIntervalSlider)->setValue(50);
    });
    QVERIFY(!run.options_open.IsOpen());
    CoreOnDisk restarted(run.directory.path());
    QVERIFY(LoadProgramFiles(restarted.context).outcome == LoadOutcome::kReady);
    const ProgramData& data = restarted.context.state.data;
    QCOMPARE(data.confirm_quit, 1u);
    QCOMPARE(data.reset_mode, 2u);
    QCOMPARE(data.away_time, 720'000u);
    QCOMPARE(FieldText(data.work_notes), std::string("release day"));
    QCOMPARE(FieldText(data.reminder_text), std::string("Stand up!"));
    QCOMPARE(data.break_interval, 3'000'000u);
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.contains(QStringLiteral("Exec=\"%1\" \"--data-dir\" \"/data/my dir\"\n")
                               .arg(QCoreApplication::applicationFilePath())),
             qPrintable(text));
    run.Run([](OptionsDialog& dialog) { Control<QCheckBox>(dialog, oc::kAutoStart)->click(); });
    QVERIFY(!QFile::exists(entry));
    qunsetenv("XDG_CONFIG_HOME");
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::OptionsDialogTest)
#include "options_dialog_test.moc"
