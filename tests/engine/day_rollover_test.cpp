#include "engine/day_rollover.h"

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>

#include "storage/text.h"
#include "worklog/core_fixture.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

// A valid last-close stamp (any value after July 2008 will do).
constexpr std::uint32_t kLastClose = 31'000'000;
constexpr std::uint32_t kProjA = 0;
constexpr std::uint32_t kProjB = 1;

// Saturday, 5 December 2026 is open: Proj A 4 hours (the current work type),
// Proj B 2.5 hours, eight untouched "New Work" types; 45 minutes of break
// and a little over 70 minutes away. The clock stands just after midnight.
class DayRolloverTest : public CoreFixture {
 protected:
  DayRolloverTest() {
    clock_.SetLocalTime(2026, 12, 6, 0, 0, 45);
    clock_.SetFileTimeHigh(kLastClose + kStampUnitsPerDay);
    ProgramData& data = context_.state.data;
    data.day_of_month = 5;
    SetFieldText(data.today_text, "Saturday, 5 December 2026");
    data.last_close_stamp = kLastClose;
    data.break_today_ms = 2'700'000;
    data.away_today_ms = 4'212'000;
    data.suspended_today_ms = 60'000;

    // The placeholder goes, leaving ten "New Work" types in slots 0 to 9.
    CreateInitialWorkTypes(records());
    EXPECT_TRUE(records().WriteText(kProjA, field::kName, "Proj A"));
    EXPECT_TRUE(records().WriteText(kProjB, field::kName, "Proj B"));
    EXPECT_TRUE(records().WriteNumber(kProjB, field::kToday, 9'000'000));
    data.current_work_type = kProjA;
    context_.state.activity.current_today_ms = 14'400'000;  // not yet flushed
  }

  void Check() {
    StateLock lock(context_.state.mutex);
    DayRolloverCheck(context_, lock, [this] { ++quits_; });
    EXPECT_TRUE(lock.owns_lock());
  }

  int quits_ = 0;
};

TEST_F(DayRolloverTest, MidnightWritesTheDayLineAndTheReport) {
  SetFieldText(data().work_notes, "client visit");
  Check();
  EXPECT_EQ(Log(), kLogHeader +
                       "Saturday, 5 December 2026     "
                       " : Work: 6:30, Break: 0:45, Away: 1:10, (Proj A: 4:00, Proj B: 2:30, "
                       "New Work: 0:00, New Work: 0:00, New Work: 0:00) client visit\r\n");
  EXPECT_EQ(ui_.CallsStartingWith("balloon "),
            std::vector<std::string>{"balloon Saturday, 5 December 2026|Work: 6:30, Break: 0:45, "
                                     "Away: 1:10\r\n(Proj A: 4:00, Proj B: 2:30, New Work: 0:00)"});
  EXPECT_EQ(FieldText(data().work_notes), "");
  EXPECT_EQ(FieldText(data().today_text), "Sunday, 6 December 2026");
  EXPECT_EQ(data().day_of_month, 6u);
  EXPECT_EQ(ui_.CallsStartingWith("timer 3 "), std::vector<std::string>{"timer 3 86400000"});
}

TEST_F(DayRolloverTest, MidnightMovesTheDayIntoYesterdayAndTheTotals) {
  Check();
  EXPECT_EQ(data().total_days, 1u);
  EXPECT_EQ(data().work_yesterday_ms, 23'400'040u);  // eight New Work types at 5 ms
  EXPECT_EQ(data().break_yesterday_ms, 2'700'000u);
  EXPECT_EQ(data().away_yesterday_ms, 4'212'000u);
  EXPECT_EQ(data().suspended_yesterday_ms, 60'000u);
  EXPECT_EQ(data().break_total, 450u);
  EXPECT_EQ(data().away_total, 702u);
  EXPECT_EQ(data().suspended_total, 10u);
  EXPECT_EQ(data().work_today_ms, 0u);
  EXPECT_EQ(data().break_today_ms, 0u);
  EXPECT_EQ(data().last_close_stamp, kLastClose + kStampUnitsPerDay);
  EXPECT_EQ(Field(kProjA, field::kYesterday), 14'400'000u);
  EXPECT_EQ(Field(kProjA, field::kTotal), 2'400u);
  EXPECT_EQ(Field(kProjB, field::kTotal), 1'500u);
  // Seeded: a total below 30 hours gives the token 3 ms.
  EXPECT_EQ(Field(kProjA, field::kToday), 3u);
  EXPECT_EQ(context_.state.activity.current_today_ms, 3u);
  EXPECT_EQ(context_.state.recent[0].name, "Proj A");
}

TEST_F(DayRolloverTest, EachCloseIsBackedUpAndSaved) {
  Check();
  EXPECT_TRUE(files_.GetFile("/data/TlvDB.lbf Bak").has_value());
  const std::optional<std::string> saved = files_.GetFile("/data/dTolvi.dat");
  ASSERT_TRUE(saved.has_value());
  ASSERT_EQ(saved->size(), 6508u);
  EXPECT_EQ(saved->substr(0, 8), "TOLV1320");
  EXPECT_TRUE(records().is_open());
}

TEST_F(DayRolloverTest, QuittingAtTheClockGuardWritesAndSavesNothing) {
  data().day_of_month = 7;
  clock_.SetFileTimeHigh(kLastClose - 9);
  ui_.QueueAnswers({2});
  Check();
  EXPECT_EQ(ui_.CallsStartingWith("ask "),
            std::vector<std::string>{"ask The current time is BEFORE the last recorded time|Yes, "
                                     "I know|Please quit to avoid data corruption -> 2"});
  EXPECT_EQ(ui_.questions().at(0).style, 1u);
  EXPECT_EQ(quits_, 1);
  EXPECT_EQ(data().total_days, 0u);
  EXPECT_EQ(data().last_close_stamp, kLastClose);
  EXPECT_EQ(Field(kProjB, field::kToday), 9'000'000u);
  EXPECT_EQ(Field(kProjA, field::kToday), 5u);  // never flushed
  EXPECT_FALSE(files_.GetFile("/data/dLog.txt").has_value());
  EXPECT_FALSE(files_.GetFile("/data/dTolvi.dat").has_value());
  EXPECT_FALSE(files_.GetFile("/data/TlvDB.lbf Bak").has_value());
}

TEST_F(DayRolloverTest, TheQuestionIsAskedWithoutTheStateLock) {
  data().day_of_month = 7;
  clock_.SetFileTimeHigh(kLastClose - 9);
  bool lock_was_free = false;
  ui_.SetAnswerer([&](const Question&) {
    lock_was_free = context_.state.mutex.try_lock();
    if (lock_was_free) context_.state.mutex.unlock();
    return 1;
  });
  Check();
  EXPECT_TRUE(lock_was_free);
}

TEST_F(DayRolloverTest, NotesAreClearedWhenOnlyTheReportIsShown) {
  data().file_log = 0;
  SetFieldText(data().work_notes, "seen once");
  Check();
  EXPECT_FALSE(files_.GetFile("/data/dLog.txt").has_value());
  EXPECT_EQ(ui_.CallsStartingWith("balloon ").size(), 1u);
  EXPECT_EQ(FieldText(data().work_notes), "");
}

TEST_F(DayRolloverTest, ADayLineNoFileCanTakeWaitsInTheSharedStateUntilTheLogIsBack) {
  files_.FailAccess("/data/dLog.txt");
  files_.FailAccess("/data/dLog.txt Pending");
  Check();
  EXPECT_EQ(ui_.CallsStartingWith("notice ").size(), 1u);
  files_.FailAccess("/data/dLog.txt", false);
  files_.FailAccess("/data/dLog.txt Pending", false);
  {
    std::lock_guard lock(context_.state.mutex);
    EXPECT_TRUE(ContextWorkLog(context_).WritePending());
  }
  EXPECT_EQ(Log(), kLogHeader +
                       "Saturday, 5 December 2026     "
                       " : Work: 6:30, Break: 0:45, Away: 1:10, (Proj A: 4:00, Proj B: 2:30, "
                       "New Work: 0:00, New Work: 0:00, New Work: 0:00)\r\n");
}

struct StampCase {
  std::uint32_t now;
  std::uint32_t last;
  std::optional<std::uint32_t> days;
};

TEST(DaysSinceLastClose, CountsWholeDaysFromOneToSeven) {
  const StampCase cases[] = {
      {kLastClose + 200, kLastClose, 1},
      {kLastClose + 201, kLastClose, 1},
      {kLastClose + 401, kLastClose, 1},
      {kLastClose + 402, kLastClose, 2},
      {kLastClose + 1407, kLastClose, 7},
      {kLastClose + 1608, kLastClose, 7},
      {kLastClose + 90'000, kLastClose, 7},
      {kLastClose, kLastClose, 1},
      {kLastClose - 1, kLastClose, std::nullopt},
      {kLastClose, kOldestValidStamp - 1, 1},  // no valid stamp yet
      {kLastClose, kOldestValidStamp, 7},
  };
  for (const StampCase& c : cases) {
    EXPECT_EQ(DaysSinceLastClose(c.now, c.last), c.days) << c.now << " after " << c.last;
  }
}

}  // namespace
}  // namespace tolvi
