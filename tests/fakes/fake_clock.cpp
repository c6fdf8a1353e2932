#include "fakes/fake_clock.h"

#include <array>
#include <chrono>
#include <string_view>

namespace tolvi {
namespace {

constexpr std::array<std::string_view, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

}  // namespace

FakeClock::FakeClock() {
  SetLocalTime(2026, 12, 6);
  // The high word of the file time on 2026-12-06 12:00 UTC.
  file_time_high_ = 0x01DD8579;
}

std::uint32_t FakeClock::TickCount() {
  std::lock_guard lock(mutex_);
  return tick_;
}

std::uint32_t FakeClock::LastInputTick() {
  std::lock_guard lock(mutex_);
  return last_input_;
}

LocalTime FakeClock::Now() {
  std::lock_guard lock(mutex_);
  return now_;
}

std::uint32_t FakeClock::FileTimeHigh() {
  std::lock_guard lock(mutex_);
  return file_time_high_;
}

std::string FakeClock::LongDate(const LocalTime& time) {
  return CLocaleLongDate(time);
}

void FakeClock::SetTickCount(std::uint32_t tick) {
  std::lock_guard lock(mutex_);
  tick_ = tick;
}

void FakeClock::SetLastInputTick(std::uint32_t tick) {
  std::lock_guard lock(mutex_);
  last_input_ = tick;
}

void FakeClock::Advance(std::uint32_t milliseconds) {
  std::lock_guard lock(mutex_);
  tick_ += milliseconds;
}

void FakeClock::AdvanceWithInput(std::uint32_t milliseconds) {
  std::lock_guard lock(mutex_);
  tick_ += milliseconds;
  last_input_ = tick_;
}

void FakeClock::SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::lock_guard lock(mutex_);
  now_.year = year;
  now_.month = month;
  now_.day = day;
  now_.day_of_week = DayOfWeek(year, month, day);
  now_.hour = hour;
  now_.minute = minute;
  now_.second = second;
}

void FakeClock::SetFileTimeHigh(std::uint32_t value) {
  std::lock_guard lock(mutex_);
  file_time_high_ = value;
}

std::string FakeClock::CLocaleLongDate(const LocalTime& time) {
  const int weekday = DayOfWeek(time.year, time.month, time.day);
  const auto month_index =
      static_cast<std::size_t>(time.month >= 1 && time.month <= 12 ? time.month - 1 : 0);
  std::string text(kDayNames[static_cast<std::size_t>(weekday)]);
  // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict for
  // chained string sums.
  text += ", ";
  text += std::to_string(time.day);
  text += ' ';
  text += kMonthNames[month_index];
  text += ' ';
  text += std::to_string(time.year);
  return text;
}

int FakeClock::DayOfWeek(int year, int month, int day) {
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  return static_cast<int>(std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding());
}

}  // namespace tolvi
