// The tray icon's tooltip and picture as a model: pure functions of the
// running state, shared by the engine's RefreshTrayTip and the shells.
// Any thread, on a state the caller holds still (under the shared-state
// lock, or a copied snapshot).
#pragma once

#include <cstddef>
#include <string>

#include "platform/ui.h"
#include "state/activity_state.h"
#include "storage/program_data.h"

namespace tolvi {

inline constexpr std::size_t kTooltipMaxBytes = 127;
inline constexpr std::size_t kBalloonTitleMaxBytes = 63;
inline constexpr std::size_t kBalloonTextMaxBytes = 255;

// The icon of the mode: At Meeting 505, Away 503, On Break 501, Working 504.
TrayIcon TrayIconFor(const ActivityState& activity);

// Whole minutes shown for a countdown: (ms + 9) / 60000 + 1.
std::uint32_t TooltipMinutes(std::uint32_t countdown_ms);

// "Time until break: N (M) minutes\r\n" or the mode's "At Meeting, ",
// "Away, ", "On Break, " (or " "), then "Name: today/all hours"; cut to 127
// bytes at a character boundary.
std::string TrayTooltip(const ProgramData& data, const ActivityState& activity);

}  // namespace tolvi
