#include "dialogs/qt/work_details_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <optional>

#include "dialogs/qt/dialog_services.h"
#include "engine/requests.h"
#include "state/command_ids.h"
#include "text/text.h"
#include "widget_fixture.h"

namespace tolvi {
namespace {

namespace wc = work_details_control;
using CoreOnDisk = test::CoreOnDisk<>;

template <typename Widget>
Widget* Child(QWidget& dialog, std::uint32_t id) {
  auto* widget = dialog.findChild<Widget*>(QStringLiteral("control_%1").arg(id));
  Q_ASSERT(widget != nullptr);
  return widget;
}

void Press(QWidget& dialog, std::uint32_t id) {
  QTest::mouseClick(Child<QPushButton>(dialog, id), Qt::LeftButton);
}

// Runs command 2018 for a request the monitor has taken, acting on the
// dialog once it is up.
void RunDialogFor(CoreContext& context, DialogServices& services, std::uint32_t code,
                  std::int32_t value, const std::function<void(QDialog&)>& act) {
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
  HandleRequest(context, lock);  // request 7 or 8
}

}  // namespace

class WorkDetailsDialogTest : public QObject {
  Q_OBJECT

 private:
  struct Session {
    Session(const QString& directory, const std::vector<std::string>& names) : core(directory) {
      core.CreateFresh(names);
      core.context.state.data.current_work_type = 0;
      SetFieldText(core.context.state.data.current_name, names.empty() ? "" : names.front());
    }
    DialogServices Services() {
      DialogServices services(core.context, choice_open, options_open);
      services.ask = [this](const Question& question) { return core.ui.Ask(question); };
      return services;
    }
    CoreOnDisk core;
    ChoiceOpenFlag choice_open;
    OptionsOpenFlag options_open;
  };

  QTemporaryDir directory_;

 private slots:

  void SelectInWorkDetailsRenamesAndMakesItCurrent() {
    Session session(directory_.path(), {"Admin", "Budget", "Code"});
    CoreContext& context = session.core.context;
    DialogServices services = session.Services();
    RunDialogFor(context, services, request::kEditWorkType, 2, [](QDialog& dialog) {
      QLineEdit* name = Child<QComboBox>(dialog, wc::kName)->lineEdit();
      name->selectAll();
      QTest::keyClicks(name, QStringLiteral("Accounts"));
      Press(dialog, wc::kSelect);
    });
    QCOMPARE(FieldText(context.state.data.current_name), std::string("Accounts"));
    QCOMPARE(session.core.Name(static_cast<std::int32_t>(context.state.data.current_work_type)),
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
    Session session(directory_.path(), {"Admin", "Budget", "Code"});
    CoreContext& context = session.core.context;
    DialogServices services = session.Services();
    RunDialogFor(context, services, request::kSelectWorkType, 0, [button](QDialog& dialog) {
      QCOMPARE(dialog.windowTitle(), QStringLiteral("Select Work"));
      auto* names = Child<QComboBox>(dialog, wc::kName);
      QCOMPARE(names->currentText(), QStringLiteral("Admin"));
      names->setCurrentIndex(2);
      emit names->activated(2);
      dialog.grab().save(test::ScreenshotPath(QStringLiteral("select_work_dialog")));
      Press(dialog, button);
    });
    QCOMPARE(context.state.data.current_work_type, current);
    QCOMPARE(QString::fromStdString(FieldText(context.state.data.current_name)), name);
    QVERIFY(context.events.request_free.IsSet());
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::WorkDetailsDialogTest)
#include "work_details_dialog_test.moc"
