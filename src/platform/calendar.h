// Calendar arithmetic on the proleptic Gregorian calendar, for the clocks
// that work dates out themselves instead of asking the system: the hand-set
// clock of the tests, the simulator's clock, and the weekday the Windows
// date formatter is given. No time zones: a civil time here is UTC. Pure
// functions, callable from any thread.
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace tolvi {

// 0 = Sunday. The month is 1..12; a day past the month's end counts on
// into the next month.
int DayOfWeek(int year, int month, int day);
// Milliseconds since 1970-01-01 00:00 of a civil time, with the same rule.
std::int64_t UnixMs(int year, int month, int day, int hour, int minute, int second);
// The civil time of milliseconds since 1970-01-01 00:00, weekday included.
LocalTime CivilTime(std::int64_t unix_ms);
// The long date in the C locale's words, the day unpadded:
// "Sunday, 6 December 2026".
std::string CLocaleLongDate(const LocalTime& time);

}  // namespace tolvi
