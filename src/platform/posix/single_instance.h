// Single instance: one copy of the program per user. The running copy holds
// an exclusive flock on a lock file in $XDG_RUNTIME_DIR (or
// /tmp/tolvi-<uid>.lock). The kernel drops the lock when the process ends,
// however it ends, so a crash never leaves a stale lock behind.
//
// InstanceLock owns the open lock file; move-only. Main thread at start-up.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tolvi {

inline constexpr char kInstanceLockFileName[] = "tolvi.lock";
// A copy that finds the lock held waits this long for the previous copy to
// finish shutting down, then tries once more.
inline constexpr std::chrono::milliseconds kInstanceRetryDelay{5'000};

class InstanceLock {
 public:
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

 private:
  friend class InstanceLockFactory;
  explicit InstanceLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};

enum class InstanceStatus {
  kAcquired,     // this copy is the only one
  kHeld,         // another copy holds the lock
  kUnavailable,  // the lock file cannot be used; the caller decides
};

struct InstanceResult {
  InstanceStatus status = InstanceStatus::kUnavailable;
  std::optional<InstanceLock> lock;  // set when acquired
  std::string error;                 // why it was unavailable
};

// The lock file for this user: $XDG_RUNTIME_DIR/tolvi.lock when that is an
// absolute path, else /tmp/tolvi-<uid>.lock.
std::filesystem::path DefaultInstanceLockPath();

// One attempt, without waiting.
InstanceResult TryLockInstance(const std::filesystem::path& lock_file);

// An attempt, and when the lock is held a second one after
// wait_before_retry has returned.
InstanceResult AcquireSingleInstance(const std::filesystem::path& lock_file,
                                     const std::function<void()>& wait_before_retry);
// The same, sleeping retry_delay before the second attempt.
InstanceResult AcquireSingleInstance(const std::filesystem::path& lock_file,
                                     std::chrono::milliseconds retry_delay = kInstanceRetryDelay);

}  // namespace tolvi
