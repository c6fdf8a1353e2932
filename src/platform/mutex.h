// Mutex and MutexLock: a std::mutex and its scoped lock, annotated so that
// clang's -Wthread-safety can check the members GUARDED_BY a Mutex and the
// functions that REQUIRE it. MutexLock is also the lock handed to code that
// must let go of the lock for a while (unlock, ask the user, lock again).
//
// Threads: a Mutex is shared; a MutexLock belongs to the thread that made
// it. Neither may be copied. A MutexLock is held from
// construction to destruction except between its own unlock() and lock().
#pragma once

#include <mutex>

#include "platform/thread_annotations.h"

namespace tolvi {

class CAPABILITY("mutex") Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void lock() ACQUIRE() { mutex_.lock(); }
  void unlock() RELEASE() { mutex_.unlock(); }
  bool try_lock() TRY_ACQUIRE(true) { return mutex_.try_lock(); }

 private:
  std::mutex mutex_;
};

class SCOPED_CAPABILITY MutexLock {
 public:
  explicit MutexLock(Mutex& mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_.lock(); }
  ~MutexLock() RELEASE() {
    if (held_) mutex_.unlock();
  }
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;

  void lock() ACQUIRE() {
    mutex_.lock();
    held_ = true;
  }
  void unlock() RELEASE() {
    held_ = false;
    mutex_.unlock();
  }
  [[nodiscard]] bool owns_lock() const { return held_; }

 private:
  Mutex& mutex_;
  bool held_ = true;
};

}  // namespace tolvi
