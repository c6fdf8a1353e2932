// OptionsModel: everything the "Tolvi Options" dialog shows and does, without
// a toolkit. It describes every control (id, group, caption, tooltip, list
// entries, spin and slider ranges, text limits), holds the value each
// control shows, applies the enabling rules, and carries out what the user
// does: list and switch changes that take effect at once, the "Test" and
// "..." buttons, "View Log", "Help!", the "Function" list with "Go!", and
// "OK", which applies the rest in a fixed order, saves, asks for a refresh
// (command 2017) and closes. There is no way out but "OK".
//
// The front end shows the model, reports each user action through the
// mutators below and redraws every control afterwards (any action may
// change other controls: enabled flags, the target text, a picked path).
//
// Ownership: the model borrows the CoreContext and the OptionsOpenFlag,
// which must outlive it, and owns copies of the services.
// Threads: GUI thread only. The model takes the shared-state lock itself
// for each read or write of the settings and the records and never holds it
// while a service runs.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/number_box.h"
#include "platform/ui.h"
#include "settings/settings.h"
#include "state/core_context.h"

namespace tolvi {

// Control identifiers of the Options dialog.
namespace options_control {
inline constexpr std::uint32_t kOk = 1;
inline constexpr std::uint32_t kHelp = 5;
inline constexpr std::uint32_t kAutoStart = 701;
inline constexpr std::uint32_t kConfirmQuit = 702;
inline constexpr std::uint32_t kOnTopAlert = 703;
inline constexpr std::uint32_t kEnable = 1000;
inline constexpr std::uint32_t kResetMode = 1001;
inline constexpr std::uint32_t kIntervalSlider = 1002;
inline constexpr std::uint32_t kIntervalBox = 1003;
inline constexpr std::uint32_t kAwayToggle = 1005;
inline constexpr std::uint32_t kManualTarget = 1007;
inline constexpr std::uint32_t kAutoBegin = 1008;
inline constexpr std::uint32_t kAutoCont = 1009;
inline constexpr std::uint32_t kViewLog = 1010;
inline constexpr std::uint32_t kShowReport = 1011;
inline constexpr std::uint32_t kReminderFile = 1012;
inline constexpr std::uint32_t kAwayTime = 1013;
inline constexpr std::uint32_t kGo = 1016;
inline constexpr std::uint32_t kFileLog = 1017;
inline constexpr std::uint32_t kReminderFilePick = 1028;
inline constexpr std::uint32_t kReminderAction = 1029;
inline constexpr std::uint32_t kMicroBreakMode = 1030;
inline constexpr std::uint32_t kReminderText = 1031;
inline constexpr std::uint32_t kMicroBreakAction = 1032;
inline constexpr std::uint32_t kRandomPhrase = 1034;
inline constexpr std::uint32_t kLockScreen = 1035;
inline constexpr std::uint32_t kTargetMode = 1036;
inline constexpr std::uint32_t kTargetText = 1037;
inline constexpr std::uint32_t kRecalc = 1038;
inline constexpr std::uint32_t kWorkNotes = 1039;
inline constexpr std::uint32_t kMicroBreakFile = 1040;
inline constexpr std::uint32_t kMicroBreakFilePick = 1041;
inline constexpr std::uint32_t kMicroBreakTest = 1042;
inline constexpr std::uint32_t kTransparency = 1043;
inline constexpr std::uint32_t kDecimalHours = 1048;
inline constexpr std::uint32_t kLongMeeting = 1049;
inline constexpr std::uint32_t kAutoShow = 1050;
inline constexpr std::uint32_t kFunction = 1051;
inline constexpr std::uint32_t kMaxBreakSeconds = 1052;
inline constexpr std::uint32_t kMaxBreakAction = 1054;
inline constexpr std::uint32_t kMaxBreakTest = 1055;
inline constexpr std::uint32_t kMaxBreakFile = 1056;
inline constexpr std::uint32_t kMaxBreakFilePick = 1057;
inline constexpr std::uint32_t kLockNote = 1058;
inline constexpr std::uint32_t kReminderTest = 1100;
inline constexpr std::uint32_t kSnooze = 1101;
}  // namespace options_control

inline constexpr std::string_view kOptionsTitle = "Tolvi Options";

// The groups, in the order the dialog lays them out.
inline constexpr std::array<std::string_view, 10> kOptionsGroups = {
    "Work Logging", "Target",         "Work notes for today", "Misc",          "Transparency",
    "Function",     "Break Reminder", "Micro Breaks",         "Maximum Break", ""};

// The "Function" list.
enum class OptionsFunction : std::uint32_t { kNone, kLogTotals, kZeroWork, kZeroAll };
inline constexpr std::array<std::string_view, 4> kOptionsFunctions = {"No Function", "Log Totals",
                                                                      "Zero Work", "Zero All"};

// Shown beside "Lock Screen" where the lock cannot grab input (Wayland).
inline constexpr std::string_view kLockNoteText =
    "\"Lock Screen\" on this desktop covers the screens but cannot hold the keyboard.";
inline constexpr std::string_view kZeroQuestion =
    "This will clear all work running totals and cannot be undone.";
inline constexpr std::string_view kZeroYes = "Yes, clear all totals";
inline constexpr std::string_view kZeroNo = "No, don't do this";

// The pickers behind the "..." buttons.
enum class PathPicker {
  kFolder,     // "Choose Directory:"
  kAudioFile,  // "Audio Files", then "All Files"
  kAnyFile,    // "All Files" alone
};
inline constexpr std::string_view kFolderPickerTitle = "Choose Directory:";
inline constexpr std::string_view kFilePickerTitle = "Tolvi 1.91";
inline constexpr std::string_view kAudioFilterName = "Audio Files";
inline constexpr std::string_view kAudioFilterPattern = "*.mid;*.wav;*.mp3;*.rmi;*.aif;*.au;*.snd";
inline constexpr std::string_view kAllFilesFilterName = "All Files";
inline constexpr std::string_view kAllFilesFilterPattern = "*.*";
inline constexpr std::string_view kReadMeName = "ReadMe.htm";

enum class OptionsControlKind {
  kCheckBox,
  kNumberBox,  // text read as a leading unsigned number; spin arrows when ranged
  kSlider,
  kList,          // pick one entry
  kEditableList,  // free text with offered entries
  kEdit,
  kButton,
  kText,  // shows a text, not editable
};

struct OptionsControlInfo {
  std::uint32_t id = 0;
  OptionsControlKind kind = OptionsControlKind::kCheckBox;
  std::string_view group;
  std::string_view caption;  // a check box's or button's own text, else its label
  std::string_view tooltip;  // empty: none
  // Spin arrows (number boxes) and slider: the range they move in. A box
  // without arrows has both 0.
  std::uint32_t range_minimum = 0;
  std::uint32_t range_maximum = 0;
  std::uint32_t tick_interval = 0;  // slider only
  std::size_t max_bytes = 0;        // texts: the most that is stored
  bool multi_line = false;
  const SettingInfo* setting = nullptr;  // the setting it edits, if any
};

// Every control, group by group in kOptionsGroups order. Immutable.
std::span<const OptionsControlInfo> OptionsControls();
// nullptr for an unknown id.
const OptionsControlInfo* FindOptionsControl(std::uint32_t id);

// The enabling rules, from the settings as they stand.
bool OptionsControlEnabled(std::uint32_t id, const ProgramData& data);
// The picker a "..." button uses for the action chosen for it.
PathPicker PickerFor(std::uint32_t pick_button, std::uint32_t action);

// Whether the Options dialog is open; the main window opens it only when it
// is not. GUI thread only.
class OptionsOpenFlag {
 public:
  [[nodiscard]] bool IsOpen() const { return open_; }

 private:
  friend class OptionsModel;
  bool open_ = false;
};

// What the dialog needs from outside. Empty members do nothing, except
// where a fallback is named.
struct OptionsServices {
  // Plays an alert action. Fallback: PlayReminderSound through the ports.
  std::function<void(std::uint32_t kind, const std::string& path)> play_reminder_sound;
  // Stops a sound that is playing. Fallback: Ui::StopSound.
  std::function<void()> stop_sound;
  // Shows a picker starting at the path; nullopt when cancelled.
  std::function<std::optional<std::string>(PathPicker picker, const std::string& start)>
      choose_path;
  // Opens a file with its default application. Fallback: Ui::OpenWithDefaultApp.
  std::function<void(const std::filesystem::path& file)> open_file;
  // A two-button question owned by the dialog. Fallback: Ui::Ask.
  std::function<int(const Question& question)> ask;
  // Writes the "Work Summary" block to the work log. Fallback: LogTotals.
  std::function<void(CoreContext& context)> log_totals;
  // Writes (true) or removes (false) the entry that starts the program at
  // log-on. Failures are ignored.
  std::function<void(bool enabled)> set_autostart;
  // Saves the program data file. Fallback: SaveProgramFiles.
  std::function<void()> save_program_data;
  // A platform fact: whether "Lock Screen" can grab the keyboard and the
  // pointer here; when not, the note beside it says so.
  bool lock_can_hold_input = true;
};

struct OptionsControlState {
  bool checked = false;
  std::int32_t selection = -1;  // lists; -1 none
  std::uint32_t position = 0;   // slider
  std::string text;             // number boxes, edits, editable lists, texts
  std::vector<std::string> entries;
  bool enabled = true;
};

class OptionsModel {
 public:
  // Fills every control from the settings and marks the dialog open.
  OptionsModel(CoreContext& context, OptionsServices services, std::vector<std::string> phrases,
               OptionsOpenFlag& open_flag);
  ~OptionsModel();
  OptionsModel(const OptionsModel&) = delete;
  OptionsModel& operator=(const OptionsModel&) = delete;

  // The state of a control; a default state for unknown ids.
  [[nodiscard]] const OptionsControlState& Control(std::uint32_t id) const;
  // True once "OK" has closed the dialog.
  [[nodiscard]] bool closed() const { return closed_; }

  // User actions. Actions on unknown or disabled controls, or after "OK",
  // do nothing.
  void SetChecked(std::uint32_t id, bool checked);
  void Select(std::uint32_t id, std::int32_t index);
  void SetText(std::uint32_t id, std::string text);
  void MoveSlider(std::uint32_t position);
  void Press(std::uint32_t id);

 private:
  [[nodiscard]] bool Usable(std::uint32_t id) const;
  void Fill();
  void UpdateEnabling();
  void ApplyImmediate(std::uint32_t id);
  void TestSound(std::uint32_t test_button);
  void PickPath(std::uint32_t pick_button);
  void RunFunction();
  void ZeroTotals(bool zero_all);
  void ApplySettingsFromDialog();
  void Close();
  void StopSound();
  void OpenFile(const std::filesystem::path& file);

  CoreContext& context_;
  OptionsServices services_;
  OptionsOpenFlag& open_flag_;
  std::map<std::uint32_t, OptionsControlState> controls_;
  bool closed_ = false;
};

}  // namespace tolvi
