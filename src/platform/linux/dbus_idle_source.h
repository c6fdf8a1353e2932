// DBusIdleSource: idle time from a desktop service on the session bus, for
// Wayland sessions where no X client can see the user's input: GNOME's
// org.gnome.Mutter.IdleMonitor and the org.freedesktop.ScreenSaver service
// of KDE and others. Each query is one blocking call with a short time-out.
//
// Needs a QCoreApplication. Qt's bus connection is thread-safe, so any
// thread may ask.
#pragma once

#include <memory>
#include <string>

#include "platform/idle_source.h"

namespace tolvi {

struct DBusIdleService {
  std::string service;
  std::string path;
  std::string interface;
  std::string method;
  std::string label;
};

// GNOME: GetIdletime, milliseconds as a 64-bit integer.
DBusIdleService MutterIdleService();
// freedesktop: GetSessionIdleTime, milliseconds, unsigned; path
// "/org/freedesktop/ScreenSaver" or (older KDE) "/ScreenSaver".
DBusIdleService FreedesktopIdleService(const std::string& path);

class DBusIdleSource final : public IdleSource {
 public:
  explicit DBusIdleSource(DBusIdleService service) : service_(std::move(service)) {}

  std::optional<std::uint64_t> IdleMilliseconds() override;
  [[nodiscard]] std::string_view name() const override { return service_.label; }

 private:
  DBusIdleService service_;
};

}  // namespace tolvi
