// Picks the idle-time source that works in this session. On X11 the screen
// saver extension comes first, the D-Bus services after it. On Wayland the
// X extension is skipped (it would only see input to X clients and call a
// busy user idle): GNOME's idle monitor, then the compositor's Wayland idle
// protocols, then the freedesktop screen saver (which KDE answers with
// NotSupported on Wayland). Each candidate must answer one query to be
// chosen. The choice is written as one line on standard error.
//
// Main thread at start-up, after the QApplication exists. The clock is the
// program's tick counter; it must outlive the source.
#pragma once

#include <memory>

#include "platform/clock.h"
#include "platform/idle_source.h"

namespace tolvi {

struct SessionFacts {
  bool wayland = false;
};

// WAYLAND_DISPLAY or XDG_SESSION_TYPE=wayland.
SessionFacts DetectSession();

// The first source that answers, or nullptr when none does: the caller then
// tells the user once and counts the user as never idle.
std::unique_ptr<IdleSource> ChooseIdleSource(const SessionFacts& session, Clock& clock);

}  // namespace tolvi
