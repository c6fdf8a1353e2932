// The Win32 question window (dialog resource 1601: icon, read-only message,
// two large buttons) and the break reminder's question on a desktop of its
// own (CreateDesktop/SwitchDesktop) for the Lock Screen setting. The same
// rules as the Qt window in reminders/qt/: no default button, the window
// counts in the ChoiceOpenFlag while it exists, and a locked desktop is
// always given back: the answer, the program's end and a failure to create
// the desktop (a normal reminder then) all return to the user's desktop.
//
// AskChoice runs on the thread that calls it (the GUI thread, the monitor
// for the clock guard, the lock desktop's own thread); ShowLockedReminder
// and LeaveLockDesktop on the GUI thread. The dialog templates must be
// linked into the program (resources/win/dialogs.rc).
#pragma once

#include <windows.h>

#include "platform/ui.h"
#include "reminders/choice.h"
#include "reminders/desktop_lock.h"

namespace tolvi::win {

// Shows the question modally (owner may be null) and returns the answer.
ChoiceResult AskChoice(const ChoiceRequest& request, ChoiceOpenFlag& open_flag, HICON program_icon,
                       HWND owner);

// The break reminder's question on the lock desktop, for
// BreakReminderServices::ask_on_lock_desktop. Returns 1 or 2.
int ShowLockedReminder(DesktopLock& lock, const Question& question, ChoiceOpenFlag& open_flag,
                       HICON program_icon);

// For the program's end (WM_ENDSESSION, a last-chance exit): when the
// display is on the lock desktop, switches it back to the user's desktop.
// Keeps no state; safe to call at any time.
void LeaveLockDesktop();

}  // namespace tolvi::win
