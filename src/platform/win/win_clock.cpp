#include "platform/win/win_clock.h"

#include <windows.h>

#include <array>

#include "platform/calendar.h"
#include "platform/win/wide_text.h"

namespace tolvi {
namespace {

constexpr std::size_t kDateBufferLength = 128;

}  // namespace

std::uint32_t WinClock::TickCount() {
  return static_cast<std::uint32_t>(::GetTickCount());
}

std::uint32_t WinClock::LastInputTick() {
  LASTINPUTINFO input{};
  input.cbSize = sizeof(input);
  if (::GetLastInputInfo(&input) == 0) return TickCount();
  return static_cast<std::uint32_t>(input.dwTime);
}

LocalTime WinClock::Now() {
  SYSTEMTIME local{};
  ::GetLocalTime(&local);
  LocalTime time;
  time.year = local.wYear;
  time.month = local.wMonth;
  time.day = local.wDay;
  time.day_of_week = local.wDayOfWeek;
  time.hour = local.wHour;
  time.minute = local.wMinute;
  time.second = local.wSecond;
  return time;
}

std::uint32_t WinClock::FileTimeHigh() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return static_cast<std::uint32_t>(now.dwHighDateTime);
}

std::string WinClock::LongDate(const LocalTime& time) {
  SYSTEMTIME date{};
  date.wYear = static_cast<WORD>(time.year);
  date.wMonth = static_cast<WORD>(time.month);
  date.wDay = static_cast<WORD>(time.day);
  // Sunday = 0, as SYSTEMTIME counts; the formatter is given a consistent day.
  date.wDayOfWeek = static_cast<WORD>(DayOfWeek(time.year, time.month, time.day));
  date.wHour = 12;
  std::array<wchar_t, kDateBufferLength> buffer{};
  const int length = ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_LONGDATE, &date, nullptr,
                                       buffer.data(), static_cast<int>(buffer.size()), nullptr);
  if (length <= 1) return {};
  return Utf8FromWide(std::wstring_view(buffer.data(), static_cast<std::size_t>(length - 1)));
}

}  // namespace tolvi
