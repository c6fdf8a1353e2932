// FakeUi: a recording Ui for tests. Every call becomes one line of text in
// calls(), in order:
//   "timer ID PERIOD", "kill-timer ID", "command ID", "close",
//   "add-tray ICON|TOOLTIP", "tray ICON|TOOLTIP", "balloon TITLE|TEXT", "notice TEXT",
//   "ask MESSAGE|BUTTON1|BUTTON2 -> ANSWER", "beep", "play FILE",
//   "stop-sound", "open FILE"
// (ids and icons as numbers). Repaint requests are only counted, since a
// running monitor asks for one on every tick. Questions are answered from a
// queue; when it is empty the answerer decides, and without one the answer
// is 2, as for a dialog closed without a choice. Thread-safe.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tolvi {

// The text with every backslash turned into a slash. Tests name files with
// POSIX paths ("/data"); the Windows build joins a file name to them with a
// backslash, which messages then show.
std::string ForwardSlashes(std::string text);

class FakeUi : public Ui {
 public:
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

  // Answers for the next questions, first in first out.
  void QueueAnswers(std::initializer_list<int> answers);
  void SetAnswerer(std::function<int(const Question&)> answerer);
  // Whether AddTray succeeds (it does unless told otherwise).
  void SetTrayAvailable(bool available);

  std::vector<std::string> calls() const;
  std::vector<Question> questions() const;
  int repaint_count() const;
  // Lines that begin with prefix (e.g. "ask ", "balloon ").
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
  void Clear();

 private:
  void Record(std::string line);

  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
  std::vector<Question> questions_;
  std::deque<int> answers_;
  std::function<int(const Question&)> answerer_;
  bool tray_available_ = true;
  int repaints_ = 0;
};

}  // namespace tolvi
