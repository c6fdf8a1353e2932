// Single instance on Windows: the running copy owns the named mutex
// "Tolvi.exe" in the user's session. The system closes the mutex when the
// process ends, however it ends, so a crash never leaves it behind.
//
// InstanceMutex owns the mutex handle; move-only. Main thread at start-up.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tolvi {

inline constexpr char kInstanceMutexName[] = "Tolvi.exe";
// A copy that finds the mutex taken waits this long for the previous copy to
// finish shutting down, then tries once more.
inline constexpr std::chrono::milliseconds kInstanceMutexRetryDelay{5'000};

class InstanceMutex {
 public:
  InstanceMutex(InstanceMutex&& other) noexcept;
  InstanceMutex& operator=(InstanceMutex&& other) noexcept;
  InstanceMutex(const InstanceMutex&) = delete;
  InstanceMutex& operator=(const InstanceMutex&) = delete;
  ~InstanceMutex();

 private:
  friend class InstanceMutexFactory;
  explicit InstanceMutex(void* handle) : handle_(handle) {}
  void* handle_ = nullptr;
};

enum class InstanceMutexStatus {
  kAcquired,     // this copy is the only one
  kHeld,         // another copy holds the mutex
  kUnavailable,  // the mutex cannot be created; the caller decides
};

struct InstanceMutexResult {
  InstanceMutexStatus status = InstanceMutexStatus::kUnavailable;
  std::optional<InstanceMutex> mutex;  // set when acquired
  std::string error;                   // why it was unavailable
};

// One attempt, without waiting. `name` is UTF-8.
InstanceMutexResult TryAcquireInstanceMutex(const std::string& name = kInstanceMutexName);

// An attempt, and when the mutex is held a second one after
// wait_before_retry has returned.
InstanceMutexResult AcquireInstanceMutex(const std::string& name,
                                         const std::function<void()>& wait_before_retry);
// The same, sleeping retry_delay before the second attempt.
InstanceMutexResult AcquireInstanceMutex(
    const std::string& name = kInstanceMutexName,
    std::chrono::milliseconds retry_delay = kInstanceMutexRetryDelay);

}  // namespace tolvi
