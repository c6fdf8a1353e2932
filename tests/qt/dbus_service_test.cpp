// The interface on a private session bus (run under dbus-run-session): the
// properties follow the state, the methods act as the menu's entries do, and
// no PropertiesChanged goes out while nothing changes. The monitor thread is
// not started; the test plays its part. A second connection plays the
// client.
#include "shell/qt/dbus_service.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTest>
#include <memory>

#include "engine/day_check.h"
#include "engine/standard_hooks.h"
#include "engine/tick.h"
#include "shell/qt/main_window.h"
#include "shell/status_report.h"
#include "state/command_ids.h"
#include "state/snapshot.h"
#include "widget_fixture.h"

namespace tolvi {
namespace {

constexpr int kWaitMs = 5'000;
constexpr std::int32_t kProjB = 3;

}  // namespace

class DbusServiceTest : public QObject {
  Q_OBJECT

 public slots:
  void OnChanged(const QString&, const QVariantMap& changed, const QStringList&) {
    changes_.push_back(changed);
  }

 private slots:
  void initTestCase() {
    QVERIFY(Client().connect(QLatin1String(kBusName), QLatin1String(kBusPath),
                             QStringLiteral("org.freedesktop.DBus.Properties"),
                             QStringLiteral("PropertiesChanged"), this,
                             SLOT(OnChanged(QString, QVariantMap, QStringList))));
  }
  void init() {
    ShellOptions options;
    options.bus_service = true;
    run_ = std::make_unique<test::ShellRun>(std::move(options));
    QVERIFY(run_->core.context.records.WriteText(kProjB, work_type_field::kName, "Proj B").ok());
    run_->shell->ShowMainWindow();  // the monitor's passes then reach the shell as repaints
    changes_.clear();
  }
  void cleanup() { run_.reset(); }

  void PropertiesFollowTheCountersAndADayClose() {
    InstallStandardHooks(run_->core.context);
    {
      const StateLock lock(run_->core.context.state.mutex);
      run_->core.data().break_today_ms = 125'000;
      run_->core.data().work_today_ms = 3'600'000;
      run_->core.data().day_of_month = 5;  // yesterday's day is still open
    }
    run_->core.ui.RequestRepaint();  // the end of a monitor pass
    QTRY_COMPARE_WITH_TIMEOUT(Properties().value("BreakTodaySeconds").toUInt(), 125u, kWaitMs);
    // The client reads back exactly the report the state gives.
    const EngineSnapshot snapshot = TakeSnapshot(run_->core.context);
    QVERIFY(ReportFromProperties(Properties()) ==
            MakeStatusReport(snapshot.data, snapshot.activity));
    RunDayCheck(run_->core.context);  // as after a change of the wall clock
    run_->core.ui.RequestRepaint();
    QTRY_COMPARE_WITH_TIMEOUT(Properties().value("WorkTodaySeconds").toUInt(), 0u, kWaitMs);
  }

  // OnBreak and Working are run by the e2e.remote_control test.
  void MethodsActAsTheMenuEntries() {
    QVERIFY(CallOk("AtMeeting") && Activity().meeting);
    QVERIFY(CallOk("Away") && Activity().away);
    {
      const StateLock lock(run_->core.context.state.mutex);
      run_->core.activity().break_countdown_ms = 1'000;
      run_->core.activity().away = false;
    }
    QVERIFY(CallOk("ResetReminder"));
    QCOMPARE(Activity().break_countdown_ms, run_->core.data().break_interval);
  }

  void SetWorkTypeHandsTheRecordToTheMonitorAndRefusesUnknownNames() {
    QCOMPARE(Call("SetWorkType", {QStringLiteral("No Such Work")}).arguments().value(0).toBool(),
             false);
    QCOMPARE(Activity().request_code, request::kNone);
    QCOMPARE(Call("SetWorkType", {QStringLiteral("Proj B")}).arguments().value(0).toBool(), true);
    QCOMPARE(Activity().request_code, request::kChangeWorkType);
    QCOMPARE(Activity().request_value, kProjB);
  }

  void NoSignalForPassesThatShowNothingNewOneForAChange() {
    for (int pass = 0; pass < 10; ++pass) {
      {
        // Break time runs on while working: a counter the tooltip does not show.
        const StateLock lock(run_->core.context.state.mutex);
        run_->core.data().break_today_ms += 1'000;
      }
      run_->core.ui.RequestRepaint();
      QTest::qWait(20);
    }
    QCOMPARE(changes_.size(), 0);
    QVERIFY(CallOk("OnBreak"));
    QTRY_COMPARE_WITH_TIMEOUT(changes_.size(), 1, kWaitMs);
    QCOMPARE(changes_[0].value("Mode").toString(), QStringLiteral("On Break"));
    QCOMPARE(changes_[0].value("BreakTodaySeconds").toUInt(), 10u);  // held, then sent
    QVERIFY(!changes_[0].contains("WorkType"));                      // only what changed
    QTest::qWait(200);
    QCOMPARE(changes_.size(), 1);
  }

 private:
  static QDBusConnection Client() {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"));
  }
  // Blocking calls that go on serving the shell's side meanwhile.
  static QDBusMessage Call(const char* method, const QVariantList& arguments = {},
                           const char* interface_name = kBusInterface) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QLatin1String(kBusName), QLatin1String(kBusPath),
                                       QLatin1String(interface_name), QLatin1String(method));
    call.setArguments(arguments);
    return Client().call(call, QDBus::BlockWithGui, kWaitMs);
  }
  static bool CallOk(const char* method) {
    return Call(method).type() == QDBusMessage::ReplyMessage;
  }
  static QVariantMap Properties() {
    const QDBusReply<QVariantMap> reply =
        Call("GetAll", {QLatin1String(kBusInterface)}, "org.freedesktop.DBus.Properties");
    return reply.value();
  }
  ActivityState Activity() {
    const StateLock lock(run_->core.context.state.mutex);
    return run_->core.activity();
  }

  std::unique_ptr<test::ShellRun> run_;
  QList<QVariantMap> changes_;
};

}  // namespace tolvi

QTEST_MAIN(tolvi::DbusServiceTest)
#include "dbus_service_test.moc"
