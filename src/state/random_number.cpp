#include "state/random_number.h"

namespace tolvi {

std::uint32_t NextFallbackState(std::uint32_t state, std::uint32_t tick_count) {
  if (state != 0) return ((state * state) & 0xFFFFu) / 2 + (tick_count & 0xFFu);
  return (tick_count * tick_count) & 0xFFFFu;
}

std::uint32_t ScaleFallbackState(std::uint32_t state, std::uint32_t n) {
  std::uint32_t r = (state * n) >> 12;
  // The scaled value stays below 16 n for the small states the step makes,
  // but a state from elsewhere may be larger: reduce without a long loop.
  if (r > n) r = (r - 1) % n + 1;
  return r == 0 ? 1 : r;
}

std::uint32_t RandomNumberGenerator::Draw(std::uint32_t n) {
  if (n <= 1) return 1;
  if (const std::optional<std::uint32_t> bits = source_.Next()) {
    state_.store(*bits);
    return *bits % n + 1;
  }
  return FallbackDraw(n);
}

std::uint32_t RandomNumberGenerator::FallbackDraw(std::uint32_t n) {
  const std::uint32_t next = NextFallbackState(state_.load(), clock_.TickCount());
  state_.store(next);
  return ScaleFallbackState(next, n);
}

}  // namespace tolvi
