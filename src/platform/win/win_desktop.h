// The Windows desktop services the alerts use: the system beep, sound files
// through the multimedia API, and opening a file with the program the user
// chose for its type. GUI thread (the sound belongs to the calling process
// as a whole; a new sound stops the one playing).
#pragma once

#include <filesystem>

#include "platform/status.h"

namespace tolvi {

class WinSound {
 public:
  // The default system sound (MessageBeep).
  void Beep();
  // Stops any sound playing and starts this file without waiting. A file
  // that cannot be played gives silence, no message.
  void Play(const std::filesystem::path& file);
  void Stop();
};

// ShellExecuteW's "open" on the file; IoError when no program takes it.
Status OpenWithDefaultProgram(const std::filesystem::path& file);

}  // namespace tolvi
