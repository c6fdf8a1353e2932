// AlertRunner: the main window's alert timers on Qt: the break reminder
// (timer 2, with the desktop lock when Lock Screen is on), the micro break
// (5), the work type's maximum (8) and the maximum break (9). Every alert
// waits while a question window is open or another alert pauses; its timer
// fires again a second later.
//
// An alert's pause (the reminder kinds without a window, the micro-break
// and maximum-break alerts) keeps the window painting and the monitor's
// questions answered, but holds user input and the other alerts for its
// length, as the whole main thread was held before.
//
// GUI thread only. Borrows everything it is given; the owner keeps it alive.
#pragma once

#include <QIcon>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "reminders/choice.h"
#include "reminders/desktop_lock.h"
#include "state/core_context.h"

namespace tolvi {

class AlertRunner {
 public:
  AlertRunner(CoreContext& context, ChoiceOpenFlag& choice_open, QIcon program_icon)
      : context_(context), choice_open_(choice_open), program_icon_(std::move(program_icon)) {}

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
  QIcon program_icon_;
  std::vector<std::string> phrases_;
  DesktopLock lock_;
  bool pausing_ = false;
  std::optional<bool> reminder_on_top_;
};

}  // namespace tolvi
