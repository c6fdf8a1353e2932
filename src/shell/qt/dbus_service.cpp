#include "shell/qt/dbus_service.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QStringList>
#include <utility>

#include "shell/qt/dbus_adaptor.h"

namespace tolvi {
namespace {

constexpr char kPropertiesInterface[] = "org.freedesktop.DBus.Properties";
constexpr int kAbsent = -1;

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

int OptionalFigure(const std::optional<std::uint32_t>& value) {
  return value ? static_cast<int>(*value) : kAbsent;
}

std::optional<std::uint32_t> FigureOrAbsent(const QVariant& value) {
  if (!value.isValid() || value.toInt() < 0) return std::nullopt;
  return static_cast<std::uint32_t>(value.toInt());
}

}  // namespace

QVariantMap StatusProperties(const StatusReport& report) {
  return {
      {QStringLiteral("Mode"), Text(std::string(ModeName(report.mode)))},
      {QStringLiteral("CountingDown"), report.counting_down},
      {QStringLiteral("SecondsUntilBreak"), uint{report.seconds_until_break}},
      {QStringLiteral("MicroBreakSeconds"), OptionalFigure(report.micro_break_seconds)},
      {QStringLiteral("WorkTodaySeconds"), uint{report.work_today_seconds}},
      {QStringLiteral("BreakTodaySeconds"), uint{report.break_today_seconds}},
      {QStringLiteral("AwayTodaySeconds"), uint{report.away_today_seconds}},
      {QStringLiteral("WorkType"), Text(report.work_type)},
      {QStringLiteral("WorkTypeTodaySeconds"), uint{report.work_type_today_seconds}},
      {QStringLiteral("TargetLeftSeconds"), OptionalFigure(report.target_left_seconds)},
      {QStringLiteral("Tooltip"), Text(report.tooltip)},
  };
}

StatusReport ReportFromProperties(const QVariantMap& properties) {
  const auto get = [&properties](const char* name) {
    return properties.value(QLatin1String(name));
  };
  StatusReport report;
  report.mode = ModeFromName(get("Mode").toString().toStdString()).value_or(report.mode);
  report.counting_down = get("CountingDown").toBool();
  report.seconds_until_break = get("SecondsUntilBreak").toUInt();
  report.micro_break_seconds = FigureOrAbsent(get("MicroBreakSeconds"));
  report.work_today_seconds = get("WorkTodaySeconds").toUInt();
  report.break_today_seconds = get("BreakTodaySeconds").toUInt();
  report.away_today_seconds = get("AwayTodaySeconds").toUInt();
  report.work_type = get("WorkType").toString().toStdString();
  report.work_type_today_seconds = get("WorkTypeTodaySeconds").toUInt();
  report.target_left_seconds = FigureOrAbsent(get("TargetLeftSeconds"));
  report.tooltip = get("Tooltip").toString().toStdString();
  return report;
}

DbusService::DbusService(RemoteHooks hooks, QObject* parent)
    : QObject(parent), hooks_(std::move(hooks)) {
  new DbusAdaptor(*this);  // owned by this object, as Qt's adaptors are
}

DbusService::~DbusService() {
  if (!registered_) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject(QLatin1String(kBusPath));
  bus.unregisterService(QLatin1String(kBusName));
}

bool SessionBusConfigured() {
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists();
}

bool DbusService::Register(QString& why) {
  if (!SessionBusConfigured()) {
    why = QStringLiteral("no session bus");
    return false;
  }
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) {
    why = QStringLiteral("no session bus: ") + bus.lastError().message();
    return false;
  }
  if (!bus.registerObject(QLatin1String(kBusPath), this, QDBusConnection::ExportAdaptors)) {
    why = QStringLiteral("the object path is taken");
    return false;
  }
  if (!bus.registerService(QLatin1String(kBusName))) {
    bus.unregisterObject(QLatin1String(kBusPath));
    why = QStringLiteral("the name %1 is taken: %2")
              .arg(QLatin1String(kBusName), bus.lastError().message());
    return false;
  }
  registered_ = true;
  sent_ = report_;
  return true;
}

void DbusService::Publish(const StatusReport& report) {
  report_ = report;  // the properties read the figures of this very pass
  if (!registered_) return;
  // The counters move at every pass; told alone they would wake every
  // listener (and the bus) every few seconds, so they ride along with the
  // next change that shows, such as a new minute in the tooltip.
  if (!ShowsChange(sent_, report)) return;
  const QVariantMap before = StatusProperties(sent_);
  const QVariantMap now = StatusProperties(report);
  QVariantMap changed;
  for (auto it = now.cbegin(); it != now.cend(); ++it) {
    if (before.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
  }
  sent_ = report;
  QDBusMessage signal =
      QDBusMessage::createSignal(QLatin1String(kBusPath), QLatin1String(kPropertiesInterface),
                                 QStringLiteral("PropertiesChanged"));
  signal << QLatin1String(kBusInterface) << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

}  // namespace tolvi
