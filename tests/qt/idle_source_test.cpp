// Runs on a private session bus (dbus-run-session) where this test itself
// plays the desktop's idle-time services.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QtTest>
#include <atomic>
#include <thread>

#include "platform/linux/dbus_idle_source.h"
#include "platform/linux/idle_chooser.h"
#include "platform/posix/posix_clock.h"

namespace tolvi {

class FakeMutter : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")

 public slots:
  qulonglong GetIdletime() { return 12'345; }
};

class FakeScreenSaver : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

 public slots:
  uint GetSessionIdleTime() { return 777; }
};

class IdleSourceTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(QDBusConnection::sessionBus().isConnected()); }

  void cleanup() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
    bus.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    bus.unregisterObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
  }

  void NoServiceMeansNoSource() {
    QVERIFY(!DBusIdleSource(MutterIdleService()).IdleMilliseconds().has_value());
    QVERIFY(ChooseIdleSource(SessionFacts{.wayland = true}, clock_) == nullptr);
  }

  void GnomeIdleMonitorIsPreferred() {
    FakeMutter mutter;
    FakeScreenSaver screen_saver;
    Register("org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core", &mutter);
    Register("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", &screen_saver);
    const auto source = ChooseIdleSource(SessionFacts{.wayland = true}, clock_);
    QVERIFY(source != nullptr);
    QCOMPARE(source->name(), std::string_view("GNOME idle monitor"));
    QCOMPARE(source->IdleMilliseconds(), std::optional<std::uint64_t>(12'345));
  }

  void FreedesktopScreenSaverIsTheFallback() {
    FakeScreenSaver screen_saver;
    Register("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", &screen_saver);
    const auto source = ChooseIdleSource(SessionFacts{.wayland = true}, clock_);
    QVERIFY(source != nullptr);
    QCOMPARE(source->name(), std::string_view("freedesktop screen saver"));
    QCOMPARE(source->IdleMilliseconds(), std::optional<std::uint64_t>(777));
  }

  void MonitorThreadCanAsk() {
    FakeMutter mutter;
    Register("org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core", &mutter);
    DBusIdleSource source(MutterIdleService());
    std::atomic<bool> done = false;
    std::optional<std::uint64_t> answer;
    std::thread monitor([&] {
      answer = source.IdleMilliseconds();
      done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done.load(), 5'000);  // the service answers from this thread
    monitor.join();
    QCOMPARE(answer, std::optional<std::uint64_t>(12'345));
  }

 private:
  PosixClock clock_;

  static void Register(const char* service, const char* path, QObject* object) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    QVERIFY(bus.registerObject(QLatin1String(path), object, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(QLatin1String(service)));
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::IdleSourceTest)
#include "idle_source_test.moc"
