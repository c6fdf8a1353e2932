#include "platform/linux/idle_chooser.h"

#include <cstdlib>
#include <string_view>

#include "platform/linux/dbus_idle_source.h"
#include "platform/linux/x11_idle_source.h"

namespace tolvi {
namespace {

std::unique_ptr<IdleSource> IfItAnswers(std::unique_ptr<IdleSource> source) {
  if (source && source->IdleMilliseconds().has_value()) return source;
  return nullptr;
}

std::unique_ptr<IdleSource> FirstDBusSource() {
  for (DBusIdleService service :
       {MutterIdleService(), FreedesktopIdleService("/org/freedesktop/ScreenSaver"),
        FreedesktopIdleService("/ScreenSaver")}) {
    if (auto source = IfItAnswers(std::make_unique<DBusIdleSource>(std::move(service)))) {
      return source;
    }
  }
  return nullptr;
}

}  // namespace

SessionFacts DetectSession() {
  const char* wayland_display = std::getenv("WAYLAND_DISPLAY");
  const char* session_type = std::getenv("XDG_SESSION_TYPE");
  const bool wayland = (wayland_display != nullptr && *wayland_display != '\0') ||
                       (session_type != nullptr && std::string_view(session_type) == "wayland");
  return SessionFacts{wayland};
}

std::unique_ptr<IdleSource> ChooseIdleSource(const SessionFacts& session) {
  if (!session.wayland) {
    if (auto x11 = IfItAnswers(X11IdleSource::Open())) return x11;
  }
  return FirstDBusSource();
}

}  // namespace tolvi
