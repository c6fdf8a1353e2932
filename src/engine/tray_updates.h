// The tray updates the engine makes: the icon and tooltip by mode, the fixed
// status texts ("Away", "On Break"), the balloons, and the start-up add.
// Texts are cut to what the tray accepts (tooltip 127 bytes, balloon title
// 63 and text 255, at character boundaries).
//
// Called from either thread with the shared-state lock held; the Ui calls
// only queue work for the GUI thread.
#pragma once

#include <string_view>

#include "state/core_context.h"

namespace tolvi {

inline constexpr std::string_view kProgramTitle = "Tolvi 1.91";

// Rebuilds the tooltip and icon from the state and clears TrayRefreshPending.
void RefreshTrayTip(CoreContext& context) REQUIRES(context.state.mutex);
// Icon with a fixed tooltip.
void SetTrayStatus(CoreContext& context, TrayIcon icon, std::string_view text)
    REQUIRES(context.state.mutex);
void ShowTrayBalloon(CoreContext& context, std::string_view title, std::string_view text,
                     TrayIcon icon) REQUIRES(context.state.mutex);
// The start-up icon: Working when the user starts out working, else the On
// Break icon (with the tooltip "Tolvi 1.91"). The add itself goes to
// Ui::AddTray without the state lock, since it may wait for the GUI thread.
TrayIcon StartupTrayIcon(const ActivityState& activity);

}  // namespace tolvi
