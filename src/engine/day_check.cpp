#include "engine/day_check.h"

#include "accounting/recent_work.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kMsPerMinute = 60'000;
constexpr std::uint32_t kFirstDay = 1;
constexpr std::uint32_t kLastDay = 31;

}  // namespace

std::uint32_t MidnightTimerPeriodMs(int hour, int minute) {
  // Seconds are ignored: the timer fires in the first minute after midnight,
  // at the second past the minute at which it was armed.
  const int minutes = (23 - hour) * 60 + (60 - minute);
  return static_cast<std::uint32_t>(minutes) * kMsPerMinute;
}

std::uint32_t ArmMidnightTimer(CoreContext& context) {
  const LocalTime now = context.clock.Now();
  context.ui.ArmTimer(TimerId::kMidnight, MidnightTimerPeriodMs(now.hour, now.minute));
  return static_cast<std::uint32_t>(now.day);
}

void OpenDayOnly(CoreContext& context, StateLock& /*lock*/) REQUIRES(context.state.mutex) {
  const std::uint32_t day = ArmMidnightTimer(context);
  ProgramData& data = context.state.data;
  if (data.day_of_month < kFirstDay || data.day_of_month > kLastDay || day != data.day_of_month) {
    data.day_of_month = day;
  }
  SetFieldText(data.today_text, context.clock.LongDate(context.clock.Now()));
  RebuildRecentWork(context.state, context.records);
  context.state.activity.tray_refresh_pending = true;
}

void RunDayCheck(CoreContext& context, StateLock& lock) {
  if (context.hooks.day_check) {
    context.hooks.day_check(context, lock);
  } else {
    OpenDayOnly(context, lock);
  }
}

void RunDayCheck(CoreContext& context) {
  StateLock lock(context.state.mutex);
  RunDayCheck(context, lock);
}

}  // namespace tolvi
