// IdleClock: a Clock that takes its tick count, dates and times from another
// clock and its last-input tick from an IdleSource: LastInputTick =
// TickCount - idle. Without a source the user is never idle (the last input
// is always now). When a query fails the previous answer stands, so a
// hiccup of the bus neither ends nor starts an absence.
//
// Owns the source; borrows the base clock, which must outlive it. Thread-
// safe as long as the base clock and the source are.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/clock.h"
#include "platform/idle_source.h"

namespace tolvi {

class IdleClock final : public Clock {
 public:
  IdleClock(Clock& base, std::unique_ptr<IdleSource> idle)
      : base_(base), idle_(std::move(idle)), last_input_(base.TickCount()) {}

  [[nodiscard]] bool has_idle_source() const { return idle_ != nullptr; }

  std::uint32_t TickCount() override { return base_.TickCount(); }

  std::uint32_t LastInputTick() override {
    const std::uint32_t now = base_.TickCount();
    if (!idle_) return now;
    const std::optional<std::uint64_t> idle = idle_->IdleMilliseconds();
    if (!idle) return last_input_.load();
    // Longer than the counter's range (49 days) reads as the longest idle.
    const auto capped = static_cast<std::uint32_t>(
        std::min<std::uint64_t>(*idle, std::numeric_limits<std::uint32_t>::max()));
    const std::uint32_t last_input = now - capped;  // wraps like the tick count
    last_input_.store(last_input);
    return last_input;
  }

  LocalTime Now() override { return base_.Now(); }
  std::uint32_t FileTimeHigh() override { return base_.FileTimeHigh(); }
  std::string LongDate(const LocalTime& time) override { return base_.LongDate(time); }

 private:
  Clock& base_;
  std::unique_ptr<IdleSource> idle_;
  std::atomic<std::uint32_t> last_input_;
};

}  // namespace tolvi
