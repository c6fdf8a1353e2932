// The command line's remote controls (--status, --watch, --working, ...):
// each reaches the running copy over the session bus and never starts one.
// With no running copy (or no bus) it says so on standard error and
// returns 1 at once; a refused work-type name is 1 too.
//
// --watch prints one line at start and one for every change the running
// copy announces, until that copy ends (then 1) or standard output closes.
//
// Needs a QCoreApplication (no display); main thread only.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <string>

#include "shell/command_line.h"
#include "shell/status_report.h"

namespace tolvi {

inline constexpr int kExitNotRunning = 1;

[[nodiscard]] int RunRemoteControl(const CommandLine& line);

// Follows PropertiesChanged for --watch. Public for the slot connection.
class StatusFollower final : public QObject {
  Q_OBJECT

 public:
  StatusFollower(QVariantMap properties, StatusFormat format);
  // Prints the current line; false when standard output failed.
  bool PrintIfChanged();

 public slots:
  void OnPropertiesChanged(const QString& interface_name, const QVariantMap& changed,
                           const QStringList& invalidated);

 private:
  QVariantMap properties_;
  StatusFormat format_;
  std::string last_line_;
  bool printed_ = false;
};

}  // namespace tolvi
