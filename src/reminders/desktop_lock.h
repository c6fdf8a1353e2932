// DesktopLock: the course of a break reminder shown on a locked desktop
// ("Lock Screen"). The front end covers every screen with its own window and
// grabs the keyboard and the pointer; the reminder is answered there; then
// everything is given back and only after that is the answer applied.
//
// The rules that keep the user from ever being trapped live here:
// - the desktop is locked only when every screen was covered and both the
//   keyboard and the pointer were grabbed; otherwise whatever was taken is
//   given back and the reminder is shown normally. Where the platform lets
//   no client grab input at all (Wayland), covering every screen is the
//   lock, and the user was told in the options that it cannot hold input;
// - one lock at a time: a second reminder while one is up is shown normally;
// - the answer is handed out once, after the release, so the outcome is
//   applied exactly once and never while the input is still held;
// - when the program ends during a lock, the lock is abandoned (the windows
//   and grabs die with the program's display connection) and no outcome is
//   applied.
//
// Ownership: a plain value owned by the front end's main window.
// Threads: GUI thread only.
#pragma once

#include <optional>

namespace tolvi {

// What the front end managed to take before the reminder is shown.
struct LockAttempt {
  bool screens_covered = false;
  bool keyboard_grabbed = false;
  bool pointer_grabbed = false;
  bool platform_can_grab = true;  // false: no client may grab input here
};

enum class LockPhase {
  kIdle,
  kLocked,     // every screen covered, input grabbed, reminder up
  kUnlocked,   // the lock could not be taken: the reminder is up normally
  kReleasing,  // answered; input and screens are being given back
};

class DesktopLock {
 public:
  [[nodiscard]] LockPhase phase() const { return phase_; }
  [[nodiscard]] bool idle() const { return phase_ == LockPhase::kIdle; }
  // True only while the screens are locked for a reminder (and the input
  // held, where the platform allows it).
  [[nodiscard]] bool holds_input() const { return phase_ == LockPhase::kLocked; }

  // After the front end tried to cover and grab: kLocked when it got all of
  // it, else kUnlocked (the front end gives back what it took and shows the
  // reminder normally). Outside kIdle nothing changes and kUnlocked is
  // returned: the caller shows that reminder normally and leaves this lock
  // alone.
  LockPhase Begin(const LockAttempt& attempt);
  // The reminder was answered (1 first button, anything else second).
  void Answered(int answer);
  // The front end has given everything back: kReleasing becomes kIdle and
  // the answer is handed out, once. nullopt in any other phase.
  std::optional<int> Release();

 private:
  LockPhase phase_ = LockPhase::kIdle;
  int answer_ = 2;
};

}  // namespace tolvi
