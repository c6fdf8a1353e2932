// Ui: the main window as the core sees it. The core calls it from the
// monitor thread and from the GUI thread; the Qt implementation marshals
// every call to the GUI thread. Callers never hold the shared-state lock
// while calling Ask (it waits for the user).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tolvi {

// Timers armed on the main window; their handlers run on the GUI thread.
enum class TimerId : std::uint32_t {
  kBreakReminder = 2,
  kMidnight = 3,
  kMicroBreak = 5,
  kDesktopLockWatch = 6,
  kWorkTypeMaximum = 8,
  kMaximumBreak = 9,
};

// The tray icons, numbered as the program's icon resources.
enum class TrayIcon : std::uint32_t {
  kProgram = 500,
  kOnBreak = 501,  // also the small program icon
  kAway = 503,
  kWorking = 504,
  kAtMeeting = 505,
};

// The message font of a question: the large one (as the buttons') for the
// welcome and too-old questions, the small one for everything else.
enum class QuestionFont : std::uint8_t { kLarge, kSmall };

// A two-button question (the ChoiceDialog). The answer is 1 or 2; a dialog
// closed without a choice answers 2.
struct Question {
  std::string message;
  std::string first_button;
  std::string second_button;
  QuestionFont font = QuestionFont::kLarge;
  bool has_owner = true;  // false before the main window exists
};

class Ui {
 public:
  virtual ~Ui() = default;

  virtual void ArmTimer(TimerId id, std::uint32_t period_ms) = 0;
  virtual void KillTimer(TimerId id) = 0;
  // Posts a menu command id (command_ids.h) to the main window.
  virtual void PostCommand(std::uint32_t command_id) = 0;
  // Asks the main window to close (the exit handshake).
  virtual void PostClose() = 0;
  virtual void RequestRepaint() = 0;

  virtual void SetTray(TrayIcon icon, const std::string& tooltip) = 0;
  // Returns false while no tray exists yet (the start-up retry loop).
  virtual bool AddTray(TrayIcon icon, const std::string& tooltip) = 0;
  virtual void ShowBalloon(const std::string& title, const std::string& text, TrayIcon icon) = 0;
  // Tells the user something about their files that needs no answer (a file
  // kept aside or restored, a save or a log line that failed, options reset).
  // Shown where the user will see it even without a tray; never blocks.
  virtual void Notify(const std::string& text) = 0;

  // Blocks until the user answers; returns 1 or 2.
  virtual int Ask(const Question& question) = 0;

  virtual void Beep() = 0;
  virtual void PlaySoundFile(const std::filesystem::path& file) = 0;
  virtual void StopSound() = 0;
  virtual void OpenWithDefaultApp(const std::filesystem::path& file) = 0;
};

}  // namespace tolvi
