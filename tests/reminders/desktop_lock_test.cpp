#include "reminders/desktop_lock.h"

#include <gtest/gtest.h>

namespace tolvi {
namespace {

constexpr LockAttempt kEverything{
    .screens_covered = true, .keyboard_grabbed = true, .pointer_grabbed = true};

TEST(DesktopLock, LocksOnlyWhenScreensKeyboardAndPointerWereAllTaken) {
  for (const LockAttempt& partial : {LockAttempt{false, true, true}, LockAttempt{true, false, true},
                                     LockAttempt{true, true, false}, LockAttempt{}}) {
    DesktopLock lock;
    EXPECT_EQ(lock.Begin(partial), LockPhase::kUnlocked);
    EXPECT_FALSE(lock.holds_input());
  }
  DesktopLock lock;
  EXPECT_EQ(lock.Begin(kEverything), LockPhase::kLocked);
  EXPECT_TRUE(lock.holds_input());
}

TEST(DesktopLock, WhereNoClientMayGrabCoveringEveryScreenIsTheLock) {
  DesktopLock covered;
  EXPECT_EQ(covered.Begin(LockAttempt{.screens_covered = true, .platform_can_grab = false}),
            LockPhase::kLocked);
  DesktopLock uncovered;
  EXPECT_EQ(uncovered.Begin(LockAttempt{.platform_can_grab = false}), LockPhase::kUnlocked);
}

TEST(DesktopLock, AnswerIsHandedOutOnceAfterTheRelease) {
  DesktopLock lock;
  lock.Begin(kEverything);
  EXPECT_EQ(lock.Release(), std::nullopt);  // not answered yet: stays locked
  EXPECT_TRUE(lock.holds_input());
  lock.Answered(1);
  EXPECT_EQ(lock.phase(), LockPhase::kReleasing);
  EXPECT_FALSE(lock.holds_input());
  EXPECT_EQ(lock.Release(), 1);
  EXPECT_TRUE(lock.idle());
  EXPECT_EQ(lock.Release(), std::nullopt);
}

TEST(DesktopLock, AnyOtherWayOfClosingCountsAsTheSecondButton) {
  DesktopLock lock;
  lock.Begin(LockAttempt{});
  lock.Answered(0);
  EXPECT_EQ(lock.Release(), 2);
}

TEST(DesktopLock, ASecondLockWhileOneIsUpLeavesTheFirstAlone) {
  DesktopLock lock;
  lock.Begin(kEverything);
  EXPECT_EQ(lock.Begin(kEverything), LockPhase::kUnlocked);
  EXPECT_EQ(lock.phase(), LockPhase::kLocked);
  lock.Answered(1);
  EXPECT_EQ(lock.Release(), 1);
}

}  // namespace
}  // namespace tolvi
