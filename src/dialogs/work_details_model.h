// The work-type dialogs without a toolkit: "Work Details" (browse one work
// type at a time with its week and statistics; rename it, set its daily
// maximum and notes; delete, copy, add, select), "Select Work" (pick the
// current work type) and "Import Work from log file" (confirm the result of
// the log import during a data-file upgrade).
//
// Work Details and Select Work run while the monitor is parked on request
// 999, so nobody else touches the records; the models take the shared-state
// lock for each step anyway (the accounting functions expect it). What they
// leave for the monitor: the records as edited, CurrentName (Work Details'
// "Select") and RequestValue (Select Work), which requests 7 and 8 apply.
//
// The name list maps list positions to record ids explicitly, so a record
// database with holes between its live slots is still shown correctly.
// Deleting the last work type leaves an empty, disabled form; closing the
// dialog then adds a fresh "New Work" type so there is always one to book to.
//
// Ownership: the models borrow the CoreContext, which must outlive them.
// Threads: GUI thread only; never call with the state lock held.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui.h"
#include "state/core_context.h"

namespace tolvi {

// RequestValue as the dialogs read it.
inline constexpr std::int32_t kDialogModeSelectWork = -1;
inline constexpr std::int32_t kDialogModeNewWorkType = -2;
inline constexpr std::int32_t kDialogModeImport = -3;

// Control identifiers shared by the three dialogs.
namespace work_details_control {
inline constexpr std::uint32_t kOk = 1;
inline constexpr std::uint32_t kCancel = 2;
inline constexpr std::uint32_t kNotes = 1025;          // also the import text
inline constexpr std::uint32_t kFirstDayLabel = 1026;  // two days ago ... 1030 six days ago
inline constexpr std::uint32_t kLastDayLabel = 1030;
inline constexpr std::uint32_t kTotal = 1035;
inline constexpr std::uint32_t kToday = 1037;  // ... 1043 six days back
inline constexpr std::uint32_t kSixDaysBack = 1043;
inline constexpr std::uint32_t kAverage = 1045;
inline constexpr std::uint32_t kShare = 1046;
inline constexpr std::uint32_t kName = 1047;
inline constexpr std::uint32_t kMaximum = 1049;
inline constexpr std::uint32_t kNext = 1015;
inline constexpr std::uint32_t kPrevious = 1016;
inline constexpr std::uint32_t kDelete = 1050;
inline constexpr std::uint32_t kCopy = 1051;
inline constexpr std::uint32_t kNew = 1052;
inline constexpr std::uint32_t kSelect = 1053;
}  // namespace work_details_control

inline constexpr std::array<std::string_view, 7> kDayNames = {
    "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

inline constexpr std::string_view kWorkDetailsTitle = "Work Details";
inline constexpr std::string_view kSelectWorkTitle = "Select Work";
inline constexpr std::string_view kImportTitle = "Import Work from log file";

inline constexpr std::string_view kDeleteQuestion =
    "Delete this work type? This will reduce the total work recorded and cannot be undone.";
inline constexpr std::string_view kDeleteYes = "Yes, delete work type";
inline constexpr std::string_view kDeleteNo = "No, do not delete";

// Shown when the record database refuses a new or copied work type (a full
// disk, a file that cannot be replaced), followed by the reason.
inline constexpr std::string_view kWorkTypeRefusedNotice = "Tolvi cannot add a work type: ";

// At most this much of a name and of the notes is stored.
inline constexpr std::size_t kWorkNameMaxBytes = 59;
inline constexpr std::size_t kWorkNotesMaxBytes = 299;

struct WorkDetailsTooltip {
  std::uint32_t control;
  std::string_view text;
};
inline constexpr std::array<WorkDetailsTooltip, 8> kWorkDetailsTooltips = {{
    {work_details_control::kNext, "Show the next work type"},
    {work_details_control::kPrevious, "Show the previous work type"},
    {work_details_control::kName, "Name of the work type"},
    {work_details_control::kMaximum,
     "Daily maximum work in minutes that can be done for this work type"},
    {work_details_control::kDelete,
     "Delete this work type (This cannot be undone and might result in a reduced work total)"},
    {work_details_control::kCopy,
     "Create a new work type with the same details as this one (The data is not copied)"},
    {work_details_control::kNotes, "Notes about this data type"},
    {work_details_control::kSelect, "Select this work type as the current one"},
}};

// Labels 1026 (two days ago) to 1030 (six days ago) for today's day of the
// week (0 = Sunday).
std::array<std::string, 5> DayLabels(int today_day_of_week);

// What Work Details shows.
struct WorkDetailsView {
  std::vector<std::string> names;  // every work type, in record order
  std::int32_t shown = -1;         // list position of the shown work type; -1 none
  std::string name;                // the list's edit text
  std::string maximum;             // minutes
  std::string notes;
  std::array<std::string, 7> days;  // today, yesterday, two to six days back
  std::string total;
  std::string average;
  std::string share;
  std::array<std::string, 5> day_labels;
  bool can_previous = false;
  bool can_next = false;
};

class WorkDetailsModel {
 public:
  // dialog_mode: a record id to show, or kDialogModeNewWorkType to add a work
  // type and show it. An id that is not a live record shows the first one.
  // ask: the delete confirmation, owned by the dialog; empty: Ui::Ask.
  WorkDetailsModel(CoreContext& context, std::int32_t dialog_mode,
                   std::function<int(const Question&)> ask = {});
  WorkDetailsModel(const WorkDetailsModel&) = delete;
  WorkDetailsModel& operator=(const WorkDetailsModel&) = delete;

  [[nodiscard]] const WorkDetailsView& view() const { return view_; }
  // False when no work type is left: the form is empty and only "New",
  // "OK" and "Cancel" work.
  [[nodiscard]] bool has_record() const { return view_.shown >= 0; }
  [[nodiscard]] bool closed() const { return closed_; }
  // The record id shown, -1 when none.
  [[nodiscard]] std::int32_t shown_record() const;

  void SetName(std::string name);
  void SetMaximum(std::string minutes);
  void SetNotes(std::string notes);

  void SelectEntry(std::int32_t position);
  void Next();
  void Previous();
  void Delete();
  void Copy();
  void New();
  void Ok();
  void Select();
  void Cancel();

 private:
  void Refill();
  void Show(std::int32_t position);
  void ShowRecordId(std::int32_t record_id);
  void ShowNothing();
  void SaveShown();
  void Finish();
  // Runs add under the state lock; when it adds nothing (-1) the user is
  // told why.
  std::int32_t AddRecord(const std::function<std::int32_t(RecordDatabase&)>& add);

  CoreContext& context_;
  std::function<int(const Question&)> ask_;
  std::vector<std::int32_t> ids_;  // list position -> record id
  WorkDetailsView view_;
  bool closed_ = false;
};

// "Select Work": the names, the current work type selected.
class SelectWorkModel {
 public:
  explicit SelectWorkModel(CoreContext& context);
  SelectWorkModel(const SelectWorkModel&) = delete;
  SelectWorkModel& operator=(const SelectWorkModel&) = delete;

  [[nodiscard]] const std::vector<std::string>& names() const { return names_; }
  [[nodiscard]] std::int32_t selection() const { return selection_; }
  [[nodiscard]] bool closed() const { return closed_; }

  void SelectEntry(std::int32_t position);
  // Hands back the selected record id, or -1 when nothing is selected.
  void Ok();
  // Hands back -1: nothing chosen.
  void Cancel();

 private:
  void Leave(std::int32_t request_value);

  CoreContext& context_;
  std::vector<std::string> names_;
  std::vector<std::int32_t> ids_;
  std::int32_t selection_ = -1;
  bool closed_ = false;
};

// The log import's confirmation as the work log asks it (a question whose
// buttons are "OK, import work" and "Cancel and close"): its heading and the
// import text below it. nullopt for any other question.
struct ImportConfirmation {
  std::string heading;
  std::string text;
};
std::optional<ImportConfirmation> ImportConfirmationOf(const Question& question);

// Adds a "New Work" type when the database holds no live record, so the
// monitor always has a work type to book to. Fails when one was needed but
// could not be added. State lock held.
Status EnsureSomeWorkType(RecordDatabase& records);

}  // namespace tolvi
