#include "platform/posix/single_instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace tolvi {
namespace {

class SingleInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvi-lock-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
    lock_file_ = directory_ / "tolvi.lock";
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::filesystem::path directory_;
  std::filesystem::path lock_file_;
};

TEST_F(SingleInstanceTest, TheLockTurnsOthersAwayUntilItsLastOwnerLetsGo) {
  InstanceResult first = TryLockInstance(lock_file_);
  ASSERT_EQ(first.status, InstanceStatus::kAcquired);
  ASSERT_TRUE(first.lock.has_value());
  const InstanceResult second = AcquireSingleInstance(lock_file_, std::chrono::milliseconds(1));
  EXPECT_EQ(second.status, InstanceStatus::kHeld);
  EXPECT_FALSE(second.lock.has_value());

  std::optional<InstanceLock> moved = std::move(*first.lock);
  first.lock.reset();
  EXPECT_EQ(TryLockInstance(lock_file_).status, InstanceStatus::kHeld);
  moved.reset();
  EXPECT_EQ(TryLockInstance(lock_file_).status, InstanceStatus::kAcquired);
}

TEST_F(SingleInstanceTest, CopyStartedDuringShutdownGetsTheLockOnItsSecondTry) {
  InstanceResult first = TryLockInstance(lock_file_);
  ASSERT_EQ(first.status, InstanceStatus::kAcquired);
  int waits = 0;
  const InstanceResult second = AcquireSingleInstance(lock_file_, [&] {
    ++waits;
    first.lock.reset();  // the first copy finishes during the wait
  });
  EXPECT_EQ(waits, 1);
  EXPECT_EQ(second.status, InstanceStatus::kAcquired);
}

TEST_F(SingleInstanceTest, SymlinkOrMissingDirectoryIsUnavailableNotHeld) {
  const std::filesystem::path target = directory_ / "elsewhere";
  std::filesystem::create_symlink(target, lock_file_);
  const InstanceResult linked = TryLockInstance(lock_file_);
  EXPECT_EQ(linked.status, InstanceStatus::kUnavailable);
  EXPECT_FALSE(linked.error.empty());
  EXPECT_FALSE(std::filesystem::exists(target));

  EXPECT_EQ(TryLockInstance(directory_ / "missing" / "tolvi.lock").status,
            InstanceStatus::kUnavailable);
}

TEST_F(SingleInstanceTest, DefaultPathFollowsXdgRuntimeDir) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::optional<std::string> restore =
      saved ? std::optional<std::string>(saved) : std::nullopt;
  ::setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
  EXPECT_EQ(DefaultInstanceLockPath(), "/run/user/1234/tolvi.lock");
  ::setenv("XDG_RUNTIME_DIR", "relative", 1);
  EXPECT_EQ(DefaultInstanceLockPath(), "/tmp/tolvi-" + std::to_string(::getuid()) + ".lock");
  restore ? ::setenv("XDG_RUNTIME_DIR", restore->c_str(), 1) : ::unsetenv("XDG_RUNTIME_DIR");
}

}  // namespace
}  // namespace tolvi
