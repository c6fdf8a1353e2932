#include "dialogs/options_model.h"

#include <algorithm>
#include <limits>

#include "accounting/targets.h"
#include "accounting/work_types.h"
#include "engine/program_files.h"
#include "reminders/reminder_sound.h"
#include "state/command_ids.h"
#include "state/write_failures.h"
#include "text/text.h"
#include "worklog/log_totals.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

namespace oc = options_control;
using Kind = OptionsControlKind;

constexpr std::uint32_t kSpinMaximum = 100;
constexpr std::uint32_t kSliderMaximum = 120;
constexpr std::uint32_t kSliderTicks = 15;

// The largest text a fixed field of the setting holds.
std::size_t TextLimit(const SettingInfo& setting) {
  static const ProgramData probe{};
  return setting.text.const_field(probe).size() - 1;
}

OptionsControlInfo Linked(std::uint32_t id, Kind kind, SettingId setting_id) {
  const SettingInfo& setting = Setting(setting_id);
  OptionsControlInfo info;
  info.id = id;
  info.kind = kind;
  info.group = setting.group;
  info.caption = setting.caption;
  info.tooltip = setting.tooltip;
  info.setting = &setting;
  if (setting.kind == SettingKind::kText) info.max_bytes = TextLimit(setting);
  return info;
}

OptionsControlInfo WithRange(OptionsControlInfo info, std::uint32_t maximum,
                             std::uint32_t ticks = 0) {
  info.range_minimum = 0;
  info.range_maximum = maximum;
  info.tick_interval = ticks;
  return info;
}

OptionsControlInfo Plain(std::uint32_t id, Kind kind, std::string_view group,
                         std::string_view caption, std::string_view tooltip) {
  OptionsControlInfo info;
  info.id = id;
  info.kind = kind;
  info.group = group;
  info.caption = caption;
  info.tooltip = tooltip;
  return info;
}

constexpr std::string_view kTestTooltip = "Test Break reminder sound";
constexpr std::string_view kPickTooltip = "Change reminder file/folder";

std::vector<OptionsControlInfo> BuildControls() {
  return {
      // Work Logging
      Linked(oc::kAwayToggle, Kind::kList, SettingId::kAwayToggleMethod),
      WithRange(Linked(oc::kAwayTime, Kind::kNumberBox, SettingId::kAwayTime), kSpinMaximum),
      Linked(oc::kFileLog, Kind::kCheckBox, SettingId::kFileLog),
      Linked(oc::kShowReport, Kind::kCheckBox, SettingId::kShowReport),
      Plain(oc::kViewLog, Kind::kButton, "Work Logging", "View Log", "Show the work log"),
      // Target
      Linked(oc::kTargetMode, Kind::kList, SettingId::kTargetMode),
      Linked(oc::kManualTarget, Kind::kEditableList, SettingId::kManualTarget),
      Plain(oc::kRecalc, Kind::kButton, "Target", "Re-Calc", "Re-calculate targets"),
      Plain(oc::kTargetText, Kind::kText, "Target", "", ""),
      // Work notes for today
      Linked(oc::kWorkNotes, Kind::kEdit, SettingId::kWorkNotes),
      // Misc
      Linked(oc::kConfirmQuit, Kind::kCheckBox, SettingId::kConfirmQuit),
      Linked(oc::kAutoStart, Kind::kCheckBox, SettingId::kAutoStart),
      Linked(oc::kDecimalHours, Kind::kCheckBox, SettingId::kDecimalHours),
      Linked(oc::kOnTopAlert, Kind::kCheckBox, SettingId::kOnTopAlert),
      Linked(oc::kLockScreen, Kind::kCheckBox, SettingId::kLockScreen),
      Plain(oc::kLockNote, Kind::kText, "Misc", "", ""),
      Linked(oc::kLongMeeting, Kind::kCheckBox, SettingId::kLongMeeting),
      Linked(oc::kAutoShow, Kind::kCheckBox, SettingId::kAutoShow),
      // Transparency
      WithRange(Linked(oc::kTransparency, Kind::kNumberBox, SettingId::kWindowAlpha), kSpinMaximum),
      // Function
      Plain(oc::kFunction, Kind::kList, "Function", "", "Specialised Tolvi functions"),
      Plain(oc::kGo, Kind::kButton, "Function", "Go!", "Run the selected function"),
      // Break Reminder
      Linked(oc::kEnable, Kind::kCheckBox, SettingId::kReminderEnabled),
      WithRange(Linked(oc::kIntervalSlider, Kind::kSlider, SettingId::kBreakInterval),
                kSliderMaximum, kSliderTicks),
      Linked(oc::kIntervalBox, Kind::kNumberBox, SettingId::kBreakInterval),
      Linked(oc::kReminderAction, Kind::kList, SettingId::kReminderAction),
      Plain(oc::kReminderTest, Kind::kButton, "Break Reminder", "Test", kTestTooltip),
      Linked(oc::kReminderFile, Kind::kEdit, SettingId::kReminderFile),
      Plain(oc::kReminderFilePick, Kind::kButton, "Break Reminder", "...", kPickTooltip),
      Linked(oc::kReminderText, Kind::kEditableList, SettingId::kReminderText),
      Linked(oc::kRandomPhrase, Kind::kCheckBox, SettingId::kRandomPhrase),
      Linked(oc::kResetMode, Kind::kList, SettingId::kResetMode),
      WithRange(Linked(oc::kSnooze, Kind::kNumberBox, SettingId::kSnoozeTime), kSpinMaximum),
      Linked(oc::kAutoCont, Kind::kCheckBox, SettingId::kAutoCont),
      Linked(oc::kAutoBegin, Kind::kCheckBox, SettingId::kAutoBegin),
      // Micro Breaks
      Linked(oc::kMicroBreakMode, Kind::kList, SettingId::kMicroBreakMode),
      Linked(oc::kMicroBreakAction, Kind::kList, SettingId::kMicroBreakAction),
      Plain(oc::kMicroBreakTest, Kind::kButton, "Micro Breaks", "Test", kTestTooltip),
      Linked(oc::kMicroBreakFile, Kind::kEdit, SettingId::kMicroBreakFile),
      Plain(oc::kMicroBreakFilePick, Kind::kButton, "Micro Breaks", "...", kPickTooltip),
      // Maximum Break
      Linked(oc::kMaxBreakAction, Kind::kList, SettingId::kMaxBreakAction),
      WithRange(Linked(oc::kMaxBreakSeconds, Kind::kNumberBox, SettingId::kMaxBreakSeconds),
                kSpinMaximum),
      Plain(oc::kMaxBreakTest, Kind::kButton, "Maximum Break", "Test", kTestTooltip),
      Linked(oc::kMaxBreakFile, Kind::kEdit, SettingId::kMaxBreakFile),
      Plain(oc::kMaxBreakFilePick, Kind::kButton, "Maximum Break", "...", kPickTooltip),
      // The bottom row
      Plain(oc::kHelp, Kind::kButton, "", "Help!", "Shows the ReadMe"),
      Plain(oc::kOk, Kind::kButton, "", "OK", ""),
  };
}

// "OK" applies the controls of a setting by their kind: the switches, lists
// and texts first, then (after the start-up entry is written) the numbers.
enum class ApplyPhase { kNone, kSwitches, kChoices, kTexts, kNumbers };

ApplyPhase PhaseOf(const OptionsControlInfo& info) {
  if (info.setting == nullptr) return ApplyPhase::kNone;
  switch (info.kind) {
    case Kind::kCheckBox:
      return ApplyPhase::kSwitches;
    case Kind::kList:
      return ApplyPhase::kChoices;
    case Kind::kEdit:
      return ApplyPhase::kTexts;
    case Kind::kEditableList:
      return info.setting->kind == SettingKind::kText ? ApplyPhase::kTexts : ApplyPhase::kNumbers;
    case Kind::kNumberBox:
      return ApplyPhase::kNumbers;
    default:
      return ApplyPhase::kNone;  // the slider follows its number box
  }
}

bool IsAnyOf(std::uint32_t value, std::initializer_list<std::uint32_t> set) {
  return std::find(set.begin(), set.end(), value) != set.end();
}

// The micro and maximum break actions that play a file or a folder's file.
bool UsesAlertFile(std::uint32_t action) {
  return action == Stored(MicroBreakAction::kSoundFileAndWindow) ||
         action == Stored(MicroBreakAction::kRandomFileAndWindow);
}

// The stored value of a number box's setting, limited as the dialog limits it.
std::uint32_t StoredFromBox(const SettingInfo& setting, std::uint32_t shown) {
  switch (setting.kind) {
    case SettingKind::kMilliseconds:
      return ApplyOptionsLimits(setting, MinutesToMs(shown));
    case SettingKind::kOpacity:
      return ApplyOptionsLimits(setting, WindowAlphaFromPercent(shown));
    default:
      return ApplyOptionsLimits(setting, shown);
  }
}

// What a number box shows for its setting.
std::string ShownInBox(const SettingInfo& setting, const ProgramData& data) {
  const std::uint32_t stored = SettingNumber(setting, data);
  switch (setting.kind) {
    case SettingKind::kMilliseconds:
      return std::to_string(MinutesShown(stored));
    case SettingKind::kOpacity:
      return std::to_string(TransparencyPercentShown(stored));
    default:
      return std::to_string(stored);
  }
}

void ApplyControls(ApplyPhase phase, const std::map<std::uint32_t, OptionsControlState>& controls,
                   ProgramData& data) {
  for (const OptionsControlInfo& info : OptionsControls()) {
    if (PhaseOf(info) != phase) continue;
    const SettingInfo& setting = *info.setting;
    const OptionsControlState& state = controls.at(info.id);
    switch (phase) {
      case ApplyPhase::kSwitches:
        data.*setting.number = StoredSwitch(state.checked);
        break;
      case ApplyPhase::kChoices:
        if (state.selection >= 0)
          data.*setting.number = static_cast<std::uint32_t>(state.selection);
        break;
      case ApplyPhase::kTexts:
        SetFieldText(setting.text.field(data), state.text);
        break;
      case ApplyPhase::kNumbers:
        data.*setting.number = StoredFromBox(setting, ReadNumberBox(state.text));
        break;
      case ApplyPhase::kNone:
        break;
    }
  }
}

std::vector<std::string> Entries(std::span<const std::string_view> list) {
  return {list.begin(), list.end()};
}

std::int32_t SelectionOf(std::uint32_t value, std::size_t entry_count) {
  return value < entry_count ? static_cast<std::int32_t>(value) : -1;
}

// The test button, edit and action setting of each sound row.
struct SoundRow {
  std::uint32_t test;
  std::uint32_t pick;
  std::uint32_t edit;
  std::uint32_t ProgramData::*action;
};
constexpr SoundRow kSoundRows[] = {
    {oc::kReminderTest, oc::kReminderFilePick, oc::kReminderFile, &ProgramData::reminder_action},
    {oc::kMicroBreakTest, oc::kMicroBreakFilePick, oc::kMicroBreakFile,
     &ProgramData::micro_break_action},
    {oc::kMaxBreakTest, oc::kMaxBreakFilePick, oc::kMaxBreakFile, &ProgramData::max_break_action},
};

const SoundRow* SoundRowOf(std::uint32_t button) {
  for (const SoundRow& row : kSoundRows) {
    if (row.test == button || row.pick == button) return &row;
  }
  return nullptr;
}

}  // namespace

std::span<const OptionsControlInfo> OptionsControls() {
  static const std::vector<OptionsControlInfo> controls = BuildControls();
  return controls;
}

const OptionsControlInfo* FindOptionsControl(std::uint32_t id) {
  for (const OptionsControlInfo& info : OptionsControls()) {
    if (info.id == id) return &info;
  }
  return nullptr;
}

bool OptionsControlEnabled(std::uint32_t id, const ProgramData& data) {
  const bool enabled = IsOn(data.reminder_enabled);
  const ReminderAction action = ReminderActionOf(data);
  const bool micro_breaks = MicroBreakModeOf(data) != MicroBreakMode::kNone;
  const bool max_break = MaxBreakActionOf(data) != MaxBreakAction::kOff;
  switch (id) {
    case oc::kManualTarget:
      return TargetModeOf(data) != TargetMode::kNoTarget;
    case oc::kAwayTime:
      return MonitorsActivity(data);
    case oc::kResetMode:
    case oc::kIntervalSlider:
    case oc::kIntervalBox:
    case oc::kAutoBegin:
    case oc::kReminderAction:
      return enabled;
    case oc::kReminderFile:
    case oc::kReminderFilePick:
      return enabled && UsesReminderFile(action);
    case oc::kReminderTest:
      return enabled && action != ReminderAction::kNotificationWindow;
    case oc::kAutoCont:
    case oc::kSnooze:
      return enabled && ShowsReminderWindow(action);
    case oc::kReminderText:
      return enabled && !IsOn(data.random_phrase);
    case oc::kMicroBreakAction:
    case oc::kMicroBreakTest:
      return enabled && micro_breaks;
    case oc::kMicroBreakFile:
    case oc::kMicroBreakFilePick:
      return enabled && micro_breaks && UsesAlertFile(data.micro_break_action);
    case oc::kMaxBreakSeconds:
    case oc::kMaxBreakTest:
      return enabled && max_break;
    case oc::kMaxBreakFile:
    case oc::kMaxBreakFilePick:
      return enabled && UsesAlertFile(data.max_break_action);
    default:
      return true;
  }
}

PathPicker PickerFor(std::uint32_t pick_button, std::uint32_t action) {
  if (pick_button == oc::kReminderFilePick) {
    switch (static_cast<ReminderAction>(action)) {
      case ReminderAction::kWindowAndSoundFile:
      case ReminderAction::kSoundFile:
        return PathPicker::kAudioFile;
      case ReminderAction::kWindowAndFile:
      case ReminderAction::kFile:
        return PathPicker::kAnyFile;
      default:
        return PathPicker::kFolder;
    }
  }
  return action == Stored(MicroBreakAction::kSoundFileAndWindow) ? PathPicker::kAudioFile
                                                                 : PathPicker::kFolder;
}

OptionsModel::OptionsModel(CoreContext& context, OptionsServices services,
                           std::vector<std::string> phrases, OptionsOpenFlag& open_flag)
    : context_(context), services_(std::move(services)), open_flag_(open_flag) {
  open_flag_.open_ = true;
  for (const OptionsControlInfo& info : OptionsControls()) controls_[info.id] = {};
  controls_[oc::kReminderText].entries = std::move(phrases);
  Fill();
  UpdateEnabling();
}

OptionsModel::~OptionsModel() {
  if (!closed_) open_flag_.open_ = false;
}

const OptionsControlState& OptionsModel::Control(std::uint32_t id) const {
  static const OptionsControlState kNoControl{};
  const auto found = controls_.find(id);
  return found == controls_.end() ? kNoControl : found->second;
}

bool OptionsModel::Usable(std::uint32_t id) const {
  const auto found = controls_.find(id);
  return !closed_ && found != controls_.end() && found->second.enabled;
}

void OptionsModel::Fill() {
  const StateLock lock(context_.state.mutex);
  const ProgramData& data = context_.state.data;
  for (const OptionsControlInfo& info : OptionsControls()) {
    OptionsControlState& state = controls_[info.id];
    if (info.setting == nullptr) continue;
    const SettingInfo& setting = *info.setting;
    switch (info.kind) {
      case Kind::kCheckBox:
        state.checked = IsOn(SettingNumber(setting, data));
        break;
      case Kind::kNumberBox:
        state.text = ShownInBox(setting, data);
        break;
      case Kind::kSlider:
        state.position = MinutesShown(SettingNumber(setting, data));
        break;
      case Kind::kList:
        state.entries = Entries(setting.list);
        state.selection = SelectionOf(SettingNumber(setting, data), setting.list.size());
        break;
      case Kind::kEditableList:
        if (setting.kind == SettingKind::kText) {
          state.text = SettingText(setting, data);
        } else {
          state.entries = Entries(setting.list);
          state.text = ShownInBox(setting, data);
        }
        break;
      case Kind::kEdit:
        state.text = SettingText(setting, data);
        break;
      case Kind::kButton:
      case Kind::kText:
        break;
    }
  }
  OptionsControlState& function = controls_[oc::kFunction];
  function.entries = Entries(kOptionsFunctions);
  function.selection = 0;
  if (!services_.lock_can_hold_input) controls_[oc::kLockNote].text = kLockNoteText;
}

void OptionsModel::UpdateEnabling() {
  const StateLock lock(context_.state.mutex);
  for (auto& [id, state] : controls_)
    state.enabled = OptionsControlEnabled(id, context_.state.data);
  UpdateTarget(context_.state, context_.records);
  controls_[oc::kTargetText].text = context_.state.activity.target_text;
}

void OptionsModel::SetChecked(std::uint32_t id, bool checked) {
  if (!Usable(id) || FindOptionsControl(id)->kind != Kind::kCheckBox) return;
  controls_[id].checked = checked;
  if (id == oc::kEnable || id == oc::kRandomPhrase) ApplyImmediate(id);
}

void OptionsModel::Select(std::uint32_t id, std::int32_t index) {
  if (!Usable(id)) return;
  const Kind kind = FindOptionsControl(id)->kind;
  OptionsControlState& state = controls_[id];
  if (kind != Kind::kList && kind != Kind::kEditableList) return;
  if (index < 0 || static_cast<std::size_t>(index) >= state.entries.size()) return;
  state.selection = index;
  if (kind == Kind::kEditableList) {
    state.text = state.entries[static_cast<std::size_t>(index)];
    return;
  }
  if (IsAnyOf(id, {oc::kAwayToggle, oc::kReminderAction, oc::kMicroBreakMode, oc::kMicroBreakAction,
                   oc::kMaxBreakAction, oc::kTargetMode})) {
    ApplyImmediate(id);
  }
}

void OptionsModel::SetText(std::uint32_t id, std::string text) {
  if (!Usable(id)) return;
  const OptionsControlInfo& info = *FindOptionsControl(id);
  if (info.kind != Kind::kNumberBox && info.kind != Kind::kEdit &&
      info.kind != Kind::kEditableList) {
    return;
  }
  OptionsControlState& state = controls_[id];
  state.text = std::move(text);
  if (info.kind == Kind::kEditableList) state.selection = -1;
}

void OptionsModel::MoveSlider(std::uint32_t position) {
  if (!Usable(oc::kIntervalSlider)) return;
  position = std::min(position, kSliderMaximum);
  controls_[oc::kIntervalSlider].position = position;
  controls_[oc::kIntervalBox].text = std::to_string(position);
  // The box may show 0 while the slider is dragged, but the monitor reads
  // the interval live, so what is stored keeps to the dialog's limits.
  const StateLock lock(context_.state.mutex);
  const SettingInfo& interval = Setting(SettingId::kBreakInterval);
  context_.state.data.break_interval = StoredFromBox(interval, position);
}

void OptionsModel::Press(std::uint32_t id) {
  if (!Usable(id) || FindOptionsControl(id)->kind != Kind::kButton) return;
  switch (id) {
    case oc::kOk:
      ApplySettingsFromDialog();
      if (services_.save_program_data) {
        services_.save_program_data();
      } else {
        SaveProgramFilesOrTell(context_);
      }
      {
        const StateLock lock(context_.state.mutex);
        context_.state.activity.tray_refresh_pending = true;
      }
      // The monitor rebuilds the totals, the day's list and the target
      // with the new settings (request 6).
      context_.ui.PostCommand(command::kRefresh);
      StopSound();
      Close();
      return;
    case oc::kHelp:
      OpenFile(context_.program_directory / kReadMeName);
      return;
    case oc::kViewLog:
      OpenFile(context_.DataFile(kWorkLogFileName));
      return;
    case oc::kRecalc:
      ApplyImmediate(oc::kRecalc);
      return;
    case oc::kGo:
      RunFunction();
      return;
    case oc::kReminderTest:
    case oc::kMicroBreakTest:
    case oc::kMaxBreakTest:
      TestSound(id);
      return;
    default:
      PickPath(id);
      return;
  }
}

void OptionsModel::ApplyImmediate(std::uint32_t id) {
  {
    const StateLock lock(context_.state.mutex);
    ProgramData& data = context_.state.data;
    switch (id) {
      case oc::kEnable:
        data.reminder_enabled = StoredSwitch(controls_[id].checked);
        break;
      case oc::kRandomPhrase:
        data.random_phrase = StoredSwitch(controls_[id].checked);
        break;
      case oc::kTargetMode:
      case oc::kRecalc: {
        const std::int32_t mode = controls_[oc::kTargetMode].selection;
        if (mode >= 0) data.target_mode = static_cast<std::uint32_t>(mode);
        data.manual_target = MinutesToMs(ReadNumberBox(controls_[oc::kManualTarget].text));
        break;
      }
      default:
        data.*(FindOptionsControl(id)->setting->number) =
            static_cast<std::uint32_t>(controls_[id].selection);
        break;
    }
  }
  UpdateEnabling();
}

void OptionsModel::TestSound(std::uint32_t test_button) {
  const SoundRow& row = *SoundRowOf(test_button);
  std::uint32_t action = 0;
  {
    const StateLock lock(context_.state.mutex);
    action = context_.state.data.*row.action;
  }
  const std::string& path = controls_[row.edit].text;
  if (services_.play_reminder_sound) {
    services_.play_reminder_sound(action, path);
    return;
  }
  const RandomDraw draw = [this](std::uint32_t n) { return context_.random.Draw(n); };
  PlayReminderSound(context_.ui, context_.files, draw, action, path);
}

void OptionsModel::PickPath(std::uint32_t pick_button) {
  const SoundRow* row = SoundRowOf(pick_button);
  if (row == nullptr) return;
  StopSound();
  std::uint32_t action = 0;
  {
    const StateLock lock(context_.state.mutex);
    action = context_.state.data.*row->action;
  }
  if (!services_.choose_path) return;
  const std::optional<std::string> chosen =
      services_.choose_path(PickerFor(pick_button, action), controls_[row->edit].text);
  if (chosen) controls_[row->edit].text = *chosen;
}

void OptionsModel::RunFunction() {
  switch (static_cast<OptionsFunction>(controls_[oc::kFunction].selection)) {
    case OptionsFunction::kLogTotals:
      if (services_.log_totals) {
        services_.log_totals(context_);
      } else {
        LogTotals(context_);
      }
      return;
    case OptionsFunction::kZeroWork:
      ZeroTotals(/*zero_all=*/false);
      return;
    case OptionsFunction::kZeroAll:
      ZeroTotals(/*zero_all=*/true);
      return;
    case OptionsFunction::kNone:
    default:
      return;
  }
}

void OptionsModel::ZeroTotals(bool zero_all) {
  const Question question{.message = std::string(kZeroQuestion),
                          .first_button = std::string(kZeroYes),
                          .second_button = std::string(kZeroNo),
                          .font = QuestionFont::kSmall};
  const int answer = services_.ask ? services_.ask(question) : context_.ui.Ask(question);
  if (answer != 1) return;
  {
    const StateLock lock(context_.state.mutex);
    ReportRecordWrite(context_, ZeroWorkTypes(context_.state, context_.records));
    if (zero_all) {
      ProgramData& data = context_.state.data;
      data.work_today_ms = 0;
      data.break_today_ms = 0;
      data.away_today_ms = 0;
      data.work_yesterday_ms = 0;
      data.away_yesterday_ms = 0;
      data.away_total = 0;
      data.break_yesterday_ms = 0;
      data.break_total = 0;
      data.total_days = 0;
    }
  }
  context_.ui.PostCommand(command::kRefresh);
}

void OptionsModel::ApplySettingsFromDialog() {
  bool auto_start = false;
  {
    const StateLock lock(context_.state.mutex);
    ProgramData& data = context_.state.data;
    for (const ApplyPhase phase :
         {ApplyPhase::kSwitches, ApplyPhase::kChoices, ApplyPhase::kTexts}) {
      ApplyControls(phase, controls_, data);
    }
    auto_start = IsOn(data.auto_start);
  }
  // Written or removed on every "OK", whether or not the box changed.
  if (services_.set_autostart) services_.set_autostart(auto_start);
  {
    const StateLock lock(context_.state.mutex);
    ProgramData& data = context_.state.data;
    ApplyControls(ApplyPhase::kNumbers, controls_, data);
    UpdateTarget(context_.state, context_.records);
    controls_[oc::kTargetText].text = context_.state.activity.target_text;
  }
}

void OptionsModel::Close() {
  closed_ = true;
  open_flag_.open_ = false;
}

void OptionsModel::StopSound() {
  if (services_.stop_sound) {
    services_.stop_sound();
  } else {
    context_.ui.StopSound();
  }
}

void OptionsModel::OpenFile(const std::filesystem::path& file) {
  if (services_.open_file) {
    services_.open_file(file);
  } else {
    context_.ui.OpenWithDefaultApp(file);
  }
}

}  // namespace tolvi
