// ManualResetEvent and MonitorEvents: the two events that connect the GUI
// thread and the monitor thread. WakeEvent wakes the monitor early;
// RequestFreeEvent says the request slot is free.
//
// Any thread may call any member. An event stays set until Reset, so a Set
// that lands before the waiter starts waiting is not lost.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tolvi {

class ManualResetEvent {
 public:
  explicit ManualResetEvent(bool initially_set = false) : set_(initially_set) {}
  ManualResetEvent(const ManualResetEvent&) = delete;
  ManualResetEvent& operator=(const ManualResetEvent&) = delete;

  void Set() {
    {
      std::lock_guard lock(mutex_);
      set_ = true;
    }
    changed_.notify_all();
  }
  void Reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
  }
  bool IsSet() const {
    std::lock_guard lock(mutex_);
    return set_;
  }
  // Waits until the event is set or the time-out passes; true when set.
  bool WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return set_; });
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool set_;
};

struct MonitorEvents {
  ManualResetEvent wake{false};
  ManualResetEvent request_free{true};
};

}  // namespace tolvi
