#include "platform/linux/dbus_idle_source.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariant>

namespace tolvi {
namespace {

// The monitor thread asks every few seconds; a stuck service must not hold
// it for long.
constexpr int kCallTimeoutMs = 500;

}  // namespace

DBusIdleService MutterIdleService() {
  return DBusIdleService{"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
                         "org.gnome.Mutter.IdleMonitor", "GetIdletime", "GNOME idle monitor"};
}

DBusIdleService FreedesktopIdleService(const std::string& path) {
  return DBusIdleService{"org.freedesktop.ScreenSaver", path, "org.freedesktop.ScreenSaver",
                         "GetSessionIdleTime", "freedesktop screen saver"};
}

std::optional<std::uint64_t> DBusIdleSource::IdleMilliseconds() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return std::nullopt;
  const QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromStdString(service_.service), QString::fromStdString(service_.path),
      QString::fromStdString(service_.interface), QString::fromStdString(service_.method));
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    return std::nullopt;
  }
  const QVariant value = reply.arguments().constFirst();
  bool ok = false;
  const qulonglong idle = value.toULongLong(&ok);
  if (!ok) return std::nullopt;
  return static_cast<std::uint64_t>(idle);
}

}  // namespace tolvi
