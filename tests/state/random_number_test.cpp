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
  EXPECT_EQ(random.Draw(0), 1u);
  EXPECT_EQ(random.Draw(1), 1u);
  EXPECT_EQ(random.state(), 0u);  // one or less: the source was not asked
  EXPECT_EQ(random.Draw(9), 6u);  // 77 mod 9 + 1
  source.Queue(0xFFFF'FFFF);
  EXPECT_EQ(random.Draw(10), 6u);
  EXPECT_EQ(random.state(), 0xFFFF'FFFFu);
}

TEST(RandomNumber, FallbackSeedsFromTheTickCountAndKeepsItsState) {
  ScriptedRandom failing;
  FakeClock clock;
  clock.SetTickCount(0x0001'0203);
  RandomNumberGenerator random(failing, clock);
  // 66,051 squared is 4,362,734,601; modulo 2^32 67,767,305; its low 16
  // bits 3,081.
  EXPECT_EQ(NextFallbackState(0, 0x0001'0203), 3'081u);
  // 3,081 * 9 = 27,729, shifted right by 12: 6.
  EXPECT_EQ(random.Draw(9), 6u);
  EXPECT_EQ(random.state(), 3'081u);
  // 3,081 squared is 9,492,561: low 16 bits 55,377, halved 27,688, plus the
  // tick's low byte 3.
  EXPECT_EQ(NextFallbackState(3'081, 0x0001'0203), 27'691u);
}

TEST(RandomNumber, FallbackScalingStaysWithinOneToN) {
  EXPECT_EQ(ScaleFallbackState(0, 9), 1u);       // 0 counts as 1
  EXPECT_EQ(ScaleFallbackState(65'535, 9), 8u);  // 143, less 15 nines
  // A large state: (2^32 - 2) >> 12 = 1,048,575, odd, so less twos leaves 1.
  EXPECT_EQ(ScaleFallbackState(0xFFFF'FFFF, 2), 1u);
  for (std::uint32_t state = 0; state < 70'000; state += 7) {
    const std::uint32_t r = ScaleFallbackState(state, 6);
    ASSERT_GE(r, 1u);
    ASSERT_LE(r, 6u);
  }
}

}  // namespace
}  // namespace tolvi
