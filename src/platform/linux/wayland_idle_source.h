// WaylandIdleSource: idle time from the compositor's idle protocols, for
// Wayland sessions where neither the X screen saver nor a D-Bus service
// sees the user's input (KWin, sway, Hyprland, labwc, COSMIC).
//
// The protocols send "idled" once the seat has had no input for a timeout
// and "resumed" at the next input, instead of a counter. The source arms a
// short timeout (kArmTimeoutMs) and keeps the tick of the last "idled" on
// the program's own counter, so the idle time it reports is
//   the clock's tick now - the tick of "idled" + kArmTimeoutMs
// while idle, and 0 once "resumed" came: the same numbers the X screen
// saver gives, except that a pause shorter than the timeout reads as 0.
//
// Protocols, best first: ext_idle_notifier_v1's input-only notification
// (version 2, which ignores idle inhibitors such as a playing video), its
// plain notification (version 1), then org_kde_kwin_idle.
//
// The source has its own wl_display connection, whatever Qt's platform
// plugin is, and a thread of its own that sleeps in poll() until the
// compositor sends something, so an idle session costs no wake-ups.
// Borrows the clock, which must outlive it and be thread-safe. Any thread
// may ask; the state is behind a mutex.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/clock.h"
#include "platform/idle_source.h"

namespace tolvi {

enum class WaylandIdleProtocol { kExtIdleInputOnly, kExtIdle, kKdeIdle };

class WaylandIdleSource final : public IdleSource {
 public:
  // Short enough that the first seconds of an absence are not lost, long
  // enough that typing with pauses does not send a pair of events each time.
  static constexpr std::uint32_t kArmTimeoutMs = 5'000;

  // Connects to `display` (nullptr: WAYLAND_DISPLAY or the default socket).
  // Nothing when no compositor answers or it offers no seat or no idle
  // protocol.
  static std::unique_ptr<WaylandIdleSource> Open(Clock& clock, const char* display = nullptr);
  ~WaylandIdleSource() override;
  WaylandIdleSource(const WaylandIdleSource&) = delete;
  WaylandIdleSource& operator=(const WaylandIdleSource&) = delete;

  // Nothing once the connection to the compositor is lost.
  std::optional<std::uint64_t> IdleMilliseconds() override;
  [[nodiscard]] std::string_view name() const override;
  [[nodiscard]] WaylandIdleProtocol protocol() const;

  struct Connection;

 private:
  explicit WaylandIdleSource(std::unique_ptr<Connection> connection);

  std::unique_ptr<Connection> connection_;
};

}  // namespace tolvi
