// RandomNumber: the program's one random draw, a number from 1 to n. It asks
// the system source first; when that fails it falls back to a small
// generator seeded from the tick count. The last value is kept between draws.
//
// Owned by the CoreContext. Both threads draw (the monitor's housekeeping,
// the GUI thread's phrases and sound files); the kept value is atomic, so
// draws need no other lock.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/clock.h"
#include "platform/random_source.h"

namespace tolvi {

class RandomNumberGenerator {
 public:
  RandomNumberGenerator(RandomSource& source, Clock& clock) : source_(source), clock_(clock) {}

  // A number from 1 to n; 1 when n is 0 or 1.
  std::uint32_t Draw(std::uint32_t n);

  [[nodiscard]] std::uint32_t state() const { return state_.load(); }

 private:
  std::uint32_t FallbackDraw(std::uint32_t n);

  RandomSource& source_;
  Clock& clock_;
  std::atomic<std::uint32_t> state_{0};
};

// The fallback generator's step, exposed for tests: the next kept value
// from the previous one and the tick count.
std::uint32_t NextFallbackState(std::uint32_t state, std::uint32_t tick_count);
// Scales a kept fallback value to 1..n (n >= 2).
std::uint32_t ScaleFallbackState(std::uint32_t state, std::uint32_t n);

}  // namespace tolvi
