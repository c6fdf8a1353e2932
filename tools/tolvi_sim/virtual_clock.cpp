#include "virtual_clock.h"

#include "platform/calendar.h"

namespace tolvi::sim {
namespace {

// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr std::uint64_t kFileTimeEpochOffset = 116'444'736'000'000'000ULL;

}  // namespace

void VirtualClock::Advance(std::uint64_t milliseconds) {
  elapsed_ += milliseconds;
  wall_ms_ += static_cast<std::int64_t>(milliseconds);
}

void VirtualClock::SetTickCount(std::uint32_t tick) {
  const std::uint32_t idle = TickCount() - last_input_tick_;
  tick_at_start_ = tick - static_cast<std::uint32_t>(elapsed_);
  last_input_tick_ = tick - idle;  // an idle user stays idle as long
}

void VirtualClock::SetInactive() {
  if (active_) last_input_tick_ = TickCount();
  active_ = false;
}

void VirtualClock::SetIdleFor(std::uint32_t milliseconds) {
  active_ = false;
  last_input_tick_ = TickCount() - milliseconds;
}

std::uint32_t VirtualClock::TickCount() {
  return tick_at_start_ + static_cast<std::uint32_t>(elapsed_);
}

std::uint32_t VirtualClock::LastInputTick() {
  return active_ ? TickCount() : last_input_tick_;
}

LocalTime VirtualClock::Now() {
  return CivilTime(wall_ms_);
}

std::uint32_t VirtualClock::FileTimeHigh() {
  const std::uint64_t units = static_cast<std::uint64_t>(wall_ms_) * 10'000 + kFileTimeEpochOffset;
  return static_cast<std::uint32_t>(units >> 32);
}

std::string VirtualClock::LongDate(const LocalTime& time) {
  return CLocaleLongDate(time);
}

}  // namespace tolvi::sim
