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
 public:
  FakeClock();

  std::uint32_t TickCount() override;
  std::uint32_t LastInputTick() override;
  LocalTime Now() override;
  std::uint32_t FileTimeHigh() override;
  std::string LongDate(const LocalTime& time) override;

  void SetTickCount(std::uint32_t tick);
  void SetLastInputTick(std::uint32_t tick);
  // Moves the tick count on (wrapping at 2^32); the last input stays.
  void Advance(std::uint32_t milliseconds);
  // Moves the tick count on and marks input at the new tick.
  void AdvanceWithInput(std::uint32_t milliseconds);
  // Sets the local time; the weekday is worked out from the date.
  void SetLocalTime(int year, int month, int day, int hour = 12, int minute = 0, int second = 0);
  void SetFileTimeHigh(std::uint32_t value);

  // The C-locale long date of any date.
  static std::string CLocaleLongDate(const LocalTime& time);
  static int DayOfWeek(int year, int month, int day);

 private:
  std::mutex mutex_;
  std::uint32_t tick_ = 0;
  std::uint32_t last_input_ = 0;
  LocalTime now_;
  std::uint32_t file_time_high_ = 0;
};

}  // namespace tolvi
