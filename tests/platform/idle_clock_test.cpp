#include "platform/idle_clock.h"

#include <gtest/gtest.h>

#include <deque>

namespace tolvi {
namespace {

class SteppedClock : public Clock {
 public:
  std::uint32_t tick = 0;
  std::uint32_t TickCount() override { return tick; }
  std::uint32_t LastInputTick() override { return tick; }
  LocalTime Now() override { return LocalTime{.year = 2026}; }
  std::uint32_t FileTimeHigh() override { return 7; }
  std::string LongDate(const LocalTime&) override { return "Sunday"; }
};

class ScriptedIdle : public IdleSource {
 public:
  explicit ScriptedIdle(std::deque<std::optional<std::uint64_t>>* answers) : answers_(answers) {}
  std::optional<std::uint64_t> IdleMilliseconds() override {
    auto answer = answers_->front();
    answers_->pop_front();
    return answer;
  }
  std::string_view name() const override { return "scripted"; }

 private:
  std::deque<std::optional<std::uint64_t>>* answers_;
};

TEST(IdleClock, WrapsAroundWithTheTickCount) {
  SteppedClock base;
  base.tick = 1'000;
  std::deque<std::optional<std::uint64_t>> answers = {3'000, 1ULL << 40};
  IdleClock clock(base, std::make_unique<ScriptedIdle>(&answers));
  EXPECT_EQ(clock.LastInputTick(), 0xFFFF'FFFFu - 1'999u);
  // More idle than the counter holds: the longest idle it can express.
  EXPECT_EQ(std::uint32_t(clock.TickCount() - clock.LastInputTick()), 0xFFFF'FFFFu);
}

TEST(IdleClock, AFailedQueryKeepsThePreviousLastInput) {
  SteppedClock base;
  base.tick = 50'000;
  std::deque<std::optional<std::uint64_t>> answers = {10'000, std::nullopt};
  IdleClock clock(base, std::make_unique<ScriptedIdle>(&answers));
  EXPECT_EQ(clock.LastInputTick(), 40'000u);
  base.tick = 56'000;
  EXPECT_EQ(clock.LastInputTick(), 40'000u);
}

TEST(IdleClock, WithoutASourceTheUserIsNeverIdle) {
  SteppedClock base;
  base.tick = 123;
  IdleClock clock(base, nullptr);
  EXPECT_FALSE(clock.has_idle_source());
  EXPECT_EQ(clock.LastInputTick(), 123u);
  EXPECT_EQ(clock.FileTimeHigh(), 7u);
  EXPECT_EQ(clock.LongDate(LocalTime{}), "Sunday");
  EXPECT_EQ(clock.Now().year, 2026);
}

}  // namespace
}  // namespace tolvi
