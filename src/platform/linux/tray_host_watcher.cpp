#include "platform/linux/tray_host_watcher.h"

#include <QDBusConnection>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <string>

// Xlib last: its macros (Status, None, Bool...) clash with Qt's headers.
#include <X11/Xlib.h>

namespace tolvi {
namespace {

constexpr char kSniWatcherName[] = "org.kde.StatusNotifierWatcher";

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};

}  // namespace

struct TrayHostWatcher::XWatch {
  std::unique_ptr<Display, DisplayCloser> display;
  Atom manager = 0;
  Atom tray_selection = 0;
};

TrayHostWatcher::TrayHostWatcher(QObject* parent)
    : QObject(parent),
      bus_watcher_(std::make_unique<QDBusServiceWatcher>(
          QLatin1String(kSniWatcherName), QDBusConnection::sessionBus(),
          QDBusServiceWatcher::WatchForRegistration)) {
  connect(bus_watcher_.get(), &QDBusServiceWatcher::serviceRegistered, this,
          &TrayHostWatcher::HostMayHaveAppeared);
  // XEmbed trays serve Qt's X11 platform only; elsewhere an X connection
  // would just keep an on-demand XWayland running.
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  auto x = std::make_unique<XWatch>();
  x->display.reset(XOpenDisplay(nullptr));
  if (!x->display) return;
  Display* display = x->display.get();
  const std::string selection = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  x->manager = XInternAtom(display, "MANAGER", False);
  x->tray_selection = XInternAtom(display, selection.c_str(), False);
  XSelectInput(display, DefaultRootWindow(display), StructureNotifyMask);
  XFlush(display);
  x_notifier_ = std::make_unique<QSocketNotifier>(ConnectionNumber(display), QSocketNotifier::Read);
  connect(x_notifier_.get(), &QSocketNotifier::activated, this, &TrayHostWatcher::OnXReadable);
  x_ = std::move(x);
}

TrayHostWatcher::~TrayHostWatcher() {
  x_notifier_.reset();  // before the connection it watches closes
}

void TrayHostWatcher::OnXReadable() {
  Display* display = x_->display.get();
  bool appeared = false;
  while (XPending(display) > 0) {
    XEvent event;
    XNextEvent(display, &event);
    appeared =
        appeared || (event.type == ClientMessage && event.xclient.message_type == x_->manager &&
                     static_cast<Atom>(event.xclient.data.l[1]) == x_->tray_selection);
  }
  if (appeared) emit HostMayHaveAppeared();
}

}  // namespace tolvi
