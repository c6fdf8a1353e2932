#include "shell/alert_timers.h"

#include <mutex>

#include "engine/tray_updates.h"
#include "settings/settings.h"
#include "text/text.h"

namespace tolvi {
namespace {

struct AlertSetting {
  std::uint32_t kind = 0;
  std::string path;
};

template <typename Read>
AlertSetting ReadSetting(CoreContext& context, Read read) {
  const StateLock lock(context.state.mutex);
  return read(context.state.data);
}

void Play(const AlertServices& services, const AlertSetting& alert) {
  if (services.play_reminder_sound) services.play_reminder_sound(alert.kind, alert.path);
}

void Pause(const AlertServices& services) {
  if (services.pause) services.pause(kAlertPauseMs);
}

}  // namespace

bool HandleMicroBreakTimer(CoreContext& context, const AlertServices& services, bool held) {
  if (held) return false;
  context.ui.KillTimer(TimerId::kMicroBreak);
  const AlertSetting alert = ReadSetting(context, [](const ProgramData& data) {
    return AlertSetting{data.micro_break_action, FieldText(data.micro_break_file)};
  });
  const auto action = static_cast<MicroBreakAction>(alert.kind);
  if (action != MicroBreakAction::kWindow) Play(services, alert);
  // Only the beeping action shows the balloon; the others pause instead.
  if (action == MicroBreakAction::kSoundAndWindow) {
    const StateLock lock(context.state.mutex);
    ShowTrayBalloon(context, kMicroBreakTitle, kMicroBreakText, TrayIcon::kWorking);
  } else {
    Pause(services);
  }
  return true;
}

bool HandleWorkTypeMaximumTimer(CoreContext& context, const AlertServices& services, bool held) {
  if (held) return false;
  context.ui.KillTimer(TimerId::kWorkTypeMaximum);
  Play(services, ReadSetting(context, [](const ProgramData& data) {
         return AlertSetting{data.reminder_action, FieldText(data.reminder_file)};
       }));
  return true;
}

bool HandleMaximumBreakTimer(CoreContext& context, const AlertServices& services, bool held) {
  if (held) return false;
  context.ui.KillTimer(TimerId::kMaximumBreak);
  Play(services, ReadSetting(context, [](const ProgramData& data) {
         return AlertSetting{data.max_break_action, FieldText(data.max_break_file)};
       }));
  Pause(services);
  return true;
}

}  // namespace tolvi
