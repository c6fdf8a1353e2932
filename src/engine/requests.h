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

#include "engine/core_context.h"

namespace tolvi {

// Waits (without time-out, and without holding the state lock) until the
// slot is free, then writes the request and sets WakeEvent.
void PostRequest(CoreContext& context, std::uint32_t code, std::int32_t value);
// The same without waiting: false, and nothing written, while the slot is
// taken.
[[nodiscard]] bool TryPostRequest(CoreContext& context, std::uint32_t code, std::int32_t value);
// The midnight timer's request 2: waits for the slot like PostRequest but
// leaves WakeEvent alone, so the monitor takes it at its next pass.
void PostDayCheckRequest(CoreContext& context);
[[nodiscard]] bool TryPostDayCheckRequest(CoreContext& context);

// Carries out the pending request (codes 1 to 8; any other code except 999
// is dropped so the slot cannot stay taken for ever). Frees the slot when
// the code is back to 0.
void HandleRequest(CoreContext& context, StateLock& lock);

enum class WorkTypeDialog { kWorkDetails, kSelectWork };
// Command 2018, posted by the monitor after request 3, 4 or 5: marks the
// slot 999, runs the dialog (without the state lock; the dialog reads and
// leaves RequestValue under the lock itself), then hands the result back as
// request 7 or 8 and wakes the monitor. Ignored when no work-type request
// is waiting for its dialog.
void RunWorkTypeDialogCommand(CoreContext& context,
                              const std::function<void(WorkTypeDialog)>& run_dialog);

}  // namespace tolvi
