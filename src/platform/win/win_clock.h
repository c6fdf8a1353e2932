// WinClock: the Clock port on Windows. The tick count is GetTickCount (it
// wraps at 2^32 and keeps counting through sleep) and the last input
// GetLastInputInfo on the same counter; when the input time cannot be read
// the last input is "now". Dates are local time and the user's long date
// format. Stateless: any thread may call it.
#pragma once

#include "platform/clock.h"

namespace tolvi {

class WinClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  std::uint32_t LastInputTick() override;
  LocalTime Now() override;
  std::uint32_t FileTimeHigh() override;
  // DATE_LONGDATE of the user's locale, e.g. "Sunday, December 6, 2026" for
  // English (United States).
  std::string LongDate(const LocalTime& time) override;
};

}  // namespace tolvi
