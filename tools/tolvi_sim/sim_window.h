// Window: the main thread's side of tolvi-sim. It owns the program's Ui (the
// shared RecordingUi, printing every call as one line the moment it happens;
// see docs/tolvi-sim.md for the forms) and keeps what the runner needs to
// play the main thread: the armed main-window timers with their next due
// time, the messages posted to the window, and the runner's own lines. The
// data directory in paths prints as "$DATA". Single-threaded.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>

#include "fakes/recording_ui.h"
#include "virtual_clock.h"

namespace tolvi::sim {

// Carriage returns and line feeds print as \r and \n, so one effect stays
// one line.
std::string EscapeLine(std::string_view text);

class Window {
 public:
  Window(std::ostream& out, VirtualClock& clock, std::filesystem::path data_directory);
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // The port handed to the core.
  RecordingUi& port() { return ui_; }

  // A line of the runner's own (not a Ui call), printed in the same stream.
  void Note(std::string_view line);
  std::string ShowPath(const std::filesystem::path& path) const;

  void QueueAnswer(int answer) { ui_.QueueAnswers({answer}); }
  void SetTrayAvailable(bool available) { ui_.SetTrayAvailable(available); }

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

  // Posted window messages, oldest first.
  std::optional<std::uint32_t> TakePosted();
  static constexpr std::uint32_t kCloseMessage = 0;

  int repaint_count() const { return ui_.repaint_count(); }

 private:
  struct ArmedTimer {
    std::uint32_t period_ms = 0;
    std::uint64_t due = 0;
  };

  RecordingUi::Hooks MakeHooks();

  std::ostream& out_;
  VirtualClock& clock_;
  std::string data_prefix_;
  std::map<TimerId, ArmedTimer> timers_;
  std::deque<std::uint32_t> posted_;
  RecordingUi ui_;
};

}  // namespace tolvi::sim
