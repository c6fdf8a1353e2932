// A desktop idle-time service played on the session bus: it answers its one
// method with a fixed idle time, and is on the bus for as long as it lives.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QVariant>

namespace tolvi::test {

enum class IdleService { kMutter, kScreenSaver };

class FakeIdleService final : public QDBusVirtualObject {
 public:
  static constexpr qulonglong kMutterIdleMs = 12'345;
  static constexpr uint kScreenSaverIdleMs = 777;

  explicit FakeIdleService(IdleService kind) {
    const bool mutter = kind == IdleService::kMutter;
    name_ = mutter ? "org.gnome.Mutter.IdleMonitor" : "org.freedesktop.ScreenSaver";
    path_ = mutter ? "/org/gnome/Mutter/IdleMonitor/Core" : "/org/freedesktop/ScreenSaver";
    method_ = mutter ? "GetIdletime" : "GetSessionIdleTime";
    idle_ = mutter ? QVariant(kMutterIdleMs) : QVariant(kScreenSaverIdleMs);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerVirtualObject(path_, this) || !bus.registerService(name_)) {
      qFatal("the fake idle service cannot go on the bus");
    }
  }
  ~FakeIdleService() override {
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(name_);
    bus.unregisterObject(path_);
  }

  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
    if (message.interface() != name_ || message.member() != method_) return false;
    return bus.send(message.createReply(idle_));
  }

 private:
  QString name_;
  QString path_;
  QString method_;
  QVariant idle_;
};

}  // namespace tolvi::test
