#include "platform/idle_clock.h"

#include <gtest/gtest.h>

#include <deque>

#include "fakes/fake_clock.h"

namespace tolvi {
namespace {

class ScriptedIdle : public IdleSource {
 public:
  explicit ScriptedIdle(std::deque<std::optional<std::uint64_t>> answers)
      : answers_(std::move(answers)) {}
  std::optional<std::uint64_t> IdleMilliseconds() override {
    auto answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  std::string_view name() const override { return "scripted"; }

 private:
  std::deque<std::optional<std::uint64_t>> answers_;
};

TEST(IdleClock, WrapsAroundWithTheTickCount) {
  FakeClock base;
  base.SetTickCount(1'000);
  IdleClock clock(base, std::make_unique<ScriptedIdle>(
                            std::deque<std::optional<std::uint64_t>>{3'000, 1ULL << 40}));
  EXPECT_EQ(clock.LastInputTick(), 0xFFFF'FFFFu - 1'999u);
  // More idle than the counter holds: the longest idle it can express.
  EXPECT_EQ(std::uint32_t(clock.TickCount() - clock.LastInputTick()), 0xFFFF'FFFFu);
}

TEST(IdleClock, AFailedQueryKeepsThePreviousLastInput) {
  FakeClock base;
  base.SetTickCount(50'000);
  IdleClock clock(base, std::make_unique<ScriptedIdle>(
                            std::deque<std::optional<std::uint64_t>>{10'000, std::nullopt}));
  EXPECT_EQ(clock.LastInputTick(), 40'000u);
  base.SetTickCount(56'000);
  EXPECT_EQ(clock.LastInputTick(), 40'000u);
}

TEST(IdleClock, WithoutASourceTheUserIsNeverIdle) {
  FakeClock base;
  base.SetTickCount(123);
  IdleClock clock(base, nullptr);
  EXPECT_FALSE(clock.has_idle_source());
  EXPECT_EQ(clock.LastInputTick(), 123u);
}

}  // namespace
}  // namespace tolvi
