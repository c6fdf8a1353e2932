#include "platform/linux/wayland_idle_source.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>

#include "ext-idle-notify-v1-client-protocol.h"
#include "kde-idle-client-protocol.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kInputOnlyVersion = 2;
constexpr std::uint32_t kSeatVersion = 1;

struct DisplayCloser {
  void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

// An eventfd that tells the event thread to stop.
class WakeFd {
 public:
  WakeFd() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
  ~WakeFd() {
    if (fd_ >= 0) close(fd_);
  }
  WakeFd(const WakeFd&) = delete;
  WakeFd& operator=(const WakeFd&) = delete;
  [[nodiscard]] bool valid() const { return fd_ >= 0; }
  [[nodiscard]] int fd() const { return fd_; }
  // A failed write leaves the thread asleep and the destructor hanging, so
  // it is retried until it lands (it fails only on a full counter).
  void Signal() const {
    const std::uint64_t one = 1;
    while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
  }

 private:
  int fd_;
};

}  // namespace

struct WaylandIdleSource::Connection {
  explicit Connection(Clock& clock_in) : clock(clock_in) {}
  ~Connection() {
    if (event_thread.joinable()) {
      wake.Signal();
      event_thread.join();
    }
    if (ext_notification) ext_idle_notification_v1_destroy(ext_notification);
    if (ext_notifier) ext_idle_notifier_v1_destroy(ext_notifier);
    if (kde_timeout) org_kde_kwin_idle_timeout_release(kde_timeout);
    if (kde_idle) org_kde_kwin_idle_destroy(kde_idle);
    if (seat) wl_seat_destroy(seat);
    if (registry) wl_registry_destroy(registry);
    if (display) wl_display_flush(display.get());
  }

  void Idled() {
    std::lock_guard lock(mutex);
    idled_at = clock.TickCount();
  }
  void Resumed() {
    std::lock_guard lock(mutex);
    idled_at.reset();
  }
  void Lost() {
    std::lock_guard lock(mutex);
    lost = true;
  }
  bool Arm();
  void RunEvents();

  Clock& clock;
  std::unique_ptr<wl_display, DisplayCloser> display;
  wl_registry* registry = nullptr;
  wl_seat* seat = nullptr;
  ext_idle_notifier_v1* ext_notifier = nullptr;
  std::uint32_t ext_version = 0;
  ext_idle_notification_v1* ext_notification = nullptr;
  org_kde_kwin_idle* kde_idle = nullptr;
  org_kde_kwin_idle_timeout* kde_timeout = nullptr;
  WaylandIdleProtocol protocol = WaylandIdleProtocol::kExtIdle;

  std::mutex mutex;
  std::optional<std::uint32_t> idled_at;  // guarded by mutex
  bool lost = false;                      // guarded by mutex

  WakeFd wake;
  std::thread event_thread;
};

namespace {

using Connection = WaylandIdleSource::Connection;

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t version) {
  auto& c = *static_cast<Connection*>(data);
  const std::string_view offered(interface);
  if (offered == wl_seat_interface.name && c.seat == nullptr) {
    c.seat =
        static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, kSeatVersion));
  } else if (offered == ext_idle_notifier_v1_interface.name && c.ext_notifier == nullptr) {
    c.ext_version = std::min<std::uint32_t>(version, kInputOnlyVersion);
    c.ext_notifier = static_cast<ext_idle_notifier_v1*>(
        wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, c.ext_version));
  } else if (offered == org_kde_kwin_idle_interface.name && c.kde_idle == nullptr) {
    c.kde_idle = static_cast<org_kde_kwin_idle*>(
        wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
  }
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

constexpr wl_registry_listener kRegistryListener{OnGlobal, OnGlobalRemove};

void OnExtIdled(void* data, ext_idle_notification_v1*) {
  static_cast<Connection*>(data)->Idled();
}
void OnExtResumed(void* data, ext_idle_notification_v1*) {
  static_cast<Connection*>(data)->Resumed();
}
constexpr ext_idle_notification_v1_listener kExtListener{OnExtIdled, OnExtResumed};

void OnKdeIdle(void* data, org_kde_kwin_idle_timeout*) {
  static_cast<Connection*>(data)->Idled();
}
void OnKdeResumed(void* data, org_kde_kwin_idle_timeout*) {
  static_cast<Connection*>(data)->Resumed();
}
constexpr org_kde_kwin_idle_timeout_listener kKdeListener{OnKdeIdle, OnKdeResumed};

}  // namespace

// Asks for the notification on the best protocol offered.
bool Connection::Arm() {
  if (seat == nullptr) return false;
  if (ext_notifier != nullptr) {
    const bool input_only = ext_version >= kInputOnlyVersion;
    ext_notification =
        input_only
            ? ext_idle_notifier_v1_get_input_idle_notification(ext_notifier, kArmTimeoutMs, seat)
            : ext_idle_notifier_v1_get_idle_notification(ext_notifier, kArmTimeoutMs, seat);
    protocol = input_only ? WaylandIdleProtocol::kExtIdleInputOnly : WaylandIdleProtocol::kExtIdle;
    return ext_notification != nullptr &&
           ext_idle_notification_v1_add_listener(ext_notification, &kExtListener, this) == 0;
  }
  if (kde_idle != nullptr) {
    kde_timeout = org_kde_kwin_idle_get_idle_timeout(kde_idle, seat, kArmTimeoutMs);
    protocol = WaylandIdleProtocol::kKdeIdle;
    return kde_timeout != nullptr &&
           org_kde_kwin_idle_timeout_add_listener(kde_timeout, &kKdeListener, this) == 0;
  }
  return false;
}

// The event thread: sleeps until the compositor writes or the wake fd is
// signalled, then dispatches what came (the listeners above).
void Connection::RunEvents() {
  wl_display* d = display.get();
  std::array<pollfd, 2> fds{pollfd{wl_display_get_fd(d), POLLIN, 0}, pollfd{wake.fd(), POLLIN, 0}};
  for (;;) {
    while (wl_display_prepare_read(d) != 0) {
      if (wl_display_dispatch_pending(d) < 0) return Lost();
    }
    if (wl_display_flush(d) < 0 && errno != EAGAIN) {
      wl_display_cancel_read(d);
      return Lost();
    }
    if (poll(fds.data(), fds.size(), -1) < 0) {
      wl_display_cancel_read(d);
      if (errno == EINTR) continue;
      return Lost();
    }
    if (fds[1].revents != 0) {
      wl_display_cancel_read(d);
      return;
    }
    if (wl_display_read_events(d) < 0 || wl_display_dispatch_pending(d) < 0) return Lost();
  }
}

std::unique_ptr<WaylandIdleSource> WaylandIdleSource::Open(Clock& clock, const char* display) {
  auto c = std::make_unique<Connection>(clock);
  if (!c->wake.valid()) return nullptr;
  c->display.reset(wl_display_connect(display));
  if (!c->display) return nullptr;
  c->registry = wl_display_get_registry(c->display.get());
  if (c->registry == nullptr ||
      wl_registry_add_listener(c->registry, &kRegistryListener, c.get()) != 0 ||
      wl_display_roundtrip(c->display.get()) < 0 || !c->Arm() ||
      wl_display_roundtrip(c->display.get()) < 0) {
    return nullptr;
  }
  Connection* raw = c.get();
  c->event_thread = std::thread([raw] { raw->RunEvents(); });
  // Named so that its wake-ups can be told apart (top -H, /proc/PID/task).
  pthread_setname_np(c->event_thread.native_handle(), "tolvi-wayland");
  return std::unique_ptr<WaylandIdleSource>(new WaylandIdleSource(std::move(c)));
}

WaylandIdleSource::WaylandIdleSource(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

WaylandIdleSource::~WaylandIdleSource() = default;

std::optional<std::uint64_t> WaylandIdleSource::IdleMilliseconds() {
  Connection& c = *connection_;
  std::lock_guard lock(c.mutex);
  if (c.lost) return std::nullopt;
  if (!c.idled_at) return 0;
  const std::uint32_t since_idled = c.clock.TickCount() - *c.idled_at;  // wraps like the ticks
  return std::uint64_t{since_idled} + kArmTimeoutMs;
}

std::string_view WaylandIdleSource::name() const {
  switch (connection_->protocol) {
    case WaylandIdleProtocol::kExtIdleInputOnly:
      return "Wayland idle notifier (input only)";
    case WaylandIdleProtocol::kExtIdle:
      return "Wayland idle notifier";
    case WaylandIdleProtocol::kKdeIdle:
      return "Wayland KDE idle protocol";
  }
  return "Wayland idle notifier";
}

WaylandIdleProtocol WaylandIdleSource::protocol() const {
  return connection_->protocol;
}

}  // namespace tolvi
