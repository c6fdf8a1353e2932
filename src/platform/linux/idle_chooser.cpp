#include "platform/linux/idle_chooser.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/linux/dbus_idle_source.h"
#include "platform/linux/wayland_idle_source.h"
#include "platform/linux/x11_idle_source.h"

namespace tolvi {
namespace {

std::unique_ptr<IdleSource> IfItAnswers(std::unique_ptr<IdleSource> source) {
  if (source && source->IdleMilliseconds().has_value()) return source;
  return nullptr;
}

std::unique_ptr<IdleSource> DBusSource(DBusIdleService service) {
  return IfItAnswers(std::make_unique<DBusIdleSource>(std::move(service)));
}

std::unique_ptr<IdleSource> FreedesktopSource() {
  if (auto source = DBusSource(FreedesktopIdleService("/org/freedesktop/ScreenSaver"))) {
    return source;
  }
  return DBusSource(FreedesktopIdleService("/ScreenSaver"));
}

std::unique_ptr<IdleSource> FirstOnWayland(Clock& clock) {
  if (auto mutter = DBusSource(MutterIdleService())) return mutter;
  if (auto wayland = IfItAnswers(WaylandIdleSource::Open(clock))) return wayland;
  return FreedesktopSource();
}

std::unique_ptr<IdleSource> FirstOnX11() {
  if (auto x11 = IfItAnswers(X11IdleSource::Open())) return x11;
  if (auto mutter = DBusSource(MutterIdleService())) return mutter;
  return FreedesktopSource();
}

void LogChoice(const IdleSource* chosen) {
  if (chosen == nullptr) {
    std::fprintf(stderr, "tolvi: no idle-time source answered; idle time is not seen\n");
  } else {
    const std::string name(chosen->name());
    std::fprintf(stderr, "tolvi: idle time from the %s\n", name.c_str());
  }
}

}  // namespace

SessionFacts DetectSession() {
  const char* wayland_display = std::getenv("WAYLAND_DISPLAY");
  const char* session_type = std::getenv("XDG_SESSION_TYPE");
  const bool wayland = (wayland_display != nullptr && *wayland_display != '\0') ||
                       (session_type != nullptr && std::string_view(session_type) == "wayland");
  return SessionFacts{wayland};
}

std::unique_ptr<IdleSource> ChooseIdleSource(const SessionFacts& session, Clock& clock) {
  std::unique_ptr<IdleSource> chosen = session.wayland ? FirstOnWayland(clock) : FirstOnX11();
  LogChoice(chosen.get());
  return chosen;
}

}  // namespace tolvi
