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
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "fakes/fake_clock.h"
#include "platform/idle_clock.h"
#include "platform/linux/idle_chooser.h"
#include "qt/fake_idle_service.h"
#include "wayland/fake_compositor.h"

namespace tolvi {
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

    compositor.Send(IdleEvent::kIdled);
    ASSERT_TRUE(Eventually([&] { return source.IdleMilliseconds() != 0u; }));
    EXPECT_EQ(idle_clock.LastInputTick(), kStartTick - kTimeout);
    clock.Advance(60'000);
    EXPECT_EQ(idle_clock.LastInputTick(), kStartTick - kTimeout);

    compositor.Send(IdleEvent::kResumed);
    ASSERT_TRUE(Eventually([&] { return source.IdleMilliseconds() == 0u; }));
    EXPECT_EQ(idle_clock.LastInputTick(), kStartTick + 60'000);
  }
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

// GNOME's monitor first, then the compositor's notifier, then the screen
// saver; the D-Bus services' replies (64 and 32 bits) are the idle time.
TEST(IdleChooser, OnWaylandGnomeComesFirstThenTheCompositorThenTheScreenSaver) {
  ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
  using P = FakeIdleProtocol;
  const struct {
    bool mutter;
    std::optional<P> compositor;  // none: no compositor on the socket
    bool screen_saver;
    const char* chosen;
    std::uint64_t idle;
  } cases[] = {{true, P::kExtVersion2, true, "GNOME idle monitor", 12'345},
               {false, P::kExtVersion2, true, "Wayland idle notifier (input only)", 0},
               {false, P::kNone, true, "freedesktop screen saver", 777},
               {false, std::nullopt, true, "freedesktop screen saver", 777},
               {false, std::nullopt, false, nullptr, 0}};
  for (const auto& c : cases) {
    std::optional<FakeCompositor> compositor;
    std::optional<test::FakeIdleService> mutter, screen_saver;
    if (c.compositor) compositor.emplace(*c.compositor);
    setenv("WAYLAND_DISPLAY", compositor ? compositor->socket_path().c_str() : "/nonexistent/w-0",
           1);
    if (c.mutter) mutter.emplace(test::IdleService::kMutter);
    if (c.screen_saver) screen_saver.emplace(test::IdleService::kScreenSaver);
    FakeClock clock;
    const auto source = ChooseIdleSource(SessionFacts{.wayland = true}, clock);
    unsetenv("WAYLAND_DISPLAY");
    ASSERT_EQ(source != nullptr, c.chosen != nullptr);
    if (source == nullptr) continue;
    EXPECT_EQ(source->name(), c.chosen);
    // The monitor thread asks while this one runs the services' event loop.
    std::atomic<bool> answered = false;
    std::optional<std::uint64_t> idle;
    std::thread monitor([&] {
      idle = source->IdleMilliseconds();
      answered = true;
    });
    while (!answered) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    monitor.join();
    EXPECT_EQ(idle, c.idle);
  }
}

}  // namespace
}  // namespace tolvi

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
