#include "accounting/targets.h"

#include <gtest/gtest.h>

#include "accounting/work_type_record.h"
#include "engine/engine_fixture.h"

namespace tolvi {
namespace {

namespace field = work_type_field;
constexpr std::uint32_t kHour = 3'600'000;

class TargetsTest : public EngineFixture {
 protected:
  TargetsTest() {
    // Clear the token 5 ms of the ten fresh work types.
    for (std::int32_t id = 0; id < 10; ++id) {
      EXPECT_TRUE(context_.records.WriteNumber(id, field::kToday, 0).ok());
    }
    data().manual_target = 6 * kHour;
  }
  void Day(std::int32_t id, std::uint32_t number, std::uint32_t ms) {
    ASSERT_TRUE(context_.records.WriteNumber(id, number, ms).ok());
  }
  void Update() { UpdateTarget(state(), context_.records); }
};

// The target texts and the manual countdown are the target scenario's.
TEST_F(TargetsTest, NoTargetOrAManualTargetWorkedLeavesNoNoticePending) {
  data().work_today_ms = 7 * kHour;
  for (const std::uint32_t mode : {0u, 1u}) {
    data().target_mode = mode;
    activity().target_remaining_ms = 5;
    Update();
    EXPECT_EQ(activity().target_remaining_ms, 0u) << mode;
  }
}

TEST_F(TargetsTest, ThreeDayAverageNeedsWhatTheLastTwoDaysLeftOpen) {
  data().target_mode = 2;
  Day(0, field::kYesterday, 7 * kHour);
  Day(1, field::kTwoDaysBack, 5 * kHour);
  Day(0, field::kToday, 2 * kHour);
  data().work_today_ms = 2 * kHour;
  Update();
  EXPECT_EQ(activity().today_target, 6 * kHour);
  EXPECT_EQ(activity().target_remaining_ms, 4 * kHour);
  EXPECT_EQ(activity().target_text, "Today: 6 Hrs, Tomorrow: 9 Hrs");
}

TEST_F(TargetsTest, AverageAlreadyReachedSaysNone) {
  data().target_mode = 2;
  Day(0, field::kYesterday, 10 * kHour);
  Day(0, field::kTwoDaysBack, 9 * kHour);
  Update();
  EXPECT_EQ(activity().today_target, 0u);
  EXPECT_EQ(activity().target_remaining_ms, 0u);
  EXPECT_EQ(activity().target_text, "Today: None!, Tomorrow: 8 Hrs");
}

TEST_F(TargetsTest, FiveDayAverageReachesBackFourDays) {
  data().target_mode = 3;
  Day(0, field::kFourDaysBack, 6 * kHour);
  Day(0, field::kFiveDaysBack, 6 * kHour);  // one day too far back
  Update();
  EXPECT_EQ(activity().today_target, 24 * kHour);
}

TEST_F(TargetsTest, AnyLargerModeIsTheSevenDayAverage) {
  data().target_mode = 9;
  Day(0, field::kSixDaysBack, 6 * kHour);  // counts today, dropped tomorrow
  Day(0, field::kToday, 1 * kHour);
  Update();
  EXPECT_EQ(activity().today_target, 36 * kHour);
  EXPECT_EQ(TargetNeeded(data(), context_.records, 4, 9), 41 * kHour);
}

TEST_F(TargetsTest, AHugeManualTargetDoesNotWrapTheGoal) {
  data().target_mode = 4;
  data().manual_target = 0xFFFF'FFFF;
  EXPECT_EQ(TargetNeeded(data(), context_.records, 5, 10), 0xFFFF'FFFFu);
}

}  // namespace
}  // namespace tolvi
