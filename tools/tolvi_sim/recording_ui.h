// RecordingUi: the Ui of tolvi-sim. Every call is printed as one line the
// moment it happens (see docs/tolvi-sim.md for the forms); the data
// directory in paths prints as "$DATA". It also keeps what the runner needs
// to play the main thread: the armed main-window timers with their next due
// time, the commands posted to the window, the queued answers to questions,
// and whether a tray exists. Single-threaded.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "platform/ui.h"
#include "virtual_clock.h"

namespace tolvi::sim {

// Carriage returns and line feeds print as \r and \n, so one effect stays
// one line.
std::string EscapeLine(std::string_view text);

class RecordingUi final : public Ui {
 public:
  RecordingUi(std::ostream& out, VirtualClock& clock, std::filesystem::path data_directory);

  void ArmTimer(TimerId id, std::uint32_t period_ms) override;
  void KillTimer(TimerId id) override;
  void PostCommand(std::uint32_t command_id) override;
  void PostClose() override;
  void RequestRepaint() override;
  void SetTray(TrayIcon icon, const std::string& tooltip) override;
  bool AddTray(TrayIcon icon, const std::string& tooltip) override;
  void ShowBalloon(const std::string& title, const std::string& text, TrayIcon icon) override;
  void Notify(const std::string& text) override;
  int Ask(const Question& question) override;
  void Beep() override;
  void PlaySoundFile(const std::filesystem::path& file) override;
  void StopSound() override;
  void OpenWithDefaultApp(const std::filesystem::path& file) override;

  // A line of the runner's own (not a Ui call), printed in the same stream.
  void Note(std::string_view line);
  std::string ShowPath(const std::filesystem::path& path) const;

  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void SetTrayAvailable(bool available) { tray_available_ = available; }

  // The earliest armed timer (lowest id first on a tie).
  struct DueTimer {
    TimerId id;
    std::uint64_t due;
  };
  std::optional<DueTimer> NextTimer() const;
  // Marks the timer fired: a periodic timer falls due again a period later
  // unless its handler kills or re-arms it.
  void TimerFired(TimerId id);
  // After a suspend, overdue timers fall due at once.
  void CatchUpTimers();
  bool TimerArmed(TimerId id) const { return timers_.contains(id); }

  // Posted window messages, oldest first. 0 stands for the request to close.
  std::optional<std::uint32_t> TakePosted();
  static constexpr std::uint32_t kCloseMessage = 0;

  std::uint64_t repaint_count() const { return repaints_; }

 private:
  struct ArmedTimer {
    std::uint32_t period_ms = 0;
    std::uint64_t due = 0;
  };

  std::ostream& out_;
  VirtualClock& clock_;
  std::string data_prefix_;
  std::map<TimerId, ArmedTimer> timers_;
  std::deque<std::uint32_t> posted_;
  std::deque<int> answers_;
  bool tray_available_ = true;
  std::uint64_t repaints_ = 0;
};

}  // namespace tolvi::sim
