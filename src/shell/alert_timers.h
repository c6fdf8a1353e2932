// The main window's alert timers besides the break reminder: the micro
// break (timer 5), the work type's daily maximum (timer 8) and the maximum
// break (timer 9). The monitor arms them with a one-second period; each
// handler waits while a question window is open (the timer simply fires
// again a second later), then stops its timer and plays the alert's action.
//
// GUI thread only. The handlers read the settings under the shared-state
// lock and let go of it before anything plays or pauses.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "state/core_context.h"

namespace tolvi {

inline constexpr char kMicroBreakTitle[] = "Micro Break";
inline constexpr char kMicroBreakText[] = "Get up for a quick stretch!";
inline constexpr std::uint32_t kAlertPauseMs = 4'000;

struct AlertServices {
  // PlayReminderSound for an action kind and its file or folder.
  std::function<void(std::uint32_t kind, const std::string& path)> play_reminder_sound;
  // Holds the alerts for a while (the GUI thread's pause after an alert).
  std::function<void(std::uint32_t ms)> pause;
};

// Each returns false, and does nothing, while `held` (a question window is
// open, or another alert is pausing); true when it acted.
bool HandleMicroBreakTimer(CoreContext& context, const AlertServices& services, bool held);
bool HandleWorkTypeMaximumTimer(CoreContext& context, const AlertServices& services, bool held);
bool HandleMaximumBreakTimer(CoreContext& context, const AlertServices& services, bool held);

}  // namespace tolvi
