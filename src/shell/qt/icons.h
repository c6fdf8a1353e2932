// The program's icons, compiled into the executable as Qt resources: the
// program icon and the tray icon of each activity mode, each in 16, 22, 32
// and 48 pixels. GUI thread only (QIcon).
//
// The resources belong to the executable, so in a program or test without
// them these return null icons.
#pragma once

#include <QIcon>

#include "platform/ui.h"

namespace tolvi {

QIcon ProgramIcon();
// The icon for a tray icon id; the On Break icon is the program icon.
QIcon TrayIconImage(TrayIcon icon);

}  // namespace tolvi
