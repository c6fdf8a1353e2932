#include "shell/qt/dbus_adaptor.h"

namespace tolvi {
namespace {

constexpr int kAbsent = -1;

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

int OptionalFigure(const std::optional<std::uint32_t>& value) {
  return value ? static_cast<int>(*value) : kAbsent;
}

}  // namespace

DbusAdaptor::DbusAdaptor(DbusService& service)
    : QDBusAbstractAdaptor(&service), service_(service) {}

QString DbusAdaptor::Mode() const {
  return Text(std::string(ModeName(service_.report().mode)));
}
bool DbusAdaptor::CountingDown() const {
  return service_.report().counting_down;
}
uint DbusAdaptor::SecondsUntilBreak() const {
  return service_.report().seconds_until_break;
}
int DbusAdaptor::MicroBreakSeconds() const {
  return OptionalFigure(service_.report().micro_break_seconds);
}
uint DbusAdaptor::WorkTodaySeconds() const {
  return service_.report().work_today_seconds;
}
uint DbusAdaptor::BreakTodaySeconds() const {
  return service_.report().break_today_seconds;
}
uint DbusAdaptor::AwayTodaySeconds() const {
  return service_.report().away_today_seconds;
}
QString DbusAdaptor::WorkType() const {
  return Text(service_.report().work_type);
}
uint DbusAdaptor::WorkTypeTodaySeconds() const {
  return service_.report().work_type_today_seconds;
}
int DbusAdaptor::TargetLeftSeconds() const {
  return OptionalFigure(service_.report().target_left_seconds);
}
QString DbusAdaptor::Tooltip() const {
  return Text(service_.report().tooltip);
}

void DbusAdaptor::Command(RemoteAction action) {
  const std::optional<std::uint32_t> id = MenuCommandFor(action);
  if (id && service_.hooks().command) service_.hooks().command(*id);
}
void DbusAdaptor::Working() {
  Command(RemoteAction::kWorking);
}
void DbusAdaptor::OnBreak() {
  Command(RemoteAction::kOnBreak);
}
void DbusAdaptor::Away() {
  Command(RemoteAction::kAway);
}
void DbusAdaptor::AtMeeting() {
  Command(RemoteAction::kAtMeeting);
}
void DbusAdaptor::ResetReminder() {
  Command(RemoteAction::kResetReminder);
}
bool DbusAdaptor::SetWorkType(const QString& name) {
  return service_.hooks().choose_work_type && service_.hooks().choose_work_type(name.toStdString());
}
void DbusAdaptor::ShowMainWindow() {
  if (service_.hooks().show_window) service_.hooks().show_window();
}

}  // namespace tolvi
