// AlertDispatcher: the main window's alert timers, whatever the toolkit:
// the break reminder (timer 2, with the desktop lock when Lock Screen is
// on), the micro break (5), the work type's maximum (8) and the maximum
// break (9). Every alert waits while a question window is open or another
// alert pauses; its timer fires again a second later.
//
// The toolkit gives the two things only it can do: the pause after an
// alert (the window keeps painting and the monitor's questions are
// answered, but user input and the other alerts are held for its length)
// and the break reminder's question on the locked desktop.
//
// GUI thread only. Borrows the context and the flag; the owner keeps them
// alive.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "reminders/choice.h"
#include "reminders/desktop_lock.h"
#include "state/core_context.h"

namespace tolvi {

struct AlertToolkit {
  std::function<void(std::uint32_t ms)> pause;
  // Returns the answer, 1 or 2.
  std::function<int(DesktopLock& lock, const Question& question)> ask_on_lock_desktop;
};

class AlertDispatcher {
 public:
  AlertDispatcher(CoreContext& context, ChoiceOpenFlag& choice_open, AlertToolkit toolkit)
      : context_(context), choice_open_(choice_open), toolkit_(std::move(toolkit)) {}

  void SetPhrases(std::vector<std::string> phrases) { phrases_ = std::move(phrases); }

  // Handles timers 2, 5, 8 and 9; false for the others.
  bool OnTimer(TimerId id);

  // Whether the next question goes on top: the reminder's follows
  // OnTopAlert, every other question is topmost. Consumed by the asker.
  bool TakeAskOnTop();

  [[nodiscard]] bool held() const { return pausing_ || choice_open_.IsOpen(); }

 private:
  void BreakReminder();
  void Pause(std::uint32_t ms);
  void PlaySound(std::uint32_t kind, const std::string& path);
  std::string RandomPhrase();

  CoreContext& context_;
  ChoiceOpenFlag& choice_open_;
  AlertToolkit toolkit_;
  std::vector<std::string> phrases_;
  DesktopLock lock_;
  bool pausing_ = false;
  std::optional<bool> reminder_on_top_;
};

}  // namespace tolvi
