// ReportRecordWrite: how a failed write to the work-type records reaches the
// user. Every writer of the records hands its outcome here; the first
// failure after a success is told through Ui::Notify, later ones stay quiet
// until a write succeeds again, so an outage is one notice, not one a tick.
//
// Any thread, with the shared-state lock held (the flag lives in the
// ActivityState). Notify never blocks, so it may be called under the lock.
#pragma once

#include "state/core_context.h"
#include "platform/status.h"

namespace tolvi {

void ReportRecordWrite(CoreContext& context, const Status& written) REQUIRES(context.state.mutex);

}  // namespace tolvi
