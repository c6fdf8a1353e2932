#include "state/random_number.h"

#include <gtest/gtest.h>

#include "engine/engine_fixture.h"

namespace tolvi {
namespace {

TEST(RandomNumber, SystemBitsAreReducedToOneToN) {
  ScriptedRandom source;
  FakeClock clock;
  RandomNumberGenerator random(source, clock);
  source.Queue(77);
  EXPECT_EQ(random.Draw(1), 1u);  // one or less: the source is not asked
  EXPECT_EQ(random.Draw(9), 6u);  // 77 mod 9 + 1
}

// Without system bits the draws come from the tick count, and stay in range
// whatever the state.
TEST(RandomNumber, FallbackDrawsStayWithinOneToN) {
  ScriptedRandom failing;
  FakeClock clock;
  clock.SetTickCount(0x0001'0203);
  RandomNumberGenerator random(failing, clock);
  for (int i = 0; i < 50; ++i) {
    const std::uint32_t r = random.Draw(9);
    ASSERT_GE(r, 1u);
    ASSERT_LE(r, 9u);
  }
  EXPECT_EQ(ScaleFallbackState(0, 9), 1u);  // 0 counts as 1
  for (std::uint32_t state = 0; state < 70'000; state += 7) {
    const std::uint32_t r = ScaleFallbackState(state, 6);
    ASSERT_GE(r, 1u);
    ASSERT_LE(r, 6u);
  }
  EXPECT_EQ(ScaleFallbackState(0xFFFF'FFFF, 2), 1u);
}

}  // namespace
}  // namespace tolvi
