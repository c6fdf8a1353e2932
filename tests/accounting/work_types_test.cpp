#include "accounting/work_types.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "accounting/recent_work.h"
#include "accounting/work_type_record.h"
#include "engine/engine_fixture.h"
#include "text/text.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

class WorkTypesTest : public EngineFixture {
 protected:
  RecordDatabase& records() { return context_.records; }
  std::uint32_t Field(std::int32_t id, std::uint32_t number) {
    return records().ReadNumber(id, number).value_or(0xFFFF'FFFF);
  }
  void Write(std::int32_t id, std::uint32_t number, std::uint32_t value) {
    ASSERT_TRUE(records().WriteNumber(id, number, value).ok());
  }
  void Name(std::int32_t id, std::string_view name) {
    ASSERT_TRUE(records().WriteText(id, field::kName, name).ok());
  }
};

// The flush back is pinned by the change of work type and the refresh; the
// name and today's time loaded by the scenarios' changes of work type.
TEST_F(WorkTypesTest, SelectingByIdLoadsTheWorkingCopy) {
  Write(2, field::kTotal, 900);
  Write(2, field::kMaximum, 3'600'000);
  ASSERT_TRUE(records().WriteText(2, field::kNotes, "chapter 4").ok());
  SelectCurrentById(state(), records(), 2);
  EXPECT_EQ(activity().current_total, 900u);
  EXPECT_EQ(activity().current_maximum_ms, 3'600'000u);
  EXPECT_EQ(activity().current_notes, "chapter 4");
}

TEST_F(WorkTypesTest, LoadingAMissingRecordKeepsTheWorkingValues) {
  activity().current_today_ms = 42;
  data().current_work_type = 0xFFFF'FFFF;  // from a damaged file
  LoadCurrentWorkType(state(), records());
  EXPECT_EQ(activity().current_today_ms, 42u);
  EXPECT_EQ(FieldText(data().current_name), "New Work");
}

// The history's shift and the total are the day scenarios'; the closed
// day's entry is listed for the seeding of the new day.
TEST_F(WorkTypesTest, ClosingADayListsTheClosedDayForTheSeeding) {
  Write(3, field::kToday, 7'000'000);
  ClearRecentWork(state().recent);
  EXPECT_TRUE(ShiftDay(state(), records(), 3).ok());
  EXPECT_EQ(state().recent[0].record_id, 3);
  EXPECT_EQ(state().recent[0].today_ms, 7'000'000u);
}

// The floor of 3 ms is the midnight scenario's.
TEST_F(WorkTypesTest, SeedTimeFollowsTheTotalUpToItsCap) {
  EXPECT_EQ(SeedTime(24'000), 4u);
  EXPECT_EQ(SeedTime(6'005'999), 1'000u);
  EXPECT_EQ(SeedTime(6'006'000), 999u);
}

TEST_F(WorkTypesTest, SelectByNameFollowsTheCurrentRecordAmongNamesakes) {
  // Slot 7 is current; sorting by name moves it but keeps the order of the
  // nine records called "New Work", so it becomes the eighth of them.
  Name(2, "Writing");
  data().current_work_type = 7;
  SetFieldText(data().current_name, "New Work");
  Write(7, field::kToday, 777);
  EXPECT_TRUE(SelectCurrentByName(state(), records()).ok());
  EXPECT_EQ(activity().current_today_ms, 777u);
  EXPECT_EQ(FieldText(data().current_name), "New Work");
}

TEST_F(WorkTypesTest, SelectByNameFindsTheWholeNameOrFallsBackToRecordZero) {
  struct Case {
    const char* stored;
    const char* current;
    std::uint32_t chosen;
  };
  // "Zeta" is sorted last; "Work" is contained in a name but is not one.
  for (const Case& c : {Case{"Zeta", "Zeta", 9}, Case{"Homework", "Work", 0}}) {
    Name(5, c.stored);
    data().current_work_type = 5;
    SetFieldText(data().current_name, c.current);
    EXPECT_TRUE(SelectCurrentByName(state(), records()).ok());
    EXPECT_EQ(data().current_work_type, c.chosen) << c.stored;
  }
}

TEST_F(WorkTypesTest, DeleteRemovesTheRecordFromTheSums) {
  Write(4, field::kToday, 1'000'000);
  EXPECT_TRUE(DeleteWorkType(records(), 4).ok());
  EXPECT_EQ(records().live_count(), 9u);
  EXPECT_EQ(SumField(records(), field::kToday), 45u);
}

TEST_F(WorkTypesTest, ZeroClearsTotalsAndHistoryButNotNamesOrMaxima) {
  for (std::uint32_t n = field::kTotal; n <= field::kSixDaysBack; ++n) {
    if (n != field::kMaximum) Write(1, n, 99);
  }
  activity().current_today_ms = 5'000;
  EXPECT_TRUE(ZeroWorkTypes(state(), records()).ok());
  for (std::uint32_t n = field::kToday; n <= field::kSixDaysBack; ++n) EXPECT_EQ(Field(1, n), 0u);
  EXPECT_EQ(Field(1, field::kTotal), 0u);
  EXPECT_EQ(Field(1, field::kMaximum), kDefaultMaximumMs);
  EXPECT_EQ(activity().current_today_ms, 0u);
}

}  // namespace
}  // namespace tolvi
