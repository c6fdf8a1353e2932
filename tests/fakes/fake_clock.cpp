#include "fakes/fake_clock.h"

#include <array>
#include <chrono>
#include <cstdio>

namespace tolvi {
namespace {

constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

int DayOfWeek(int year, int month, int day) {
  const std::chrono::year_month_day date{std::chrono::year{year},
                                         std::chrono::month{static_cast<unsigned>(month)},
                                         std::chrono::day{static_cast<unsigned>(day)}};
  return static_cast<int>(std::chrono::weekday{std::chrono::sys_days{date}}.c_encoding());
}

}  // namespace

void FakeClock::SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
  const LocalTime now{year, month, day, DayOfWeek(year, month, day), hour, minute, second};
  Locked([&] { now_ = now; });
}

std::string FakeClock::LongDate(const LocalTime& time) {
  const auto month_index =
      static_cast<std::size_t>(time.month >= 1 && time.month <= 12 ? time.month - 1 : 0);
  const auto weekday = static_cast<std::size_t>(DayOfWeek(time.year, time.month, time.day));
  std::array<char, 64> text{};
  std::snprintf(text.data(), text.size(), "%s, %d %s %d", kDayNames[weekday], time.day,
                kMonthNames[month_index], time.year);
  return text.data();
}

}  // namespace tolvi
