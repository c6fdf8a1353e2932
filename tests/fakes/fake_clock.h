// FakeClock: a manual Clock for tests. Every value is set by the test; the
// tick count and the last-input tick move only when told. LongDate writes
// the C-locale form "Sunday, 6 December 2026", the weekday worked out from
// the date. Thread-safe, so a monitor thread may read it while a test sets it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/clock.h"

namespace tolvi {

class FakeClock : public Clock {
  // Runs f under the lock (first, so the inline members below can use it).
  template <typename F>
  auto Locked(F f) {
    std::lock_guard lock(mutex_);
    return f();
  }

 public:
  FakeClock() { SetLocalTime(2026, 12, 6); }

  std::uint32_t TickCount() override {
    return Locked([&] { return tick_; });
  }
  std::uint32_t LastInputTick() override {
    return Locked([&] { return last_input_; });
  }
  LocalTime Now() override {
    return Locked([&] { return now_; });
  }
  std::uint32_t FileTimeHigh() override {
    return Locked([&] { return file_time_high_; });
  }
  // The C-locale long date.
  std::string LongDate(const LocalTime& time) override;

  void SetTickCount(std::uint32_t tick) {
    Locked([&] { tick_ = tick; });
  }
  void SetLastInputTick(std::uint32_t tick) {
    Locked([&] { last_input_ = tick; });
  }
  // Moves the tick count on (wrapping at 2^32); the last input stays.
  void Advance(std::uint32_t milliseconds) {
    Locked([&] { tick_ += milliseconds; });
  }
  // Moves the tick count on and marks input at the new tick.
  void AdvanceWithInput(std::uint32_t milliseconds) {
    Locked([&] { last_input_ = tick_ += milliseconds; });
  }
  // Sets the local time; the weekday is worked out from the date.
  void SetLocalTime(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);
  void SetFileTimeHigh(std::uint32_t value) {
    Locked([&] { file_time_high_ = value; });
  }

 private:
  std::mutex mutex_;
  std::uint32_t tick_ = 0;
  std::uint32_t last_input_ = 0;
  LocalTime now_;
  // The high word of the file time on 2026-12-06 12:00 UTC.
  std::uint32_t file_time_high_ = 0x01DD8579;
};

}  // namespace tolvi
