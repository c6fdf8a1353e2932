// The running program on the session bus: the name org.drovik.tolvi, the
// object /org/drovik/tolvi and its interface org.drovik.tolvi, with the
// StatusReport as read-only properties and the tray menu's mode commands as
// methods (docs/dbus.md lists them).
//
// Publish is given a fresh report after each change the shell sees (a mode
// change, a command, the monitor's pass); the properties read it at once.
// It sends one PropertiesChanged with the properties that differ from those
// last sent, but only when one of them is more than a counter (the mode,
// the work type, the tooltip's words, ...): the seconds alone move at every
// pass and go with the next such change. So a signal goes out at most once
// per pass, and about once a minute while the figures merely run.
//
// The property map is shared with the client side (--status, --watch), so
// both read the same names.
//
// GUI thread only. The hooks are called from the method calls, on the GUI
// thread, and must outlive the service.
#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>
#include <cstdint>
#include <functional>
#include <string>

#include "shell/remote_protocol.h"
#include "shell/status_report.h"

namespace tolvi {

inline constexpr char kBusName[] = "org.drovik.tolvi";
inline constexpr char kBusPath[] = "/org/drovik/tolvi";
inline constexpr char kBusInterface[] = "org.drovik.tolvi";

// Whether a session bus is named (DBUS_SESSION_BUS_ADDRESS, or the user
// bus in XDG_RUNTIME_DIR). Without one the bus is not tried at all: the
// library would start a bus of its own through dbus-launch.
[[nodiscard]] bool SessionBusConfigured();

// The report as D-Bus properties: an optional figure that is absent is -1.
[[nodiscard]] QVariantMap StatusProperties(const StatusReport& report);
// The reverse; missing or mistyped properties keep their defaults.
[[nodiscard]] StatusReport ReportFromProperties(const QVariantMap& properties);

class DbusService final : public QObject {
  Q_OBJECT

 public:
  explicit DbusService(RemoteHooks hooks, QObject* parent = nullptr);
  ~DbusService() override;

  // Exports the object and takes the name on the session bus; false, with
  // the reason in why, when there is no bus or the name is taken.
  [[nodiscard]] bool Register(QString& why);
  void Publish(const StatusReport& report);

  [[nodiscard]] const StatusReport& report() const { return report_; }
  [[nodiscard]] const RemoteHooks& hooks() const { return hooks_; }

 private:
  RemoteHooks hooks_;
  StatusReport report_;
  StatusReport sent_;  // the figures as the last signal left them
  bool registered_ = false;
};

}  // namespace tolvi
