#include "engine/tray_updates.h"

#include <string>

#include "engine/tray_tip.h"
#include "text/text.h"

namespace tolvi {

void RefreshTrayTip(CoreContext& context) REQUIRES(context.state.mutex) {
  context.ui.SetTray(TrayIconFor(context.state.activity),
                     TrayTooltip(context.state.data, context.state.activity));
  context.state.activity.tray_refresh_pending = false;
}

void SetTrayStatus(CoreContext& context, TrayIcon icon, std::string_view text) {
  context.ui.SetTray(icon, std::string(TruncateUtf8(text, kTooltipMaxBytes)));
}

void ShowTrayBalloon(CoreContext& context, std::string_view title, std::string_view text,
                     TrayIcon icon) {
  context.ui.ShowBalloon(std::string(TruncateUtf8(title, kBalloonTitleMaxBytes)),
                         std::string(TruncateUtf8(text, kBalloonTextMaxBytes)), icon);
}

TrayIcon StartupTrayIcon(const ActivityState& activity) {
  return activity.working_flag == WorkingFlag::kWorking ? TrayIcon::kWorking : TrayIcon::kOnBreak;
}

}  // namespace tolvi
