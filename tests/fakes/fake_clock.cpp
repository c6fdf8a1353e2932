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

}  // namespace tolvi
