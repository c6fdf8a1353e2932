#include "reminders/desktop_lock.h"

namespace tolvi {
namespace {

constexpr int kFirstButton = 1;
constexpr int kSecondButton = 2;

bool EverythingTaken(const LockAttempt& attempt) {
  const bool input_held = attempt.keyboard_grabbed && attempt.pointer_grabbed;
  return attempt.screens_covered && (input_held || !attempt.platform_can_grab);
}

}  // namespace

LockPhase DesktopLock::Begin(const LockAttempt& attempt) {
  if (phase_ != LockPhase::kIdle) return LockPhase::kUnlocked;
  phase_ = EverythingTaken(attempt) ? LockPhase::kLocked : LockPhase::kUnlocked;
  answer_ = kSecondButton;
  return phase_;
}

void DesktopLock::Answered(int answer) {
  if (phase_ != LockPhase::kLocked && phase_ != LockPhase::kUnlocked) return;
  answer_ = answer == kFirstButton ? kFirstButton : kSecondButton;
  phase_ = LockPhase::kReleasing;
}

std::optional<int> DesktopLock::Release() {
  if (phase_ != LockPhase::kReleasing) return std::nullopt;
  phase_ = LockPhase::kIdle;
  return answer_;
}

}  // namespace tolvi
