// PosixClock: the Clock port on Linux. The tick count is CLOCK_BOOTTIME in
// milliseconds (it keeps counting through suspend), cut to 32 bits. There is
// no idle source here, so the last input is always "now"; the desktop shell
// supplies a real one. Stateless: any thread may call it.
#pragma once

#include "platform/clock.h"

namespace tolvi {

class PosixClock final : public Clock {
 public:
  std::uint32_t TickCount() override;
  std::uint32_t LastInputTick() override;
  LocalTime Now() override;
  std::uint32_t FileTimeHigh() override;
  // The user's locale long date ("%A, %e %B %Y"), e.g. "Sunday, 6 December
  // 2026" in the C locale.
  std::string LongDate(const LocalTime& time) override;
};

}  // namespace tolvi
