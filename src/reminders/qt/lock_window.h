// The locked break reminder on Linux: frameless, stay-on-top windows cover
// every screen, the keyboard and the pointer are grabbed, and the reminder's
// question sits in the middle of the primary screen's cover. When it is
// answered every grab is given back and the covers close before the answer
// is returned, so the caller applies the outcome on a free desktop.
//
// On Wayland no client may grab the keyboard or the pointer: there each
// cover is placed on its screen explicitly (setScreen, full screen, on top)
// and covering them all is the lock; the options tell the user that it
// cannot hold the keyboard (LockCanHoldInput).
//
// Never trapped: if the covers cannot be shown or either grab cannot be
// taken where grabs exist, everything taken so far is given back and the
// question is shown as an ordinary window instead; the question always answers to its
// buttons and to Escape (the second button); the covers and grabs belong to
// this process's display connection, so they end with the program.
//
// GUI thread only; the nested event loop keeps the tray, the timers and
// the monitor's requests going while the reminder is up.
#pragma once

#include <QIcon>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/ui.h"
#include "reminders/choice.h"
#include "reminders/desktop_lock.h"

namespace tolvi {

class ChoiceDialog;

// Whether this platform lets the lock hold the keyboard and the pointer
// (false on Wayland). Needs the QGuiApplication.
bool LockCanHoldInput();

// One cover per screen; the first (the primary screen's) hosts the question.
class LockWindow {
 public:
  LockWindow(const ChoiceRequest& request, ChoiceOpenFlag& open_flag, const QIcon& program_icon);
  ~LockWindow();
  LockWindow(const LockWindow&) = delete;
  LockWindow& operator=(const LockWindow&) = delete;

  // Shows the covers and takes the grabs; reports what it got.
  LockAttempt Engage();
  // Runs the question until it is answered; returns 1 or 2.
  int Run();
  // Gives back the grabs and closes the covers. Safe to call twice.
  void Release();

  [[nodiscard]] const std::vector<std::unique_ptr<QWidget>>& covers() const { return covers_; }
  [[nodiscard]] ChoiceDialog* question() const { return question_; }

 private:
  bool WaitUntilExposed();

  std::vector<std::unique_ptr<QWidget>> covers_;
  ChoiceDialog* question_ = nullptr;  // owned by the first cover
  bool keyboard_grabbed_ = false;
  bool pointer_grabbed_ = false;
};

// The break reminder's question on the locked desktop (the Lock Screen
// setting), for BreakReminderServices::ask_on_lock_desktop. A second call
// while a lock is up shows its question normally.
int ShowLockedReminder(DesktopLock& lock, const Question& question, ChoiceOpenFlag& open_flag,
                       const QIcon& program_icon);

}  // namespace tolvi
