// The Qt side of the alert timers (shell/alert_dispatcher.h): an alert's
// pause runs a local event loop that leaves out user input, so the window
// keeps painting and the monitor's questions are answered; the break
// reminder's question on the locked desktop covers every screen.
//
// GUI thread only. The flag must outlive the returned toolkit.
#pragma once

#include <QIcon>

#include "reminders/choice.h"
#include "shell/alert_dispatcher.h"

namespace tolvi {

AlertToolkit QtAlertToolkit(ChoiceOpenFlag& choice_open, QIcon program_icon);

}  // namespace tolvi
