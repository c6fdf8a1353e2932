#include "dialogs/work_details_model.h"

#include <algorithm>

#include "accounting/statistics.h"
#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "dialogs/number_box.h"
#include "settings/settings.h"
#include "state/write_failures.h"
#include "text/text.h"
#include "worklog/log_import.h"

namespace tolvi {
namespace {

namespace field = work_type_field;

constexpr std::uint32_t kMsDivisor = 36'000;  // FormatHours of milliseconds
constexpr std::uint32_t kTenthsDivisor = 6;   // FormatHours of tenths of a minute
constexpr int kDaysPerWeek = 7;
constexpr int kTwoDaysAgoOffset = 5;  // two days ago = today + 5 (mod 7)

struct NameList {
  std::vector<std::int32_t> ids;
  std::vector<std::string> names;
};

NameList ReadNames(const RecordDatabase& records) {
  NameList list;
  list.ids = records.LiveRecords();
  list.names.reserve(list.ids.size());
  for (const std::int32_t id : list.ids) {
    list.names.push_back(records.ReadText(id, field::kName).value_or(std::string()));
  }
  return list;
}

std::int32_t PositionOf(const std::vector<std::int32_t>& ids, std::int32_t record_id) {
  const auto found = std::find(ids.begin(), ids.end(), record_id);
  return found == ids.end() ? -1 : static_cast<std::int32_t>(found - ids.begin());
}

std::uint32_t MaximumFromBox(const std::string& minutes) {
  return MinutesToMs(ReadNumberBox(minutes));
}

}  // namespace

std::array<std::string, 5> DayLabels(int today_day_of_week) {
  const int today = ((today_day_of_week % kDaysPerWeek) + kDaysPerWeek) % kDaysPerWeek;
  std::array<std::string, 5> labels;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const int day = (today + kTwoDaysAgoOffset - static_cast<int>(i)) % kDaysPerWeek;
    labels[i] = std::string(kDayNames[static_cast<std::size_t>(day)]);
  }
  return labels;
}

std::optional<ImportConfirmation> ImportConfirmationOf(const Question& question) {
  if (question.first_button != kImportConfirm || question.second_button != kImportCancel) {
    return std::nullopt;
  }
  constexpr std::string_view kParagraph = "\r\n\r\n";
  const std::string_view message = question.message;
  if (!message.starts_with(kImportHeading)) return ImportConfirmation{{}, question.message};
  std::string_view text = message.substr(kImportHeading.size());
  if (text.starts_with(kParagraph)) text.remove_prefix(kParagraph.size());
  return ImportConfirmation{std::string(kImportHeading), std::string(text)};
}

Status EnsureSomeWorkType(RecordDatabase& records) {
  if (records.live_count() != 0) return Status::Ok();
  if (NewWorkType(records) >= 0) return Status::Ok();
  const Status why = records.last_error();
  return why.ok() ? Status::IoError("the new work type could not be written") : why;
}

namespace {

// Tells the user when the last work type is gone and none could be added.
void EnsureSomeWorkType(CoreContext& context) {
  if (Status ensured = EnsureSomeWorkType(context.records); !ensured.ok()) {
    context.ui.Notify(std::string(kWorkTypeRefusedNotice) + ensured.message());
  }
}

}  // namespace

// ---- Work Details -----------------------------------------------------------

WorkDetailsModel::WorkDetailsModel(CoreContext& context, std::int32_t dialog_mode,
                                   std::function<int(const Question&)> ask)
    : context_(context), ask_(std::move(ask)) {
  std::int32_t record_id = dialog_mode;
  if (dialog_mode == kDialogModeNewWorkType) {
    record_id = AddRecord([](RecordDatabase& records) { return NewWorkType(records); });
  }
  Refill();
  ShowRecordId(record_id);
}

std::int32_t WorkDetailsModel::shown_record() const {
  return view_.shown < 0 ? -1 : ids_[static_cast<std::size_t>(view_.shown)];
}

void WorkDetailsModel::Refill() {
  const LocalTime now = context_.clock.Now();
  const StateLock lock(context_.state.mutex);
  NameList list = ReadNames(context_.records);
  ids_ = std::move(list.ids);
  view_.names = std::move(list.names);
  view_.day_labels = DayLabels(now.day_of_week);
}

void WorkDetailsModel::ShowRecordId(std::int32_t record_id) {
  const std::int32_t position = PositionOf(ids_, record_id);
  if (position >= 0) {
    Show(position);
  } else if (!ids_.empty()) {
    Show(0);
  } else {
    ShowNothing();
  }
}

void WorkDetailsModel::ShowNothing() {
  const std::vector<std::string> names = view_.names;
  const std::array<std::string, 5> labels = view_.day_labels;
  view_ = WorkDetailsView{};
  view_.names = names;
  view_.day_labels = labels;
}

void WorkDetailsModel::Show(std::int32_t position) {
  const std::int32_t id = ids_[static_cast<std::size_t>(position)];
  const StateLock lock(context_.state.mutex);
  const RecordDatabase& records = context_.records;
  const auto number = [&](std::uint32_t f) { return records.ReadNumber(id, f).value_or(0); };
  const TimeStyle style = TimeStyleFor(context_.state.data.decimal_hours);

  view_.shown = position;
  view_.name = records.ReadText(id, field::kName).value_or(std::string());
  view_.maximum = std::to_string(MinutesShown(number(field::kMaximum)));
  const std::uint32_t total = WorkTypeTotal(number(field::kTotal), number(field::kToday));
  view_.total = FormatHours(total, kTenthsDivisor, style);
  for (std::size_t day = 0; day < view_.days.size(); ++day) {
    view_.days[day] =
        FormatHours(number(field::kToday + static_cast<std::uint32_t>(day)), kMsDivisor, style);
  }
  ComputeTotals(context_.state, records, GrandTotal::kCompute);
  const std::uint32_t total_days = context_.state.data.total_days;
  view_.average =
      FormatHours(WorkTypeAverage(total, total_days).value_or(total), kTenthsDivisor, style);
  view_.share = FormatHours(ShareOf(total, context_.state.activity.grand_total, total_days),
                            kTenthsDivisor, TimeStyle::kShare);
  view_.notes = records.ReadText(id, field::kNotes).value_or(std::string());
  view_.can_previous = position > 0;
  view_.can_next = static_cast<std::size_t>(position) + 1 < ids_.size();
}

void WorkDetailsModel::SaveShown() {
  const std::int32_t id = shown_record();
  if (id < 0) return;
  const StateLock lock(context_.state.mutex);
  RecordDatabase& records = context_.records;
  FirstFailure failure;
  failure.Note(records.WriteText(id, field::kName, TruncateUtf8(view_.name, kWorkNameMaxBytes)));
  failure.Note(records.WriteNumber(id, field::kMaximum, MaximumFromBox(view_.maximum)));
  failure.Note(records.WriteText(id, field::kNotes, TruncateUtf8(view_.notes, kWorkNotesMaxBytes)));
  ReportRecordWrite(context_, failure.status());
}

void WorkDetailsModel::SetName(std::string name) {
  if (!closed_ && has_record()) view_.name = std::move(name);
}

void WorkDetailsModel::SetMaximum(std::string minutes) {
  if (!closed_ && has_record()) view_.maximum = std::move(minutes);
}

void WorkDetailsModel::SetNotes(std::string notes) {
  if (!closed_ && has_record()) view_.notes = std::move(notes);
}

void WorkDetailsModel::SelectEntry(std::int32_t position) {
  if (closed_ || position < 0 || static_cast<std::size_t>(position) >= ids_.size()) return;
  Show(position);
}

void WorkDetailsModel::Next() {
  if (!closed_ && view_.can_next) Show(view_.shown + 1);
}

void WorkDetailsModel::Previous() {
  if (!closed_ && view_.can_previous) Show(view_.shown - 1);
}

void WorkDetailsModel::Delete() {
  if (closed_ || !has_record()) return;
  const Question question{.message = std::string(kDeleteQuestion),
                          .first_button = std::string(kDeleteYes),
                          .second_button = std::string(kDeleteNo),
                          .font = QuestionFont::kSmall};
  const int answer = ask_ ? ask_(question) : context_.ui.Ask(question);
  if (answer != 1) return;
  const std::int32_t position = view_.shown;
  {
    const StateLock lock(context_.state.mutex);
    ReportRecordWrite(context_, DeleteWorkType(context_.records, shown_record()));
  }
  Refill();
  if (ids_.empty()) {
    ShowNothing();
  } else {
    Show(std::min(position, static_cast<std::int32_t>(ids_.size()) - 1));
  }
}

void WorkDetailsModel::Copy() {
  if (closed_ || !has_record()) return;
  SaveShown();
  const std::int32_t id = AddRecord([this](RecordDatabase& records) {
    return CopyWorkType(records, TruncateUtf8(view_.name, kWorkNameMaxBytes),
                        MaximumFromBox(view_.maximum),
                        TruncateUtf8(view_.notes, kWorkNotesMaxBytes));
  });
  if (id < 0) return;
  Refill();
  ShowRecordId(id);
}

void WorkDetailsModel::New() {
  if (closed_) return;
  SaveShown();
  const std::int32_t id = AddRecord([](RecordDatabase& records) { return NewWorkType(records); });
  if (id < 0) return;
  Refill();
  ShowRecordId(id);
}

void WorkDetailsModel::Ok() {
  if (closed_) return;
  SaveShown();
  Finish();
}

void WorkDetailsModel::Select() {
  if (closed_ || !has_record()) return;
  SaveShown();
  {
    const StateLock lock(context_.state.mutex);
    SetFieldText(context_.state.data.current_name, TruncateUtf8(view_.name, kWorkNameMaxBytes));
  }
  Finish();
}

void WorkDetailsModel::Cancel() {
  if (!closed_) Finish();
}

std::int32_t WorkDetailsModel::AddRecord(const std::function<std::int32_t(RecordDatabase&)>& add) {
  std::int32_t id = -1;
  Status why;
  {
    const StateLock lock(context_.state.mutex);
    id = add(context_.records);
    if (id < 0) why = context_.records.last_error();
  }
  if (id < 0) context_.ui.Notify(std::string(kWorkTypeRefusedNotice) + why.message());
  return id;
}

void WorkDetailsModel::Finish() {
  const StateLock lock(context_.state.mutex);
  EnsureSomeWorkType(context_);
  closed_ = true;
}

// ---- Select Work -------------------------------------------------------------

SelectWorkModel::SelectWorkModel(CoreContext& context) : context_(context) {
  const StateLock lock(context_.state.mutex);
  EnsureSomeWorkType(context_);
  NameList list = ReadNames(context_.records);
  ids_ = std::move(list.ids);
  names_ = std::move(list.names);
  selection_ = PositionOf(ids_, static_cast<std::int32_t>(context_.state.data.current_work_type));
}

void SelectWorkModel::SelectEntry(std::int32_t position) {
  if (closed_ || position < 0 || static_cast<std::size_t>(position) >= ids_.size()) return;
  selection_ = position;
}

void SelectWorkModel::Ok() {
  if (closed_) return;
  Leave(selection_ < 0 ? kDialogModeSelectWork : ids_[static_cast<std::size_t>(selection_)]);
}

void SelectWorkModel::Cancel() {
  if (!closed_) Leave(kDialogModeSelectWork);
}

void SelectWorkModel::Leave(std::int32_t request_value) {
  const StateLock lock(context_.state.mutex);
  context_.state.activity.request_value = request_value;
  closed_ = true;
}

}  // namespace tolvi
