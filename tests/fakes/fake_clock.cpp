#include "fakes/fake_clock.h"

#include "platform/calendar.h"

namespace tolvi {

void FakeClock::SetLocalTime(int year, int month, int day, int hour, int minute, int second) {
  const LocalTime now{year, month, day, DayOfWeek(year, month, day), hour, minute, second};
  Locked([&] { now_ = now; });
}

std::string FakeClock::LongDate(const LocalTime& time) {
  return CLocaleLongDate(time);
}

}  // namespace tolvi
