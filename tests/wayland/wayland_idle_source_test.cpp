// The Wayland idle source against a fake compositor, and its place in the
// chooser. Runs on a private session bus (dbus-run-session), where the test
// itself plays GNOME's idle monitor and the freedesktop screen saver.
#include "platform/linux/wayland_idle_source.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>
#include <memory>
#include <string>

#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "engine/tick.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "fakes/scripted_random.h"
#include "platform/idle_clock.h"
#include "platform/linux/idle_chooser.h"
#include "settings/settings.h"
#include "state/core_context.h"
#include "wayland/fake_compositor.h"

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

namespace {

constexpr std::uint32_t kStartTick = 1'000'000;
constexpr std::uint32_t kTimeout = WaylandIdleSource::kArmTimeoutMs;

// Waits (up to a generous deadline) until the source's thread has seen
// what the compositor sent.
bool Eventually(const std::function<bool()>& condition) {
  const QDeadlineTimer deadline(5'000);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(2);
  }
  return true;
}

struct ProtocolCase {
  FakeIdleProtocol offered;
  WaylandIdleProtocol used;
  bool input_only;
};

TEST(WaylandIdleSource, IdledAndResumedBecomeLastInputTicksOnEveryProtocol) {
  for (const ProtocolCase& c :
       {ProtocolCase{FakeIdleProtocol::kExtVersion2, WaylandIdleProtocol::kExtIdleInputOnly, true},
        ProtocolCase{FakeIdleProtocol::kExtVersion1, WaylandIdleProtocol::kExtIdle, false},
        ProtocolCase{FakeIdleProtocol::kKde, WaylandIdleProtocol::kKdeIdle, false}}) {
    SCOPED_TRACE(static_cast<int>(c.offered));
    FakeCompositor compositor(c.offered);
    FakeClock clock;
    clock.SetTickCount(kStartTick);
    auto opened = WaylandIdleSource::Open(clock, compositor.socket_path().c_str());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->protocol(), c.used);
    WaylandIdleSource& source = *opened;
    IdleClock idle_clock(clock, std::move(opened));
    const std::optional<ArmedNotification> armed = compositor.armed();
    ASSERT_TRUE(armed.has_value());
    EXPECT_EQ(armed->timeout_ms, kTimeout);
    EXPECT_EQ(armed->input_only, c.input_only);
    EXPECT_EQ(idle_clock.LastInputTick(), kStartTick);

    compositor.SendIdled();
    ASSERT_TRUE(Eventually([&] { return source.IdleMilliseconds() != 0u; }));
    EXPECT_EQ(idle_clock.LastInputTick(), kStartTick - kTimeout);
    clock.Advance(60'000);
    EXPECT_EQ(idle_clock.LastInputTick(), kStartTick - kTimeout);

    compositor.SendResumed();
    ASSERT_TRUE(Eventually([&] { return source.IdleMilliseconds() == 0u; }));
    EXPECT_EQ(idle_clock.LastInputTick(), kStartTick + 60'000);
  }
}

TEST(WaylandIdleSource, NoCompositorOrNoIdleProtocolMeansNoSource) {
  FakeClock clock;
  EXPECT_EQ(WaylandIdleSource::Open(clock, "/nonexistent/wayland-0"), nullptr);
  FakeCompositor bare(FakeIdleProtocol::kNone);
  EXPECT_EQ(WaylandIdleSource::Open(clock, bare.socket_path().c_str()), nullptr);
}

TEST(WaylandIdleSource, LostCompositorMakesTheQueryFail) {
  FakeClock clock;
  std::unique_ptr<WaylandIdleSource> source;
  {
    FakeCompositor compositor(FakeIdleProtocol::kExtVersion2);
    source = WaylandIdleSource::Open(clock, compositor.socket_path().c_str());
    ASSERT_NE(source, nullptr);
  }
  EXPECT_TRUE(Eventually([&] { return !source->IdleMilliseconds().has_value(); }));
}

TEST(WaylandIdleSource, IdleOfExactlyAwayTimeIsAway) {
  FakeCompositor compositor(FakeIdleProtocol::kExtVersion2);
  FakeClock clock;
  clock.SetTickCount(kStartTick);
  auto opened = WaylandIdleSource::Open(clock, compositor.socket_path().c_str());
  ASSERT_NE(opened, nullptr);
  WaylandIdleSource& source = *opened;
  IdleClock idle_clock(clock, std::move(opened));
  RecordingUi ui;
  FakeFileSystem files;
  ScriptedRandom random;
  CoreContext context{CorePorts{idle_clock, ui, files, random}, "/data", "/program"};
  SetDefaultSettings(context.state.data, clock);
  ASSERT_TRUE(CreateWorkTypeDatabase(context.records, "/data/TlvDB.lbf").ok());
  ASSERT_TRUE(CreateInitialWorkTypes(context.records).ok());
  LoadCurrentWorkType(context.state, context.records);
  context.state.activity.last_tick_count = kStartTick;
  context.state.activity.working_flag = WorkingFlag::kWorking;
  context.state.activity.break_countdown_ms = context.state.data.break_interval;
  const std::uint32_t away_time = context.state.data.away_time;

  compositor.SendIdled();  // the user's last input was kTimeout ago
  ASSERT_TRUE(Eventually([&] { return source.IdleMilliseconds() != 0u; }));
  clock.Advance(away_time - kTimeout - 1);
  RunTick(context);
  EXPECT_FALSE(context.state.activity.away);
  clock.Advance(1);
  RunTick(context);
  EXPECT_TRUE(context.state.activity.away);
}

struct ChoiceCase {
  bool mutter;
  bool screen_saver;
  std::string_view chosen;
};

TEST(IdleChooser, OnWaylandGnomeComesFirstThenTheCompositorThenTheScreenSaver) {
  FakeCompositor compositor(FakeIdleProtocol::kExtVersion2);
  setenv("WAYLAND_DISPLAY", compositor.socket_path().c_str(), 1);
  for (const ChoiceCase& c : {ChoiceCase{true, true, "GNOME idle monitor"},
                              ChoiceCase{false, true, "Wayland idle notifier (input only)"}}) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    ASSERT_TRUE(bus.isConnected());
    FakeMutter mutter;
    FakeScreenSaver screen_saver;
    if (c.mutter) {
      bus.registerObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), &mutter,
                         QDBusConnection::ExportAllSlots);
      bus.registerService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
    }
    if (c.screen_saver) {
      bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &screen_saver,
                         QDBusConnection::ExportAllSlots);
      bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver"));
    }
    FakeClock clock;
    const auto source = ChooseIdleSource(SessionFacts{.wayland = true}, clock);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->name(), c.chosen);
    bus.unregisterService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
    bus.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
    bus.unregisterObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
  }
  unsetenv("WAYLAND_DISPLAY");
}

}  // namespace
}  // namespace tolvi

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

#include "wayland_idle_source_test.moc"
