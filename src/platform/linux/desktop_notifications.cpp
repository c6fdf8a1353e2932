#include "platform/linux/desktop_notifications.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace tolvi {

bool SendDesktopNotification(const QString& title, const QString& text, const QString& icon_name) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.Notifications"),
      QStringLiteral("/org/freedesktop/Notifications"),
      QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
  call << QCoreApplication::applicationName() << 0U << icon_name << title << text << QStringList()
       << QVariantMap() << kNotificationTimeoutMs;
  return bus.send(call);
}

}  // namespace tolvi
