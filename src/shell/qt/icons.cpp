#include "shell/qt/icons.h"

#include <QString>

namespace tolvi {
namespace {

constexpr int kIconSizes[] = {16, 22, 32, 48};

QIcon LoadIcon(const char* name) {
  QIcon icon;
  for (const int size : kIconSizes) {
    icon.addFile(QStringLiteral(":/icons/%1/%2.png").arg(size).arg(QLatin1String(name)),
                 QSize(size, size));
  }
  return icon;
}

}  // namespace

QIcon ProgramIcon() {
  return LoadIcon("tolvi");
}

QIcon TrayIconImage(TrayIcon icon) {
  switch (icon) {
    case TrayIcon::kWorking:
      return LoadIcon("tolvi-working");
    case TrayIcon::kAway:
      return LoadIcon("tolvi-away");
    case TrayIcon::kAtMeeting:
      return LoadIcon("tolvi-meeting");
    case TrayIcon::kProgram:
    case TrayIcon::kOnBreak:
      break;
  }
  return ProgramIcon();
}

}  // namespace tolvi
