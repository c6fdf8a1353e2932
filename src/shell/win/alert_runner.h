// AlertRunner: the main window's alert timers on Win32: the break reminder
// (timer 2, on a desktop of its own when Lock Screen is on), the micro
// break (5), the work type's maximum (8) and the maximum break (9). Every
// alert waits while a question window is open or another alert pauses; its
// timer fires again later.
//
// An alert's pause keeps the window painting and the monitor's calls served
// (a message loop of its own) but drops keyboard and mouse input for its
// length, as the whole main thread was held before.
//
// GUI thread only. Borrows everything it is given; the owner keeps it alive.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "reminders/choice.h"
#include "reminders/desktop_lock.h"
#include "state/core_context.h"

namespace tolvi::win {

class AlertRunner {
 public:
  AlertRunner(CoreContext& context, ChoiceOpenFlag& choice_open, HICON program_icon)
      : context_(context), choice_open_(choice_open), program_icon_(program_icon) {}

  void SetPhrases(std::vector<std::string> phrases) { phrases_ = std::move(phrases); }

  // Handles timers 2, 5, 8 and 9; false for the others.
  bool OnTimer(TimerId id);

  // Whether the next question goes on top: the reminder's follows
  // OnTopAlert, every other question is topmost. Consumed by the asker.
  bool TakeAskOnTop();

  bool held() const { return pausing_ || choice_open_.IsOpen(); }

 private:
  void BreakReminder();
  void Pause(std::uint32_t ms);
  void PlaySound(std::uint32_t kind, const std::string& path);
  std::string RandomPhrase();

  CoreContext& context_;
  ChoiceOpenFlag& choice_open_;
  HICON program_icon_;
  std::vector<std::string> phrases_;
  DesktopLock lock_;
  bool pausing_ = false;
  std::optional<bool> reminder_on_top_;
};

}  // namespace tolvi::win
