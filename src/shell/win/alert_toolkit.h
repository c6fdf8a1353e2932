// The Win32 side of the alert timers (shell/alert_dispatcher.h): an alert's
// pause runs a message loop of its own that drops keyboard and mouse input,
// so the window keeps painting and the monitor's calls are served; the
// break reminder's question on the locked desktop runs on a desktop of its
// own.
//
// GUI thread only. The flag must outlive the returned toolkit.
#pragma once

#include <windows.h>

#include "reminders/choice.h"
#include "shell/alert_dispatcher.h"

namespace tolvi::win {

AlertToolkit WinAlertToolkit(ChoiceOpenFlag& choice_open, HICON program_icon);

}  // namespace tolvi::win
