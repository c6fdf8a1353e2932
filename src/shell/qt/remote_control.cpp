#include "shell/qt/remote_control.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusServiceWatcher>
#include <cstdio>
#include <utility>

#include "shell/qt/dbus_service.h"

namespace tolvi {
namespace {

// Well inside the second a script may wait for an answer.
constexpr int kCallTimeoutMs = 800;
constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";

int Fail(const std::string& message) {
  std::fprintf(stderr, "tolvi: %s\n", message.c_str());
  return kExitNotRunning;
}

bool PrintLine(const std::string& line) {
  return std::fputs((line + "\n").c_str(), stdout) >= 0 && std::fflush(stdout) == 0;
}

QDBusMessage Call(const QDBusConnection& bus, const QString& interface_name, const QString& method,
                  const QVariantList& arguments = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QLatin1String(kBusName), QLatin1String(kBusPath), interface_name, method);
  call.setArguments(arguments);
  return bus.call(call, QDBus::Block, kCallTimeoutMs);
}

std::optional<QVariantMap> ReadProperties(const QDBusConnection& bus, std::string& why) {
  const QDBusReply<QVariantMap> reply =
      Call(bus, QLatin1String(kPropertiesInterface), QStringLiteral("GetAll"),
           {QLatin1String(kBusInterface)});
  if (!reply.isValid()) {
    why = reply.error().message().toStdString();
    return std::nullopt;
  }
  return reply.value();
}

QString MethodFor(RemoteAction action) {
  switch (action) {
    case RemoteAction::kWorking:
      return QStringLiteral("Working");
    case RemoteAction::kOnBreak:
      return QStringLiteral("OnBreak");
    case RemoteAction::kAway:
      return QStringLiteral("Away");
    case RemoteAction::kAtMeeting:
      return QStringLiteral("AtMeeting");
    case RemoteAction::kResetReminder:
      return QStringLiteral("ResetReminder");
    case RemoteAction::kWorkType:
      return QStringLiteral("SetWorkType");
    case RemoteAction::kShowWindow:
      return QStringLiteral("ShowMainWindow");
    case RemoteAction::kStatus:
    case RemoteAction::kWatch:
      break;
  }
  return {};
}

int RunCommand(const QDBusConnection& bus, const CommandLine& line) {
  QVariantList arguments;
  if (line.remote == RemoteAction::kWorkType) arguments << QString::fromStdString(line.work_type);
  const QDBusMessage reply =
      Call(bus, QLatin1String(kBusInterface), MethodFor(*line.remote), arguments);
  if (reply.type() == QDBusMessage::ErrorMessage) {
    return Fail("the running copy did not answer: " + reply.errorMessage().toStdString());
  }
  if (line.remote == RemoteAction::kWorkType && !reply.arguments().value(0).toBool()) {
    return Fail("there is no work type named \"" + line.work_type + "\"");
  }
  return 0;
}

int Watch(QDBusConnection bus, QVariantMap properties, StatusFormat format) {
  StatusFollower follower(std::move(properties), format);
  if (!follower.PrintIfChanged()) return 1;
  if (!bus.connect(QLatin1String(kBusName), QLatin1String(kBusPath),
                   QLatin1String(kPropertiesInterface), QStringLiteral("PropertiesChanged"),
                   &follower, SLOT(OnPropertiesChanged(QString, QVariantMap, QStringList)))) {
    return Fail("cannot follow the running copy: " + bus.lastError().message().toStdString());
  }
  QDBusServiceWatcher ended(QLatin1String(kBusName), bus,
                            QDBusServiceWatcher::WatchForUnregistration);
  QObject::connect(&ended, &QDBusServiceWatcher::serviceUnregistered, &follower, [] {
    std::fprintf(stderr, "tolvi: the running copy has ended\n");
    QCoreApplication::exit(kExitNotRunning);
  });
  return QCoreApplication::exec();
}

}  // namespace

StatusFollower::StatusFollower(QVariantMap properties, StatusFormat format)
    : properties_(std::move(properties)), format_(format) {}

bool StatusFollower::PrintIfChanged() {
  const std::string line = StatusText(ReportFromProperties(properties_), format_);
  if (printed_ && line == last_line_) return true;
  printed_ = true;
  last_line_ = line;
  return PrintLine(line);
}

void StatusFollower::OnPropertiesChanged(const QString& interface_name, const QVariantMap& changed,
                                         const QStringList& invalidated) {
  if (interface_name != QLatin1String(kBusInterface)) return;
  for (auto it = changed.cbegin(); it != changed.cend(); ++it)
    properties_.insert(it.key(), it.value());
  for (const QString& name : invalidated) properties_.remove(name);
  // A reader that went away (the status bar ended) ends the watch.
  if (!PrintIfChanged()) QCoreApplication::exit(1);
}

int RunRemoteControl(const CommandLine& line) {
  if (!SessionBusConfigured()) return Fail("Tolvi is not running (no session bus)");
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    return Fail("Tolvi is not running (no session bus: " + bus.lastError().message().toStdString() +
                ")");
  }
  if (!bus.interface()->isServiceRegistered(QLatin1String(kBusName)).value()) {
    return Fail("Tolvi is not running");
  }
  if (line.remote != RemoteAction::kStatus && line.remote != RemoteAction::kWatch) {
    return RunCommand(bus, line);
  }
  std::string why;
  std::optional<QVariantMap> properties = ReadProperties(bus, why);
  if (!properties) return Fail("the running copy did not answer: " + why);
  if (line.remote == RemoteAction::kWatch) return Watch(bus, std::move(*properties), line.format);
  return PrintLine(StatusText(ReportFromProperties(*properties), line.format)) ? 0 : 1;
}

}  // namespace tolvi
