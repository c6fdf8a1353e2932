// Clock: the time sources the core reads. The monitor thread and the GUI
// thread both call it, so implementations must be thread-safe.
//
// TickCount and LastInputTick share one millisecond counter that wraps at
// 2^32 and keeps counting while the machine sleeps; the core only ever takes
// differences modulo 2^32.
#pragma once

#include <cstdint>
#include <string>

namespace tolvi {

struct LocalTime {
  int year = 1970;
  int month = 1;        // 1..12
  int day = 1;          // 1..31
  int day_of_week = 4;  // 0 = Sunday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;

  // Milliseconds since boot, truncated to 32 bits.
  virtual std::uint32_t TickCount() = 0;
  // TickCount() value at the user's last keyboard or mouse input.
  virtual std::uint32_t LastInputTick() = 0;
  // Local wall-clock date and time.
  virtual LocalTime Now() = 0;
  // High 32 bits of the UTC time in 100 ns units since 1601-01-01.
  virtual std::uint32_t FileTimeHigh() = 0;
  // The date in the user's long date format, e.g. "Sunday, 6 December 2026".
  virtual std::string LongDate(const LocalTime& time) = 0;
};

}  // namespace tolvi
