#include "dialogs/options_model.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "accounting/work_type_record.h"
#include "dialogs/dialog_fixture.h"
#include "text/text.h"

namespace tolvi {
namespace {

namespace oc = options_control;
namespace field = work_type_field;

class OptionsModelTest : public DialogFixture {
 protected:
  OptionsModelTest() {
    services_.play_reminder_sound = [this](std::uint32_t kind, const std::string& path) {
      events_.push_back("play " + std::to_string(kind) + " " + path);
    };
    services_.stop_sound = [this] { events_.push_back("stop"); };
    services_.choose_path = [this](PathPicker picker, const std::string& start) {
      events_.push_back("pick " + std::to_string(static_cast<int>(picker)) + " " + start);
      return std::optional<std::string>();  // cancelled
    };
    services_.open_file = [this](const std::filesystem::path& file) {
      events_.push_back("open " + file.generic_string());
    };
    services_.log_totals = [this](CoreContext&) { events_.push_back("log-totals"); };
    services_.set_autostart = [this](bool on) {
      events_.push_back(on ? "autostart on" : "autostart off");
    };
    services_.save_program_data = [this] {
      events_.push_back("save interval=" + std::to_string(data().break_interval));
    };
  }

  OptionsModel& Open() {
    model_.emplace(context_, services_, std::vector<std::string>{"Stretch!", "Walk!"}, open_flag_);
    return *model_;
  }
  // Types text into a box and presses "OK".
  void TypeAndApply(std::uint32_t id, const std::string& text) {
    data().max_break_action = 1;  // so that the seconds box is usable
    Open().SetText(id, text);
    model_->Press(oc::kOk);
  }
  // "1" for each usable control of ids, "0" for each greyed one.
  std::string Usable(std::initializer_list<std::uint32_t> ids) const {
    std::string usable;
    for (const std::uint32_t id : ids) usable += model_->Control(id).enabled ? '1' : '0';
    return usable;
  }

  OptionsServices services_;
  OptionsOpenFlag open_flag_;
  std::optional<OptionsModel> model_;
  std::vector<std::string> events_;
};

TEST_F(OptionsModelTest, ShowsEachSettingInItsControlsUnits) {
  const OptionsModel& model = Open();
  EXPECT_EQ(model.Control(oc::kManualTarget).text, "360");
  EXPECT_EQ(model.Control(oc::kTransparency).text, "71");
  EXPECT_EQ(model.Control(oc::kTargetText).text, "6 Hrs");
  EXPECT_EQ(model.Control(oc::kReminderText).entries,
            (std::vector<std::string>{"Stretch!", "Walk!"}));
}

TEST_F(OptionsModelTest, OkStoresEachBoxWithinItsLimits) {
  const struct {
    std::uint32_t id;
    const char* typed;
    std::uint32_t ProgramData::*setting;
    std::uint32_t stored;
  } cases[] = {
      {oc::kIntervalBox, "500", &ProgramData::break_interval, 7'200'000},
      {oc::kIntervalBox, "  20 min", &ProgramData::break_interval, 1'200'000},
      {oc::kTransparency, "0", &ProgramData::window_alpha, 255},
      {oc::kAwayTime, "0", &ProgramData::away_time, 60'000},
      {oc::kMaxBreakSeconds, "0", &ProgramData::max_break_seconds, 0},
      {oc::kMaxBreakSeconds, "99999999999", &ProgramData::max_break_seconds, 0xFFFFFFFF},
      {oc::kManualTarget, "450 Min (7.5 hrs)", &ProgramData::manual_target, 27'000'000},
      {oc::kManualTarget, "0", &ProgramData::manual_target, 0},
  };
  for (const auto& c : cases) {
    TypeAndApply(c.id, c.typed);
    EXPECT_EQ(data().*c.setting, c.stored) << c.id << " \"" << c.typed << '"';
  }
}

TEST_F(OptionsModelTest, LockNoteShowsOnlyWhereTheLockCannotHoldInput) {
  EXPECT_EQ(Open().Control(oc::kLockNote).text, "");
  services_.lock_can_hold_input = false;
  EXPECT_EQ(Open().Control(oc::kLockNote).text, kLockNoteText);
}

TEST_F(OptionsModelTest, OkCutsTextsToTheirFields) {
  Open().Select(oc::kReminderAction, 2);
  model_->SetText(oc::kReminderText, std::string(150, 'r'));
  model_->SetText(oc::kWorkNotes, std::string(300, 'n'));
  model_->SetText(oc::kReminderFile, std::string(700, 'f'));
  model_->Press(oc::kOk);
  EXPECT_EQ(FieldText(data().reminder_text), std::string(99, 'r'));
  EXPECT_EQ(FieldText(data().work_notes), std::string(255, 'n'));
  EXPECT_EQ(FieldText(data().reminder_file), std::string(599, 'f'));
}

TEST_F(OptionsModelTest, EnableRandomAndListsApplyAtOnceOtherSwitchesWaitForOk) {
  OptionsModel& model = Open();
  model.SetChecked(oc::kEnable, false);
  EXPECT_EQ(data().reminder_enabled, 0u);
  model.SetChecked(oc::kEnable, true);
  model.Select(oc::kMaxBreakAction, 3);
  model.Select(oc::kAwayToggle, 1);
  model.SetChecked(oc::kRandomPhrase, true);
  model.SetChecked(oc::kConfirmQuit, true);
  model.SetChecked(oc::kAutoStart, true);
  EXPECT_EQ(data().max_break_action, 3u);
  EXPECT_EQ(data().away_toggle_method, 1u);
  EXPECT_EQ(data().random_phrase, 1u);
  EXPECT_EQ(data().confirm_quit, 0u);
  EXPECT_EQ(Usable({oc::kAwayTime, oc::kReminderText}), "00");
  model.Press(oc::kOk);
  EXPECT_EQ(data().confirm_quit, 1u);
  EXPECT_EQ(data().auto_start, 1u);
  EXPECT_EQ(events_.front(), "autostart on");
}

TEST_F(OptionsModelTest, WithRemindersOffOnlyTheirSwitchesAndModeListsStayUsable) {
  OptionsModel& model = Open();
  model.Select(oc::kReminderAction, 2);
  model.Select(oc::kMicroBreakMode, 1);
  model.Select(oc::kMicroBreakAction, 2);
  model.Select(oc::kMaxBreakAction, 2);
  model.SetChecked(oc::kEnable, false);
  const std::set<std::uint32_t> usable = {oc::kEnable, oc::kRandomPhrase, oc::kMicroBreakMode,
                                          oc::kMaxBreakAction};
  for (const OptionsControlInfo& info : OptionsControls()) {
    const bool reminder_group = info.group == "Break Reminder" || info.group == "Micro Breaks" ||
                                info.group == "Maximum Break";
    const bool expected = !reminder_group || usable.count(info.id) == 1;
    EXPECT_EQ(model.Control(info.id).enabled, expected) << info.id;
  }
}

TEST_F(OptionsModelTest, EachActionEnablesTheControlsItUses) {
  // The reminder's file, picker and test, then its window's auto-continue and
  // snooze; the micro break's action, test and file; the maximum break's
  // seconds and file.
  const struct {
    std::uint32_t list;
    std::int32_t entry;
    const char* usable;
  } steps[] = {
      {oc::kReminderAction, 0, "00011 000 00"},   {oc::kReminderAction, 1, "00111 000 00"},
      {oc::kReminderAction, 2, "11111 000 00"},   {oc::kReminderAction, 3, "11111 000 00"},
      {oc::kReminderAction, 4, "00100 000 00"},   {oc::kReminderAction, 5, "11100 000 00"},
      {oc::kReminderAction, 6, "11100 000 00"},   {oc::kReminderAction, 7, "11111 000 00"},
      {oc::kReminderAction, 8, "11100 000 00"},   {oc::kMicroBreakMode, 1, "11100 110 00"},
      {oc::kMicroBreakAction, 3, "11100 111 00"}, {oc::kMaxBreakAction, 1, "11100 111 10"},
      {oc::kMaxBreakAction, 2, "11100 111 11"},
  };
  OptionsModel& model = Open();
  for (const auto& step : steps) {
    model.Select(step.list, step.entry);
    EXPECT_EQ(Usable({oc::kReminderFile, oc::kReminderFilePick, oc::kReminderTest, oc::kAutoCont,
                      oc::kSnooze}) +
                  " " + Usable({oc::kMicroBreakAction, oc::kMicroBreakTest, oc::kMicroBreakFile}) +
                  " " + Usable({oc::kMaxBreakSeconds, oc::kMaxBreakFile}),
              step.usable)
        << step.list << " " << step.entry;
  }
}

TEST_F(OptionsModelTest, SliderShowsItsPositionAndStoresTheIntervalWithinLimits) {
  OptionsModel& model = Open();
  model.MoveSlider(0);
  EXPECT_EQ(model.Control(oc::kIntervalBox).text, "0");
  EXPECT_EQ(data().break_interval, 300'000u);
  model.MoveSlider(500);  // past the end: the slider and its box stop at 120
  EXPECT_EQ(model.Control(oc::kIntervalSlider).position, 120u);
  EXPECT_EQ(model.Control(oc::kIntervalBox).text, "120");
  EXPECT_EQ(data().break_interval, 7'200'000u);
}

TEST_F(OptionsModelTest, RecalcTakesTheChosenTargetEntry) {
  OptionsModel& model = Open();
  model.Select(oc::kManualTarget, 0);  // "60 Min"
  EXPECT_EQ(data().manual_target, 21'600'000u);
  model.Press(oc::kRecalc);
  EXPECT_EQ(data().manual_target, 3'600'000u);
  EXPECT_EQ(model.Control(oc::kTargetText).text, "1 Hrs");
}

TEST_F(OptionsModelTest, NoTargetGreysTheTargetBoxWhichThenIgnoresInput) {
  OptionsModel& model = Open();
  model.Select(oc::kTargetMode, 0);
  EXPECT_EQ(data().target_mode, 0u);
  EXPECT_FALSE(model.Control(oc::kManualTarget).enabled);
  EXPECT_EQ(model.Control(oc::kTargetText).text, "No target");
  model.SetText(oc::kManualTarget, "100");
  EXPECT_EQ(model.Control(oc::kManualTarget).text, "360");
}

TEST_F(OptionsModelTest, TestButtonsPlayTheActionWithTheUnsavedPath) {
  OptionsModel& model = Open();
  model.Select(oc::kReminderAction, 6);
  model.SetText(oc::kReminderFile, "/sounds/gong.wav");
  model.Press(oc::kReminderTest);
  model.Select(oc::kMaxBreakAction, 2);
  model.SetText(oc::kMaxBreakFile, "/sounds/bell.wav");
  model.Press(oc::kMaxBreakTest);
  EXPECT_EQ(events_,
            (std::vector<std::string>{"play 6 /sounds/gong.wav", "play 2 /sounds/bell.wav"}));
  EXPECT_EQ(FieldText(data().reminder_file), "");
}

TEST(OptionsPicker, ButtonAndActionChooseThePicker) {
  using P = PathPicker;
  const struct {
    std::uint32_t button, action;
    PathPicker picker;
  } cases[] = {
      {oc::kReminderFilePick, 2, P::kAudioFile}, {oc::kReminderFilePick, 7, P::kAnyFile},
      {oc::kReminderFilePick, 8, P::kAnyFile},   {oc::kReminderFilePick, 3, P::kFolder},
      {oc::kReminderFilePick, 5, P::kFolder},    {oc::kMicroBreakFilePick, 2, P::kAudioFile},
      {oc::kMicroBreakFilePick, 3, P::kFolder}};
  for (const auto& c : cases) {
    EXPECT_EQ(PickerFor(c.button, c.action), c.picker) << c.button << " " << c.action;
  }
}

TEST_F(OptionsModelTest, PickerStopsTheSoundAndACancelKeepsThePath) {
  OptionsModel& model = Open();
  model.Select(oc::kReminderAction, 3);
  model.SetText(oc::kReminderFile, "/old");
  model.Press(oc::kReminderFilePick);
  EXPECT_EQ(model.Control(oc::kReminderFile).text, "/old");
  EXPECT_EQ(events_, (std::vector<std::string>{"stop", "pick 0 /old"}));
}

TEST_F(OptionsModelTest, ViewLogAndHelpOpenTheirFiles) {
  Open().Press(oc::kViewLog);
  model_->Press(oc::kHelp);
  EXPECT_EQ(events_, (std::vector<std::string>{"open /data/dLog.txt", "open /program/ReadMe.htm"}));
}

TEST_F(OptionsModelTest, GoRunsTheSelectedFunction) {
  OptionsModel& model = Open();
  model.Press(oc::kGo);  // "No Function"
  EXPECT_TRUE(events_.empty());
  EXPECT_TRUE(ui_.calls().empty());
  model.Select(oc::kFunction, 1);
  model.Press(oc::kGo);
  model.Press(oc::kGo);
  EXPECT_EQ(events_, (std::vector<std::string>{"log-totals", "log-totals"}));
}

// Each function asks first; only the first answer goes ahead. The clearing
// of each work type's fields is the accounting's own.
TEST_F(OptionsModelTest, ZeroWorkClearsTheWorkTypesAndZeroAllTheDayCountersToo) {
  const std::int32_t work = AddWorkType("Write", 7'200'000, 900, 5'400'000);
  data().work_today_ms = 5'400'000;
  data().break_total = 70;
  data().total_days = 4;
  services_.ask = {};  // the Ui port's question
  const struct {
    OptionsFunction function;
    int answer;
    std::uint32_t total, work_today_ms, break_total, total_days;
  } steps[] = {
      {OptionsFunction::kZeroAll, 2, 900, 5'400'000, 70, 4},
      {OptionsFunction::kZeroWork, 1, 0, 5'400'000, 70, 4},
      {OptionsFunction::kZeroAll, 1, 0, 0, 0, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(static_cast<int>(step.function) * 10 + step.answer);
    ui_.Clear();
    ui_.QueueAnswers({step.answer});
    Open().Select(oc::kFunction, static_cast<std::int32_t>(step.function));
    model_->Press(oc::kGo);
    EXPECT_EQ(Field(work, field::kTotal), step.total);
    EXPECT_EQ(data().work_today_ms, step.work_today_ms);
    EXPECT_EQ(data().break_total, step.break_total);
    EXPECT_EQ(data().total_days, step.total_days);
    EXPECT_EQ(ui_.CallsStartingWith("post ").size(), step.answer == 1 ? 1u : 0u);
  }
}

TEST_F(OptionsModelTest, OkAppliesSavesAndCloses) {
  OptionsModel& model = Open();
  EXPECT_TRUE(open_flag_.IsOpen());
  model.SetText(oc::kIntervalBox, "40");
  model.Press(oc::kOk);
  // The start-up entry is written or removed on every OK; the save sees the
  // applied values; the sound is stopped last.
  EXPECT_EQ(events_, (std::vector<std::string>{"autostart off", "save interval=2400000", "stop"}));
  EXPECT_TRUE(model.closed());
  EXPECT_FALSE(open_flag_.IsOpen());
  model.SetChecked(oc::kEnable, false);  // nothing happens after OK
  EXPECT_EQ(data().reminder_enabled, 1u);
}

TEST_F(OptionsModelTest, OkTellsTheUserWhenTheSaveFails) {
  services_.save_program_data = {};  // the real save
  files_.FailAccess("/data/dTolvi.dat");
  Open().Press(oc::kOk);
  EXPECT_EQ(ui_.CallsStartingWith("notice Tolvi cannot save its data file").size(), 1u);
}

TEST_F(OptionsModelTest, ClosingWithoutOkStillClearsTheOpenFlag) {
  Open();
  model_.reset();
  EXPECT_FALSE(open_flag_.IsOpen());
}

}  // namespace
}  // namespace tolvi
