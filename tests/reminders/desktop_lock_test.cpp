#include "reminders/desktop_lock.h"

#include <gtest/gtest.h>

#include <utility>

namespace tolvi {
namespace {

constexpr LockAttempt kEverything{
    .screens_covered = true, .keyboard_grabbed = true, .pointer_grabbed = true};

TEST(DesktopLock, LocksOnlyWhenScreensKeyboardAndPointerWereAllTaken) {
  const std::pair<LockAttempt, LockPhase> cases[] = {
      {LockAttempt{false, true, true}, LockPhase::kUnlocked},
      {LockAttempt{true, false, true}, LockPhase::kUnlocked},
      {LockAttempt{true, true, false}, LockPhase::kUnlocked},
      {LockAttempt{}, LockPhase::kUnlocked},
      {kEverything, LockPhase::kLocked},
      // Where no client may grab, covering every screen is the lock.
      {LockAttempt{.screens_covered = true, .platform_can_grab = false}, LockPhase::kLocked},
      {LockAttempt{.platform_can_grab = false}, LockPhase::kUnlocked},
  };
  for (const auto& [attempt, phase] : cases) {
    SCOPED_TRACE(&attempt - &cases[0].first);
    DesktopLock lock;
    EXPECT_EQ(lock.Begin(attempt), phase);
    EXPECT_EQ(lock.holds_input(), phase == LockPhase::kLocked);
  }
}

TEST(DesktopLock, AnswerIsHandedOutOnceAfterTheRelease) {
  DesktopLock lock;
  lock.Begin(kEverything);
  // A second lock while one is up leaves the first alone.
  EXPECT_EQ(lock.Begin(kEverything), LockPhase::kUnlocked);
  EXPECT_EQ(lock.Release(), std::nullopt);  // not answered yet: stays locked
  EXPECT_TRUE(lock.holds_input());
  lock.Answered(1);
  EXPECT_EQ(lock.phase(), LockPhase::kReleasing);
  EXPECT_FALSE(lock.holds_input());
  EXPECT_EQ(lock.Release(), 1);
  EXPECT_TRUE(lock.idle());
  EXPECT_EQ(lock.Release(), std::nullopt);
  // Any other way of closing counts as the second button.
  lock.Begin(LockAttempt{});
  lock.Answered(0);
  EXPECT_EQ(lock.Release(), 2);
}

}  // namespace
}  // namespace tolvi
