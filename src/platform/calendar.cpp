#include "platform/calendar.h"

#include <array>
#include <chrono>

namespace tolvi {
namespace {

namespace chrono = std::chrono;

constexpr std::array<const char*, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
constexpr std::array<const char*, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};

chrono::sys_days DaysOf(int year, int month, int day) {
  // Built from the first of the month, so that a day past the month's end
  // is well defined: it runs on into the next month.
  const chrono::year_month_day first{chrono::year{year},
                                     chrono::month{static_cast<unsigned>(month)}, chrono::day{1}};
  return chrono::sys_days{first} + chrono::days{day - 1};
}

}  // namespace

int DayOfWeek(int year, int month, int day) {
  return static_cast<int>(chrono::weekday{DaysOf(year, month, day)}.c_encoding());
}

std::int64_t UnixMs(int year, int month, int day, int hour, int minute, int second) {
  const chrono::sys_seconds time = DaysOf(year, month, day) + chrono::hours{hour} +
                                   chrono::minutes{minute} + chrono::seconds{second};
  return chrono::duration_cast<chrono::milliseconds>(time.time_since_epoch()).count();
}

LocalTime CivilTime(std::int64_t unix_ms) {
  const chrono::sys_time<chrono::milliseconds> time{chrono::milliseconds{unix_ms}};
  const chrono::sys_days day = chrono::floor<chrono::days>(time);
  const chrono::year_month_day date{day};
  const chrono::hh_mm_ss of_day{chrono::floor<chrono::seconds>(time - day)};
  return LocalTime{.year = static_cast<int>(date.year()),
                   .month = static_cast<int>(static_cast<unsigned>(date.month())),
                   .day = static_cast<int>(static_cast<unsigned>(date.day())),
                   .day_of_week = static_cast<int>(chrono::weekday{day}.c_encoding()),
                   .hour = static_cast<int>(of_day.hours().count()),
                   .minute = static_cast<int>(of_day.minutes().count()),
                   .second = static_cast<int>(of_day.seconds().count())};
}

std::string CLocaleLongDate(const LocalTime& time) {
  const auto month =
      static_cast<std::size_t>(time.month >= 1 && time.month <= 12 ? time.month - 1 : 0);
  const auto weekday =
      static_cast<std::size_t>(DayOfWeek(time.year, static_cast<int>(month) + 1, time.day));
  // Appended piece by piece: GCC 12 at -O3 warns falsely on chains of
  // std::string's operator+.
  std::string text = kDayNames[weekday];
  text += ", ";
  text += std::to_string(time.day);
  text += ' ';
  text += kMonthNames[month];
  text += ' ';
  text += std::to_string(time.year);
  return text;
}

}  // namespace tolvi
