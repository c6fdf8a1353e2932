#include "platform/linux/x11_idle_source.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace tolvi {

struct X11IdleSource::Connection {
  struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
  };
  struct InfoFreer {
    void operator()(XScreenSaverInfo* info) const { XFree(info); }
  };
  std::unique_ptr<Display, DisplayCloser> display;
  std::unique_ptr<XScreenSaverInfo, InfoFreer> info;
};

std::unique_ptr<X11IdleSource> X11IdleSource::Open() {
  auto connection = std::make_unique<Connection>();
  connection->display.reset(XOpenDisplay(nullptr));
  if (!connection->display) return nullptr;
  int event_base = 0;
  int error_base = 0;
  if (!XScreenSaverQueryExtension(connection->display.get(), &event_base, &error_base)) {
    return nullptr;
  }
  connection->info.reset(XScreenSaverAllocInfo());
  if (!connection->info) return nullptr;
  return std::unique_ptr<X11IdleSource>(new X11IdleSource(std::move(connection)));
}

X11IdleSource::X11IdleSource(std::unique_ptr<Connection> connection)
    : connection_(std::move(connection)) {}

X11IdleSource::~X11IdleSource() = default;

std::optional<std::uint64_t> X11IdleSource::IdleMilliseconds() {
  std::lock_guard lock(mutex_);
  Display* display = connection_->display.get();
  if (!XScreenSaverQueryInfo(display, DefaultRootWindow(display), connection_->info.get())) {
    return std::nullopt;
  }
  return connection_->info->idle;
}

}  // namespace tolvi
