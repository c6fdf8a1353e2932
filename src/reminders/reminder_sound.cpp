#include "reminders/reminder_sound.h"

#include <optional>

namespace tolvi {

AlertSound AlertSoundFor(std::uint32_t kind) {
  switch (kind) {
    case 1:
    case 4:
      return AlertSound::kBeep;
    case 2:
    case 6:
      return AlertSound::kPlayFile;
    case 3:
    case 5:
      return AlertSound::kPlayRandomFile;
    case 7:
    case 8:
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
