// VirtualClock: the Clock of tolvi-sim. Simulated time moves only when the
// runner advances it; the tick count moves with it (through suspends too)
// and wraps at 2^32; the wall clock is UTC and can be set apart from it.
// The virtual user is either active (input at every instant) or has given
// no input since a fixed tick. Single-threaded, like the runner.
#pragma once

#include <cstdint>
#include <string>

#include "platform/clock.h"

namespace tolvi::sim {

class VirtualClock final : public Clock {
 public:
  // Milliseconds of simulated time since the run began.
  std::uint64_t elapsed() const { return elapsed_; }
  void Advance(std::uint64_t milliseconds);
  void SetWallTime(std::int64_t unix_ms) { wall_ms_ = unix_ms; }
  std::int64_t wall_time() const { return wall_ms_; }
  void SetTickCount(std::uint32_t tick);

  void SetActive() { active_ = true; }
  // No input from now on.
  void SetInactive();
  // The last input was this long ago, and none follows.
  void SetIdleFor(std::uint32_t milliseconds);
  bool active() const { return active_; }

  std::uint32_t TickCount() override;
  std::uint32_t LastInputTick() override;
  LocalTime Now() override;
  std::uint32_t FileTimeHigh() override;
  std::string LongDate(const LocalTime& time) override;

 private:
  std::uint64_t elapsed_ = 0;
  std::uint32_t tick_at_start_ = 3'600'000;   // an hour after boot
  std::int64_t wall_ms_ = 1'767'603'600'000;  // Monday 2026-01-05 09:00:00
  bool active_ = true;
  std::uint32_t last_input_tick_ = 0;
};

}  // namespace tolvi::sim
