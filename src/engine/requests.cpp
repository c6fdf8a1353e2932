#include "engine/requests.h"

#include "accounting/recent_work.h"
#include "accounting/work_types.h"
#include "engine/day_check.h"
#include "engine/tick.h"
#include "state/command_ids.h"
#include "state/write_failures.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kMidnightRetryMs = 1'000;

void WriteSlot(CoreContext& context, std::uint32_t code, std::int32_t value) {
  const StateLock lock(context.state.mutex);
  context.state.activity.request_code = code;
  context.state.activity.request_value = value;
}

void WriteCode(CoreContext& context, std::uint32_t code) {
  const StateLock lock(context.state.mutex);
  context.state.activity.request_code = code;
}

void Flush(CoreContext& context) REQUIRES(context.state.mutex) {
  ReportRecordWrite(context, FlushCurrentWorkType(context.state, context.records));
}

void OpenDialogFor(CoreContext& context, std::int32_t value_for_dialog)
    REQUIRES(context.state.mutex) {
  Flush(context);
  context.state.activity.request_value = value_for_dialog;
  context.ui.PostCommand(command::kWorkTypeDialog);
}

}  // namespace

bool SlotHeldForDialog(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  switch (context.state.activity.request_code) {
    case request::kEditWorkType:
    case request::kSelectWorkType:
    case request::kAddWorkType:
    case request::kDialogOpen:
      return true;
    default:
      return false;
  }
}

bool PostRequest(CoreContext& context, std::uint32_t code, std::int32_t value,
                 const std::function<void()>& wait_step) {
  // The monitor frees the slot, or calls when it needs this thread (a
  // question from the day check, the end); nothing is polled.
  while (!context.events.request_free.IsSet()) {
    if (SlotHeldForDialog(context)) return false;
    if (context.events.request_free.WaitUntilSetOrCalled()) break;
    if (wait_step) wait_step();
  }
  context.events.request_free.Reset();
  WriteSlot(context, code, value);
  context.events.wake.Set();
  return true;
}

bool TryPostRequest(CoreContext& context, std::uint32_t code, std::int32_t value) {
  if (!context.events.request_free.IsSet()) return false;
  context.events.request_free.Reset();
  WriteSlot(context, code, value);
  context.events.wake.Set();
  return true;
}

void OnMidnightTimer(CoreContext& context) {
  if (!context.events.request_free.IsSet()) {
    context.ui.ArmTimer(TimerId::kMidnight, kMidnightRetryMs);
    return;
  }
  context.events.request_free.Reset();
  WriteCode(context, request::kDayCheck);
}

void HandleRequest(CoreContext& context, StateLock& lock) REQUIRES(context.state.mutex) {
  ActivityState& activity = context.state.activity;
  context.events.wake.Reset();
  switch (activity.request_code) {
    case request::kChangeWorkType:
      Flush(context);
      SelectCurrentById(context.state, context.records, activity.request_value);
      FindCurrentSlot(context.state);
      activity.request_code = request::kNone;
      break;
    case request::kDayCheck:
      RunDayCheck(context, lock);
      activity.request_code = request::kNone;
      activity.phase = kPhaseRefresh;
      break;
    case request::kEditWorkType:
      OpenDialogFor(context, activity.request_value);
      break;
    case request::kSelectWorkType:
      OpenDialogFor(context, request::kSelectCurrentValue);
      break;
    case request::kAddWorkType:
      OpenDialogFor(context, request::kNewWorkTypeValue);
      break;
    case request::kRefresh:
      Flush(context);
      ComputeTotals(context.state, context.records, GrandTotal::kCompute);
      RebuildRecentWork(context.state, context.records);
      activity.request_code = request::kNone;
      break;
    case request::kWorkDetailsClosed:
      ReportRecordWrite(context, SelectCurrentByName(context.state, context.records));
      FindCurrentSlot(context.state);
      activity.phase = kPhaseAfterDialog;
      activity.request_code = request::kNone;
      context.events.wake.Set();
      break;
    case request::kSelectWorkClosed:
      if (activity.request_value != request::kSelectCurrentValue) {
        SelectCurrentById(context.state, context.records, activity.request_value);
        FindCurrentSlot(context.state);
        activity.phase = kPhaseAfterDialog;
      }
      activity.request_code = request::kNone;
      context.events.wake.Set();
      break;
    case request::kNone:
    case request::kDialogOpen:
      return;
    default:
      // An unknown code would hold the slot, and so every tick, for ever.
      activity.request_code = request::kNone;
      break;
  }
  if (activity.request_code == request::kNone) context.events.request_free.Set();
}

std::optional<WorkTypeDialog> BeginWorkTypeDialog(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  ActivityState& activity = context.state.activity;
  WorkTypeDialog dialog = WorkTypeDialog::kSelectWork;
  switch (activity.request_code) {
    case request::kEditWorkType:
    case request::kAddWorkType:
      dialog = WorkTypeDialog::kWorkDetails;
      break;
    case request::kSelectWorkType:
      dialog = WorkTypeDialog::kSelectWork;
      break;
    default:
      return std::nullopt;  // a stray 2018: no request is waiting for its dialog
  }
  activity.request_code = request::kDialogOpen;
  return dialog;
}

void EndWorkTypeDialog(CoreContext& context, WorkTypeDialog dialog) {
  WriteCode(context, dialog == WorkTypeDialog::kWorkDetails ? request::kWorkDetailsClosed
                                                            : request::kSelectWorkClosed);
  context.events.wake.Set();
}

void RunWorkTypeDialogCommand(CoreContext& context,
                              const std::function<void(WorkTypeDialog)>& run_dialog) {
  const std::optional<WorkTypeDialog> dialog = BeginWorkTypeDialog(context);
  if (!dialog) return;
  if (run_dialog) run_dialog(*dialog);
  EndWorkTypeDialog(context, *dialog);
}

}  // namespace tolvi
