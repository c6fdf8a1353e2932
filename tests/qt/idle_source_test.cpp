// Runs on a private session bus (dbus-run-session) where this test itself
// plays the desktop's idle-time services.
#include <QtTest>
#include <atomic>
#include <optional>
#include <thread>

#include "fake_idle_service.h"
#include "platform/linux/dbus_idle_source.h"
#include "platform/linux/idle_chooser.h"
#include "platform/posix/posix_clock.h"

namespace tolvi {

using test::FakeIdleService;
using test::IdleService;

class IdleSourceTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

  void GnomeIsPreferredAndTheScreenSaverIsTheFallback_data() {
    QTest::addColumn<bool>("mutter");
    QTest::addColumn<bool>("screen_saver");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<qulonglong>("idle");
    QTest::newRow("no service") << false << false << QString() << 0ull;
    QTest::newRow("both") << true << true << "GNOME idle monitor" << 12'345ull;
    QTest::newRow("screen saver only") << false << true << "freedesktop screen saver" << 777ull;
  }
  void GnomeIsPreferredAndTheScreenSaverIsTheFallback() {
    QFETCH(bool, mutter);
    QFETCH(bool, screen_saver);
    QFETCH(QString, chosen);
    QFETCH(qulonglong, idle);
    std::optional<FakeIdleService> services[2];
    if (mutter) services[0].emplace(IdleService::kMutter);
    if (screen_saver) services[1].emplace(IdleService::kScreenSaver);
    PosixClock clock;
    const auto source = ChooseIdleSource(SessionFacts{.wayland = true}, clock);
    QCOMPARE(source != nullptr, !chosen.isEmpty());
    if (source == nullptr) return;
    QCOMPARE(QString::fromUtf8(source->name().data(), source->name().size()), chosen);
    QCOMPARE(source->IdleMilliseconds(), std::optional<std::uint64_t>(idle));
  }

  void MonitorThreadCanAsk() {
    FakeIdleService mutter(IdleService::kMutter);
    DBusIdleSource source(MutterIdleService());
    std::atomic<bool> done = false;
    std::optional<std::uint64_t> answer;
    std::thread monitor([&] {
      answer = source.IdleMilliseconds();
      done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5'000);  // the service answers from this thread
    monitor.join();
    QCOMPARE(answer, std::optional<std::uint64_t>(FakeIdleService::kMutterIdleMs));
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::IdleSourceTest)
#include "idle_source_test.moc"
