// The org.drovik.tolvi interface as Qt exports it: properties read from the
// service's last report, methods handed to its hooks. Introspection comes
// from this class's meta-object. GUI thread only; owned by the service.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QString>

#include "shell/qt/dbus_service.h"

namespace tolvi {

class DbusAdaptor final : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.drovik.tolvi")
  Q_PROPERTY(QString Mode READ Mode)
  Q_PROPERTY(bool CountingDown READ CountingDown)
  Q_PROPERTY(uint SecondsUntilBreak READ SecondsUntilBreak)
  Q_PROPERTY(int MicroBreakSeconds READ MicroBreakSeconds)
  Q_PROPERTY(uint WorkTodaySeconds READ WorkTodaySeconds)
  Q_PROPERTY(uint BreakTodaySeconds READ BreakTodaySeconds)
  Q_PROPERTY(uint AwayTodaySeconds READ AwayTodaySeconds)
  Q_PROPERTY(QString WorkType READ WorkType)
  Q_PROPERTY(uint WorkTypeTodaySeconds READ WorkTypeTodaySeconds)
  Q_PROPERTY(int TargetLeftSeconds READ TargetLeftSeconds)
  Q_PROPERTY(QString Tooltip READ Tooltip)

 public:
  explicit DbusAdaptor(DbusService& service);

  [[nodiscard]] QString Mode() const;
  [[nodiscard]] bool CountingDown() const;
  [[nodiscard]] uint SecondsUntilBreak() const;
  [[nodiscard]] int MicroBreakSeconds() const;
  [[nodiscard]] uint WorkTodaySeconds() const;
  [[nodiscard]] uint BreakTodaySeconds() const;
  [[nodiscard]] uint AwayTodaySeconds() const;
  [[nodiscard]] QString WorkType() const;
  [[nodiscard]] uint WorkTypeTodaySeconds() const;
  [[nodiscard]] int TargetLeftSeconds() const;
  [[nodiscard]] QString Tooltip() const;

 public slots:
  void Working();
  void OnBreak();
  void Away();
  void AtMeeting();
  void ResetReminder();
  bool SetWorkType(const QString& name);
  void ShowMainWindow();

 private:
  void Command(RemoteAction action);

  DbusService& service_;
};

}  // namespace tolvi
