#include "virtual_clock.h"

#include <array>

namespace tolvi::sim {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kFileTimeEpochOffset = 116'444'736'000'000'000ULL;

constexpr std::array<const char*, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonths = {"January",   "February", "March",    "April",
                                                 "May",       "June",     "July",     "August",
                                                 "September", "October",  "November", "December"};

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::int64_t UnixMs(int year, int month, int day, int hour, int minute, int second) {
  const std::int64_t days = DaysFromCivil(year, month, day);
  return days * kMsPerDay + ((hour * 60 + minute) * 60 + second) * std::int64_t{1000};
}

LocalTime CivilTime(std::int64_t unix_ms) {
  std::int64_t days = unix_ms / kMsPerDay;
  std::int64_t ms_of_day = unix_ms % kMsPerDay;
  if (ms_of_day < 0) {
    ms_of_day += kMsPerDay;
    --days;
  }
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  LocalTime time;
  time.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  time.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  time.year = static_cast<int>(yoe + era * 400 + (time.month <= 2 ? 1 : 0));
  time.day_of_week = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  const std::int64_t seconds = ms_of_day / 1000;
  time.hour = static_cast<int>(seconds / 3600);
  time.minute = static_cast<int>(seconds / 60 % 60);
  time.second = static_cast<int>(seconds % 60);
  return time;
}

std::string CLocaleLongDate(const LocalTime& time) {
  const std::int64_t days = DaysFromCivil(time.year, time.month, time.day);
  const auto weekday = static_cast<std::size_t>(((days % 7) + 11) % 7);
  const auto month =
      static_cast<std::size_t>(time.month >= 1 && time.month <= 12 ? time.month - 1 : 0);
  return std::string(kWeekdays[weekday]) + ", " + std::to_string(time.day) + " " + kMonths[month] +
         " " + std::to_string(time.year);
}

void VirtualClock::Advance(std::uint64_t milliseconds) {
  elapsed_ += milliseconds;
  wall_ms_ += static_cast<std::int64_t>(milliseconds);
}

void VirtualClock::SetTickCount(std::uint32_t tick) {
  const std::uint32_t idle = TickCount() - last_input_tick_;
  tick_at_start_ = tick - static_cast<std::uint32_t>(elapsed_);
  last_input_tick_ = tick - idle;  // an idle user stays idle as long
}

void VirtualClock::SetInactive() {
  if (active_) last_input_tick_ = TickCount();
  active_ = false;
}

void VirtualClock::SetIdleFor(std::uint32_t milliseconds) {
  active_ = false;
  last_input_tick_ = TickCount() - milliseconds;
}

std::uint32_t VirtualClock::TickCount() {
  return tick_at_start_ + static_cast<std::uint32_t>(elapsed_);
}

std::uint32_t VirtualClock::LastInputTick() {
  return active_ ? TickCount() : last_input_tick_;
}

LocalTime VirtualClock::Now() {
  return CivilTime(wall_ms_);
}

std::uint32_t VirtualClock::FileTimeHigh() {
  const std::uint64_t units = static_cast<std::uint64_t>(wall_ms_) * 10'000 + kFileTimeEpochOffset;
  return static_cast<std::uint32_t>(units >> 32);
}

std::string VirtualClock::LongDate(const LocalTime& time) {
  return CLocaleLongDate(time);
}

}  // namespace tolvi::sim
