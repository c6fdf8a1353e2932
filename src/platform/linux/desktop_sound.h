// DesktopSound: the beep and the sound files of the alerts.
//
// The beep is the desktop sound theme's "bell" event through libcanberra
// (then "dialog-warning"), and the X bell when no sound server answers.
// Sound files play through QMediaPlayer, created on the first file and only
// when the system has an audio output: constructing a player without a
// working media backend can crash, and there is nothing to hear anyway.
//
// GUI thread only (it owns Qt objects). One instance for the program.
#pragma once

#include <filesystem>
#include <memory>

class QAudioOutput;
class QMediaPlayer;

namespace tolvi {

class DesktopSound {
 public:
  DesktopSound();
  ~DesktopSound();
  DesktopSound(const DesktopSound&) = delete;
  DesktopSound& operator=(const DesktopSound&) = delete;

  void Beep();
  // Stops any sound playing and starts this file. A file that cannot be
  // played gives silence, no message.
  void Play(const std::filesystem::path& file);
  void Stop();
  // True from Play until the sound ends or is stopped ("Terminate Sound").
  [[nodiscard]] bool IsPlaying() const;

  // Whether the system lists an audio output at all.
  static bool HasAudioOutput();

 private:
  bool PlayThemeEvent(const char* event_id);
  bool EnsurePlayer();

  struct Canberra;
  std::unique_ptr<Canberra> canberra_;
  std::unique_ptr<QAudioOutput> output_;
  std::unique_ptr<QMediaPlayer> player_;
};

}  // namespace tolvi
