// FakeCompositor: a Wayland server with no outputs and no input, offering a
// seat and one idle protocol, for testing idle sources without a real
// compositor. It listens on a socket in a private directory and runs its
// event loop on a thread of its own; the test sends "idled" and "resumed"
// on command (each call returns once the event is on its way).
//
// Owns the display, its socket and the thread. The commands may be called
// from any one test thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tolvi {

enum class FakeIdleProtocol { kNone, kExtVersion1, kExtVersion2, kKde };
enum class IdleEvent { kIdled, kResumed };

// What the client asked for when it armed its notification.
struct ArmedNotification {
  std::uint32_t timeout_ms = 0;
  bool input_only = false;
};

class FakeCompositor {
 public:
  explicit FakeCompositor(FakeIdleProtocol offered);
  ~FakeCompositor();
  FakeCompositor(const FakeCompositor&) = delete;
  FakeCompositor& operator=(const FakeCompositor&) = delete;

  // Full path of the socket, for wl_display_connect or WAYLAND_DISPLAY.
  const std::string& socket_path() const { return socket_path_; }
  std::optional<ArmedNotification> armed();
  void Send(IdleEvent event);

  struct Server;

 private:
  void Run(const std::function<void(Server&)>& action);

  std::string directory_;
  std::string socket_path_;
  std::unique_ptr<Server> server_;
};

}  // namespace tolvi
