// PlayReminderSound: what every alert does with its action setting and its
// file-or-folder setting: nothing, a beep, a sound file, a random sound
// file of a folder, or a document opened with its default application.
// The action kinds are the entries of the option lists, numbered alike for
// the reminder, the micro break and the maximum break.
//
// GUI thread (it drives the Ui port's sound). Stateless.
#pragma once

#include <cstdint>
#include <filesystem>

#include "platform/file_system.h"
#include "platform/ui.h"
#include "reminders/pick_random_file.h"

namespace tolvi {

enum class AlertSound : std::uint8_t { kNothing, kBeep, kPlayFile, kPlayRandomFile, kOpenFile };

// Kinds 1 and 4 beep, 2 and 6 play the file, 3 and 5 a random file of the
// folder, 7 and 8 open the file; 0 and unknown kinds do nothing.
AlertSound AlertSoundFor(std::uint32_t kind);

void PlayReminderSound(Ui& ui, FileSystem& files, const RandomDraw& draw, std::uint32_t kind,
                       const std::filesystem::path& file_or_folder);

}  // namespace tolvi
