#include "reminders/reminder_sound.h"

#include <optional>

#include "settings/settings.h"

namespace tolvi {

AlertSound AlertSoundFor(std::uint32_t kind) {
  // The micro and maximum break lists are the reminder list's first four.
  switch (static_cast<ReminderAction>(kind)) {
    case ReminderAction::kWindowAndBeep:
    case ReminderAction::kSystemBeep:
      return AlertSound::kBeep;
    case ReminderAction::kWindowAndSoundFile:
    case ReminderAction::kSoundFile:
      return AlertSound::kPlayFile;
    case ReminderAction::kWindowAndRandomSound:
    case ReminderAction::kRandomSound:
      return AlertSound::kPlayRandomFile;
    case ReminderAction::kWindowAndFile:
    case ReminderAction::kFile:
      return AlertSound::kOpenFile;
    default:
      return AlertSound::kNothing;
  }
}

void PlayReminderSound(Ui& ui, FileSystem& files, const RandomDraw& draw, std::uint32_t kind,
                       const std::filesystem::path& file_or_folder) {
  const AlertSound sound = AlertSoundFor(kind);
  if (sound == AlertSound::kBeep) {
    ui.Beep();
    return;
  }
  // An unset path names nothing to play or open.
  if (sound == AlertSound::kNothing || file_or_folder.empty()) return;
  switch (sound) {
    case AlertSound::kPlayFile:
      ui.PlaySoundFile(file_or_folder);
      return;
    case AlertSound::kPlayRandomFile:
      if (const std::optional<std::filesystem::path> file =
              PickRandomFile(files, file_or_folder, draw)) {
        ui.PlaySoundFile(*file);
      }
      return;
    case AlertSound::kOpenFile:
      ui.OpenWithDefaultApp(file_or_folder);
      return;
    case AlertSound::kNothing:
    case AlertSound::kBeep:
      return;
  }
}

}  // namespace tolvi
