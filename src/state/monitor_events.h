// ManualResetEvent and MonitorEvents: the two events that connect the GUI
// thread and the monitor thread. WakeEvent wakes the monitor early;
// RequestFreeEvent says the request slot is free.
//
// Any thread may call any member. An event stays set until Reset, so a Set
// that lands before the waiter starts waiting is not lost; a Call that lands
// before WaitUntilSetOrCalled is not lost either.
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

  // Brings a thread blocked in WaitUntilSetOrCalled round once, without
  // setting the event: the waiter has something to do for the caller.
  void Call() {
    {
      std::lock_guard lock(mutex_);
      call_pending_ = true;
    }
    changed_.notify_all();
  }
  // Between Begin and End the waiter keeps coming round: the caller blocks
  // on something only the waiting thread can do (a question it shows).
  void BeginCalling() {
    {
      std::lock_guard lock(mutex_);
      ++callers_;
    }
    changed_.notify_all();
  }
  void EndCalling() {
    std::lock_guard lock(mutex_);
    --callers_;
  }
  // Waits until the event is set or someone calls; true when set.
  bool WaitUntilSetOrCalled() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return set_ || call_pending_ || callers_ != 0; });
    call_pending_ = false;
    return set_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool set_;
  bool call_pending_ = false;
  int callers_ = 0;
};

// Holds a ManualResetEvent's waiter awake for as long as it lives.
class CallingScope {
 public:
  explicit CallingScope(ManualResetEvent& event) : event_(event) { event_.BeginCalling(); }
  ~CallingScope() { event_.EndCalling(); }
  CallingScope(const CallingScope&) = delete;
  CallingScope& operator=(const CallingScope&) = delete;

 private:
  ManualResetEvent& event_;
};

struct MonitorEvents {
  ManualResetEvent wake{false};
  ManualResetEvent request_free{true};
};

}  // namespace tolvi
