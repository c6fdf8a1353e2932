// The one-slot request hand-off from the GUI thread to the monitor:
// RequestCode/RequestValue in the ActivityState, guarded by
// RequestFreeEvent, with WakeEvent to bring the monitor round at once.
//
// PostRequest, TryPostRequest, PostDayCheckRequest and
// RunWorkTypeDialogCommand run on the GUI thread and take the state lock
// themselves; HandleRequest runs on the monitor thread with the lock held.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "state/core_context.h"

namespace tolvi {

// Waits (without holding the state lock) until the slot is free, then
// writes the request and sets WakeEvent. Whenever the monitor calls on
// RequestFreeEvent while it waits, it runs wait_step, so a GUI thread can
// serve what the monitor asks of it (a question from the day check, the
// end). Gives up, and returns false, when the slot is
// held for a work-type dialog: only this thread can close that dialog, so
// waiting would never end.
bool PostRequest(CoreContext& context, std::uint32_t code, std::int32_t value,
                 const std::function<void()>& wait_step = {});
// The same without waiting: false, and nothing written, while the slot is
// taken.
bool TryPostRequest(CoreContext& context, std::uint32_t code, std::int32_t value);
// True while the slot is held for a work-type dialog (codes 3, 4, 5, 999).
bool SlotHeldForDialog(CoreContext& context);

// The midnight timer (timer 3): hands request 2 to the monitor without
// waking it, so it takes it at its next pass. When the slot is taken it does
// not wait (a dialog may hold it until long after midnight) but re-arms the
// timer to try again a second later; the day check re-arms it for the next
// midnight. GUI thread.
void OnMidnightTimer(CoreContext& context);

// Carries out the pending request (codes 1 to 8; any other code except 999
// is dropped so the slot cannot stay taken for ever). Frees the slot when
// the code is back to 0.
void HandleRequest(CoreContext& context, StateLock& lock) REQUIRES(context.state.mutex);

enum class WorkTypeDialog { kWorkDetails, kSelectWork };
// Command 2018, posted by the monitor after request 3, 4 or 5: marks the
// slot 999, runs the dialog (without the state lock; the dialog reads and
// leaves RequestValue under the lock itself), then hands the result back as
// request 7 or 8 and wakes the monitor. Ignored when no work-type request
// is waiting for its dialog.
void RunWorkTypeDialogCommand(CoreContext& context,
                              const std::function<void(WorkTypeDialog)>& run_dialog);
// The two halves of RunWorkTypeDialogCommand, for a caller whose dialog
// does not block: Begin marks the slot 999 and says which dialog to show
// (nullopt for a stray 2018); End hands the result back as request 7 or 8
// and wakes the monitor.
std::optional<WorkTypeDialog> BeginWorkTypeDialog(CoreContext& context);
void EndWorkTypeDialog(CoreContext& context, WorkTypeDialog dialog);

}  // namespace tolvi
