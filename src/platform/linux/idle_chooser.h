// Picks the idle-time source that works in this session. On X11 the screen
// saver extension comes first; on Wayland it is skipped (it would only see
// input to X clients and call a busy user idle) and the D-Bus services are
// tried instead. Each candidate must answer one query to be chosen.
//
// Main thread at start-up, after the QApplication exists.
#pragma once

#include <memory>

#include "platform/idle_source.h"

namespace tolvi {

struct SessionFacts {
  bool wayland = false;
};

// WAYLAND_DISPLAY or XDG_SESSION_TYPE=wayland.
SessionFacts DetectSession();

// The first source that answers, or nullptr when none does: the caller then
// tells the user once and counts the user as never idle.
std::unique_ptr<IdleSource> ChooseIdleSource(const SessionFacts& session);

}  // namespace tolvi
