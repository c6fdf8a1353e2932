// The break reminder: what the GUI thread does when timer 2 fires after the
// monitor ran the break countdown out. It stops the timer, plays the
// reminder action, shows the reminder text (or a random phrase) as a
// two-button question, and turns the answer into a mode change:
// "I'll take a break now." keeps the break (or resumes work under
// AutoCont); "Snooze; I need more time!" resumes work with the snooze time
// as the countdown.
//
// GUI thread only. The handler copies what it needs under the state lock,
// asks without the lock, and applies the outcome under the lock again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "state/core_context.h"

namespace tolvi {

inline constexpr std::string_view kTakeBreakButton = "I'll take a break now.";
inline constexpr std::string_view kSnoozeButton = "Snooze; I need more time!";
inline constexpr std::uint32_t kNoWindowPauseMs = 5'000;

enum class ReminderOutcome {
  kStayOnBreak,  // first button, AutoCont off
  kResumeWork,   // first button, AutoCont on
  kSnooze,       // second button, or closed without a choice
};
ReminderOutcome DecideReminderOutcome(int answer, bool auto_cont);

// Applies an outcome with the state lock held: StartWork for work and
// snooze; a snooze then counts down the snooze time instead of the interval.
void ApplyReminderOutcome(CoreContext& context, ReminderOutcome outcome)
    REQUIRES(context.state.mutex);

// What the reminder needs from the sound layer, the phrase table and the
// desktop lock. Empty members do nothing (ask_on_lock_desktop: the question
// goes to the main window instead).
struct BreakReminderServices {
  std::function<void(std::uint32_t kind, const std::string& path)> play_reminder_sound;
  std::function<void()> stop_reminder_sound;
  // A random reminder phrase; empty text when none are loaded.
  std::function<std::string()> random_phrase;
  // Blocks the GUI thread (the kinds without a window).
  std::function<void(std::uint32_t ms)> pause;
  // Shows the question on the lock desktop and returns the answer.
  std::function<int(const Question& question)> ask_on_lock_desktop;
};

// The timer-2 handler. choice_open: another two-button question is up, so
// the reminder waits for the timer's next round.
void HandleBreakReminderTimer(CoreContext& context, const BreakReminderServices& services,
                              bool choice_open);

}  // namespace tolvi
