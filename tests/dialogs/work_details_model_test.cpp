#include "dialogs/work_details_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "accounting/work_type_record.h"
#include "dialogs/dialog_fixture.h"
#include "engine/requests.h"
#include "state/command_ids.h"
#include "text/text.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

class WorkDetailsModelTest : public DialogFixture {
 protected:
  // Five work types in slots 0 to 4, in name order.
  void AddFive() {
    for (const char* name : {"Admin", "Budget", "Code", "Docs", "Email"}) AddWorkType(name);
  }
  WorkDetailsModel& Open(std::int32_t mode) {
    model_.emplace(context_, mode, [this](const Question& question) {
      asked_.push_back(question.message + "|" + question.first_button + "|" +
                       question.second_button);
      return answer_;
    });
    return *model_;
  }

  std::optional<WorkDetailsModel> model_;
  std::vector<std::string> asked_;
  int answer_ = 1;
};

TEST_F(WorkDetailsModelTest, ShowsTheRecordItWasOpenedForOrElseTheFirst) {
  AddFive();
  EXPECT_EQ(Open(2).view().name, "Code");
  EXPECT_EQ(Open(42).view().name, "Admin");
}

TEST_F(WorkDetailsModelTest, BrowsingStopsAtBothEndsAndDropsUnsavedEditsAsCancelDoes) {
  AddFive();
  WorkDetailsModel& model = Open(4);
  model.Next();
  EXPECT_EQ(model.view().name, "Email");
  model.SetName("Renamed");
  model.Previous();
  EXPECT_EQ(model.view().name, "Docs");
  model.Next();
  EXPECT_EQ(model.view().name, "Email");
  model.SelectEntry(0);
  model.Previous();
  EXPECT_EQ(model.view().shown, 0);
  EXPECT_FALSE(model.view().can_previous);
  model.SetName("Changed");
  model.Cancel();
  EXPECT_TRUE(model.closed());
  EXPECT_EQ(Name(0), "Admin");
  EXPECT_EQ(Name(4), "Email");
}

TEST_F(WorkDetailsModelTest, ShowsTheWeekAndStatistics) {
  const std::int32_t id = AddWorkType("Write", 7'200'000, 900, 5'400'000);
  EXPECT_TRUE(records().WriteNumber(id, field::kYesterday, 3'600'000).ok());
  EXPECT_TRUE(records().WriteNumber(id, field::kSixDaysBack, 1'800'000).ok());
  EXPECT_TRUE(records().WriteText(id, field::kNotes, "chapter 3").ok());
  AddWorkType("Read", kDefaultMaximumMs, 1800, 0);
  data().total_days = 2;
  const WorkDetailsView& view = Open(id).view();
  EXPECT_EQ(view.maximum, "120");
  EXPECT_EQ(view.days,
            (std::array<std::string, 7>{"1:30", "1:00", "0:00", "0:00", "0:00", "0:00", "0:30"}));
  EXPECT_EQ(view.total, "3:00");    // 900 stored + 1.5 hours today
  EXPECT_EQ(view.average, "1:30");  // over two closed days
  EXPECT_EQ(view.share, "50.0");    // of 6 hours of all work
  EXPECT_EQ(view.notes, "chapter 3");
}

TEST_F(WorkDetailsModelTest, FirstDayAverageIsTheTotalAndShareIsZero) {
  const std::int32_t id = AddWorkType("Write", kDefaultMaximumMs, 600, 0);
  data().total_days = 0;
  data().decimal_hours = 1;
  const WorkDetailsView& view = Open(id).view();
  EXPECT_EQ(view.total, "1.00");
  EXPECT_EQ(view.average, "1.00");
  EXPECT_EQ(view.share, "0.0");
}

TEST_F(WorkDetailsModelTest, OkSavesNameMaximumAndNotes) {
  AddFive();
  WorkDetailsModel& model = Open(2);
  model.SetName(std::string(70, 'x'));
  model.SetMaximum(" 45 minutes");
  model.SetNotes(std::string(400, 'n'));
  model.Ok();
  EXPECT_TRUE(model.closed());
  EXPECT_EQ(Name(2), std::string(59, 'x'));
  EXPECT_EQ(Field(2, field::kMaximum), 2'700'000u);
  EXPECT_EQ(records().ReadText(2, field::kNotes), std::string(299, 'n'));
  Open(0).SetMaximum("lots");  // no digits: no maximum
  model_->Ok();
  EXPECT_EQ(Field(0, field::kMaximum), 0u);
}

TEST_F(WorkDetailsModelTest, NewAddsANewWorkTypeWithTheDefaults) {
  AddFive();
  WorkDetailsModel& model = Open(0);
  model.SetName("Accounts");
  model.New();
  EXPECT_EQ(Name(0), "Accounts");  // the shown record was saved first
  const std::int32_t id = model.shown_record();
  EXPECT_EQ(id, 5);
  EXPECT_EQ(model.view().name, "New Work");
  EXPECT_EQ(model.view().maximum, "300");
  EXPECT_EQ(Open(kDialogModeNewWorkType).shown_record(), 6);  // opened to add
}

// The edit saved first, and the copy's edited name and default maximum, are
// the work-type dialog scenario's.
TEST_F(WorkDetailsModelTest, CopyTakesTheNotesButNoHistory) {
  const std::int32_t id = AddWorkType("Write", 7'200'000, 900, 5'400'000);
  EXPECT_TRUE(records().WriteNumber(id, field::kYesterday, 3'600'000).ok());
  EXPECT_TRUE(records().WriteText(id, field::kNotes, "chapter 3").ok());
  WorkDetailsModel& model = Open(id);
  model.Copy();
  const std::int32_t copy = model.shown_record();
  ASSERT_NE(copy, id);
  EXPECT_EQ(records().ReadText(copy, field::kNotes), "chapter 3");
  for (std::uint32_t f = field::kTotal; f <= field::kLastReserved; ++f) {
    if (f != field::kMaximum) {
      EXPECT_EQ(Field(copy, f), 0u) << f;
    }
  }
}

// New, Copy and opening to add share the one refusal.
TEST_F(WorkDetailsModelTest, ARefusedWorkTypeTellsTheUserWhyAndAddsNothing) {
  // Eleven work types fill the first growth; the next one must grow the file.
  for (int i = 0; i < 11; ++i) AddWorkType("W" + std::to_string(i));
  files_.FailNextWrite();
  WorkDetailsModel& model = Open(3);
  model.Copy();
  EXPECT_EQ(model.shown_record(), 3);
  EXPECT_EQ(ui_.CallsStartingWith("notice "),
            (std::vector<std::string>{
                "notice Tolvi cannot add a work type: Write failed on demand: /data/TlvDB.lbf"}));
  EXPECT_EQ(records().live_count(), 11u);
}

TEST_F(WorkDetailsModelTest, DeleteAskedAndDeclinedChangesNothing) {
  AddFive();
  answer_ = 2;
  WorkDetailsModel& model = Open(2);
  model.Delete();
  EXPECT_EQ(asked_, (std::vector<std::string>{
                        "Delete this work type? This will reduce the total work recorded and "
                        "cannot be undone.|Yes, delete work type|No, do not delete"}));
  EXPECT_EQ(records().live_count(), 5u);
  EXPECT_EQ(model.view().name, "Code");
}

TEST_F(WorkDetailsModelTest, DeleteShowsTheNextRecordOrTheNewLastOne) {
  AddFive();
  WorkDetailsModel& model = Open(2);
  model.Delete();
  EXPECT_EQ(model.view().names, (std::vector<std::string>{"Admin", "Budget", "Docs", "Email"}));
  EXPECT_EQ(model.view().name, "Docs");
  model.SelectEntry(3);
  model.Delete();
  EXPECT_EQ(model.view().name, "Docs");
  EXPECT_EQ(model.view().shown, 2);
  EXPECT_FALSE(model.view().can_next);
}

// Ok without a record is in the hand-off below.
TEST_F(WorkDetailsModelTest, WithEveryWorkTypeDeletedOnlyNewFillsTheForm) {
  const std::int32_t id = AddWorkType("Only", kDefaultMaximumMs, 600, 0);
  WorkDetailsModel& model = Open(id);
  model.Delete();
  EXPECT_FALSE(model.has_record());
  EXPECT_EQ(model.view().name, "");
  model.SetName("ignored");
  model.Next();
  model.Copy();
  model.Select();
  EXPECT_FALSE(model.closed());
  EXPECT_EQ(records().live_count(), 0u);
  model.New();
  EXPECT_EQ(model.view().name, "New Work");
}

TEST_F(WorkDetailsModelTest, CancelAfterDeletingEveryWorkTypeStillLeavesOne) {
  WorkDetailsModel& model = Open(AddWorkType("Only"));
  model.Delete();
  model.Cancel();
  EXPECT_TRUE(model.closed());
  EXPECT_EQ(records().live_count(), 1u);
}

// The whole hand-off: menu request, command 2018 with the dialog, and the
// monitor applying the result.
TEST_F(WorkDetailsModelTest, DeletingEveryWorkTypeStillLeavesOneToBookTo) {
  for (const char* name : {"Admin", "Budget", "Code"}) AddWorkType(name);
  data().current_work_type = 0;
  SetFieldText(data().current_name, "Admin");
  const auto monitor_takes_request = [this] {
    StateLock lock(context_.state.mutex);
    HandleRequest(context_, lock);
  };
  ASSERT_TRUE(TryPostRequest(context_, request::kEditWorkType, 0));
  monitor_takes_request();
  RunWorkTypeDialogCommand(context_, [this](WorkTypeDialog) {
    WorkDetailsModel model(context_, activity().request_value, [](const Question&) { return 1; });
    for (int i = 0; i < 3; ++i) model.Delete();
    EXPECT_FALSE(model.has_record());
    model.Ok();
  });
  monitor_takes_request();
  EXPECT_EQ(records().live_count(), 1u);
  EXPECT_EQ(FieldText(data().current_name), "New Work");
  EXPECT_EQ(Name(static_cast<std::int32_t>(data().current_work_type)), "New Work");
}

}  // namespace
}  // namespace tolvi
