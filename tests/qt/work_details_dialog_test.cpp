#include "dialogs/qt/work_details_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "dialogs/qt/dialog_services.h"
#include "engine/requests.h"
#include "state/command_ids.h"
#include "text/text.h"
#include "widget_fixture.h"

namespace tolvi {
namespace {

namespace wc = work_details_control;
using CoreOnDisk = test::CoreOnDisk<>;
using test::Control;
using test::TypeInto;

void Press(QWidget& dialog, std::uint32_t id) {
  QTest::mouseClick(Control<QPushButton>(dialog, id), Qt::LeftButton);
}

// A core with the work types Admin, Budget and Code, Admin current.
struct WorkTypeRun {
  WorkTypeRun() : core(directory.path()), services(core.context, choice_open, options_open) {
    core.CreateFresh({"Admin", "Budget", "Code"});
    core.data().current_work_type = 0;
    SetFieldText(core.data().current_name, "Admin");
  }
  // Runs the work-type command for a request the monitor has taken, acting
  // on the dialog once it is up, and lets the monitor take the result.
  void Run(std::uint32_t code, std::int32_t value, const std::function<void(QDialog&)>& act) {
    CoreContext& context = core.context;
    QVERIFY(TryPostRequest(context, code, value));
    {
      StateLock lock(context.state.mutex);
      HandleRequest(context, lock);
    }
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      QCOMPARE(context.state.activity.request_code, request::kDialogOpen);
      act(*dialog);
    });
    RunWorkTypeDialog(nullptr, services);
    StateLock lock(context.state.mutex);
    HandleRequest(context, lock);
  }

  QTemporaryDir directory;
  CoreOnDisk core;
  ChoiceOpenFlag choice_open;
  OptionsOpenFlag options_open;
  DialogServices services;
};

}  // namespace

class WorkDetailsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void SelectInWorkDetailsRenamesAndMakesItCurrent() {
    WorkTypeRun run;
    run.Run(request::kEditWorkType, 2, [](QDialog& dialog) {
      TypeInto(Control<QComboBox>(dialog, wc::kName)->lineEdit(), QStringLiteral("Accounts"));
      Press(dialog, wc::kSelect);
    });
    QCOMPARE(FieldText(run.core.data().current_name), std::string("Accounts"));
    QCOMPARE(run.core.Name(static_cast<std::int32_t>(run.core.data().current_work_type)),
             std::string("Accounts"));
  }

  void SelectWorkTakesTheChoiceOnlyOnOk_data() {
    QTest::addColumn<std::uint32_t>("button");
    QTest::addColumn<quint32>("current");
    QTest::addColumn<QString>("name");
    QTest::newRow("OK") << wc::kOk << 2u << QStringLiteral("Code");
    QTest::newRow("Cancel") << wc::kCancel << 0u << QStringLiteral("Admin");
  }
  void SelectWorkTakesTheChoiceOnlyOnOk() {
    QFETCH(std::uint32_t, button);
    QFETCH(quint32, current);
    QFETCH(QString, name);
    WorkTypeRun run;
    run.Run(request::kSelectWorkType, 0, [button](QDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Work"));
      auto* names = Control<QComboBox>(dialog, wc::kName);
      QCOMPARE(names->currentText(), QStringLiteral("Admin"));
      names->setCurrentIndex(2);
      emit names->activated(2);
      dialog.grab().save(test::ScreenshotPath(QStringLiteral("select_work_dialog")));
      Press(dialog, button);
    });
    QCOMPARE(run.core.data().current_work_type, current);
    QCOMPARE(QString::fromStdString(FieldText(run.core.data().current_name)), name);
    QVERIFY(run.core.context.events.request_free.IsSet());
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::WorkDetailsDialogTest)
#include "work_details_dialog_test.moc"
