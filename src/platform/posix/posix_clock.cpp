#include "platform/posix/posix_clock.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <exception>
#include <iomanip>
#include <locale>
#include <sstream>

namespace tolvi {
namespace {

// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kFileTimeEpochOffset = 116444736000000000ULL;

std::string Trim(std::string text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  text = text.substr(first, last - first + 1);
  // %e pads a one-digit day with a space: "Sunday,  6 December".
  for (std::size_t pos = text.find("  "); pos != std::string::npos; pos = text.find("  ")) {
    text.erase(pos, 1);
  }
  return text;
}

}  // namespace

std::uint32_t PosixClock::TickCount() {
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const auto ms = static_cast<std::uint64_t>(now.tv_sec) * 1000U +
                  static_cast<std::uint64_t>(now.tv_nsec) / 1000000U;
  return static_cast<std::uint32_t>(ms);
}

std::uint32_t PosixClock::LastInputTick() {
  return TickCount();
}

LocalTime PosixClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  LocalTime time;
  time.year = local.tm_year + 1900;
  time.month = local.tm_mon + 1;
  time.day = local.tm_mday;
  time.day_of_week = local.tm_wday;
  time.hour = local.tm_hour;
  time.minute = local.tm_min;
  time.second = local.tm_sec;
  return time;
}

std::uint32_t PosixClock::FileTimeHigh() {
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  const auto units =
      std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10000000>>>(
          since_epoch)
          .count();
  const std::uint64_t file_time = static_cast<std::uint64_t>(units) + kFileTimeEpochOffset;
  return static_cast<std::uint32_t>(file_time >> 32);
}

std::string PosixClock::LongDate(const LocalTime& time) {
  std::tm date{};
  date.tm_year = time.year - 1900;
  date.tm_mon = time.month - 1;
  date.tm_mday = time.day;
  date.tm_hour = 12;
  date.tm_isdst = -1;
  std::mktime(&date);  // fills in the day of the week
  std::ostringstream out;
  try {
    out.imbue(std::locale(""));
  } catch (const std::exception&) {
    // No usable locale in the environment: the C locale's names serve.
  }
  out << std::put_time(&date, "%A, %e %B %Y");
  return Trim(out.str());
}

}  // namespace tolvi
