#include "accounting/recent_work.h"

#include <gtest/gtest.h>

#include "accounting/work_type_record.h"
#include "engine/engine_fixture.h"
#include "text/text.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

class RecentWorkTest : public EngineFixture {
 protected:
  // The ten fresh records get today's times from `times`.
  void Fill(const std::vector<std::uint32_t>& times) {
    for (std::size_t i = 0; i < times.size(); ++i) {
      ASSERT_TRUE(
          context_.records.WriteNumber(static_cast<std::int32_t>(i), field::kToday, times[i]).ok());
    }
  }
};

TEST_F(RecentWorkTest, EqualTimesKeepTheirOrderAndZeroIsNeverListed) {
  Fill({7, 7, 0, 7, 9, 0, 0, 0, 0, 0});
  RebuildRecentWork(state(), context_.records);
  const std::int32_t expected[] = {4, 0, 1, 3, -1};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(state().recent[i].record_id, expected[i]) << i;
}

TEST_F(RecentWorkTest, InsertReplacesTheLastEntryOnlyWhenItHasLess) {
  ClearRecentWork(state().recent);
  for (std::size_t i = 0; i < kRecentWorkEntries; ++i) {
    state().recent[i].record_id = 100 + static_cast<std::int32_t>(i);
    state().recent[i].today_ms = 10'000;
  }
  ASSERT_TRUE(context_.records.WriteNumber(2, field::kToday, 10'000).ok());
  InsertRecentWork(state().recent, context_.records, 2);
  EXPECT_EQ(state().recent[19].record_id, 119);
  ASSERT_TRUE(context_.records.WriteNumber(2, field::kToday, 10'001).ok());
  InsertRecentWork(state().recent, context_.records, 2);
  EXPECT_EQ(state().recent[0].record_id, 2);
}

TEST_F(RecentWorkTest, CurrentSlotIsTheCurrentRecordsEntryEvenAmongNamesakes) {
  // Ten records named "New Work": the entry of record 6 itself is current.
  ASSERT_TRUE(context_.records.WriteNumber(6, field::kToday, 50).ok());
  data().current_work_type = 6;
  RebuildRecentWork(state(), context_.records);
  EXPECT_EQ(state().recent[0].record_id, 6);
  EXPECT_EQ(activity().current_slot, 0);
}

TEST_F(RecentWorkTest, CurrentSlotFallsBackToTheNameAndNeverToAnEmptyEntry) {
  ClearRecentWork(state().recent);
  state().recent[0] = RecentWorkEntry{10, 3, 0, 0, 0, "Writing"};
  data().current_work_type = 8;  // the record moved; its name did not
  SetFieldText(data().current_name, "Writing");
  FindCurrentSlot(state());
  EXPECT_EQ(activity().current_slot, 0);
  SetFieldText(data().current_name, "");
  FindCurrentSlot(state());
  EXPECT_EQ(activity().current_slot, -1);
}

}  // namespace
}  // namespace tolvi
