// EngineSnapshot: a copy of the shared state for painting the main window,
// building the tray menu or the tooltip on the GUI thread without holding
// the lock while drawing. Taken in one short locked copy; any thread.
#pragma once

#include <mutex>

#include "state/core_context.h"

namespace tolvi {

struct EngineSnapshot {
  ProgramData data;
  ActivityState activity;
  RecentWorkTable recent;
};

inline EngineSnapshot TakeSnapshot(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  return EngineSnapshot{context.state.data, context.state.activity, context.state.recent};
}

}  // namespace tolvi
