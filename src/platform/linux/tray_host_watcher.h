// TrayHostWatcher: tells the GUI thread when a tray host may have appeared,
// so an icon that could not be shown at start is added then, without
// polling. Two kinds of host are watched:
// - a StatusNotifierItem host: the name org.kde.StatusNotifierWatcher
//   registered on the session bus (QDBusServiceWatcher);
// - an XEmbed tray: the MANAGER message a new owner of the
//   _NET_SYSTEM_TRAY_S<screen> selection sends to the root window, read on
//   an X connection of the watcher's own (only on Qt's X11 platform).
// Both only wake the program when something happens.
//
// GUI thread only (QSocketNotifier, QDBusServiceWatcher); owns its
// display connection.
#pragma once

#include <QObject>
#include <memory>

class QDBusServiceWatcher;
class QSocketNotifier;

namespace tolvi {

class TrayHostWatcher : public QObject {
  Q_OBJECT

 public:
  explicit TrayHostWatcher(QObject* parent = nullptr);
  ~TrayHostWatcher() override;

 signals:
  void HostMayHaveAppeared();

 private:
  struct XWatch;
  void OnXReadable();

  std::unique_ptr<QDBusServiceWatcher> bus_watcher_;
  std::unique_ptr<XWatch> x_;
  std::unique_ptr<QSocketNotifier> x_notifier_;
};

}  // namespace tolvi
