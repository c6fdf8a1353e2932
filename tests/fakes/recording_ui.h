// RecordingUi: the one recording Ui, shared by the unit tests, tolvi-sim and
// the benchmarks. Every call becomes one line of text, in order:
//   "timer ID PERIOD", "kill ID", "post ID", "post close",
//   "addtray ICON|TOOLTIP" (+ " -> failed" without a tray), "tray ICON|TOOLTIP",
//   "balloon TITLE|TEXT", "notice TEXT", "ask MESSAGE|BUTTON1|BUTTON2 -> ANSWER",
//   "beep", "play FILE", "stop-sound", "open FILE"
// (ids and icons as numbers; files as Hooks::show_path prints them). Repaint
// requests are only counted, since a running monitor asks for one on every
// tick. Questions are answered from a queue; when it is empty the answerer
// decides, and without one the answer is 2, as for a dialog closed without a
// choice.
//
// The lines are kept for calls() unless KeepCalls(false) (benchmarks), and
// handed to Hooks::line as they happen (tolvi-sim prints them); the timer and
// post hooks let a runner play the main thread. Thread-safe: the hooks and
// the answerer run outside the internal lock, on the calling thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tolvi {

// The text with every backslash turned into a slash. Tests name files with
// POSIX paths ("/data"); the Windows build joins a file name to them with a
// backslash, which messages then show.
std::string ForwardSlashes(std::string text);

class RecordingUi : public Ui {
  // Runs f under the lock (first, so the inline members below can use it).
  template <typename F>
  auto Locked(F f) const {
    std::lock_guard lock(mutex_);
    return f();
  }
  // Records one call; builds the line only when someone will read it.
  template <typename MakeLine>
  void Record(MakeLine make_line) {
    const bool keep = keep_calls_;
    if (!keep && !hooks_.line) return;
    std::string line = make_line();
    if (hooks_.line) hooks_.line(line);
    if (keep) Locked([&] { calls_.push_back(std::move(line)); });
  }
  static std::string Number(auto value) {
    return std::to_string(static_cast<std::uint32_t>(value));
  }
  std::string Path(const std::filesystem::path& file) const {
    return hooks_.show_path ? hooks_.show_path(file) : file.generic_string();
  }

 public:
  struct Hooks {
    std::function<void(const std::string&)> line;
    std::function<std::string(const std::filesystem::path&)> show_path;
    // A timer armed with its period, or killed (nullopt).
    std::function<void(TimerId, std::optional<std::uint32_t>)> timer;
    // A window message: a command id, or nullopt for the close message.
    std::function<void(std::optional<std::uint32_t>)> posted;
  };

  RecordingUi() : RecordingUi(Hooks{}) {}
  explicit RecordingUi(Hooks hooks) : hooks_(std::move(hooks)) {}

  void ArmTimer(TimerId id, std::uint32_t period_ms) override;
  void KillTimer(TimerId id) override;
  void PostCommand(std::uint32_t command_id) override;
  void PostClose() override;
  void RequestRepaint() override { ++repaints_; }
  void SetTray(TrayIcon icon, const std::string& tooltip) override {
    Record([&] { return "tray " + Number(icon) + "|" + tooltip; });
  }
  bool AddTray(TrayIcon icon, const std::string& tooltip) override;
  void ShowBalloon(const std::string& title, const std::string& text, TrayIcon) override {
    Record([&] { return "balloon " + title + "|" + text; });
  }
  void Notify(const std::string& text) override {
    Record([&] { return "notice " + ForwardSlashes(text); });
  }
  int Ask(const Question& question) override;
  void Beep() override {
    Record([] { return std::string("beep"); });
  }
  void PlaySoundFile(const std::filesystem::path& file) override {
    Record([&] { return "play " + Path(file); });
  }
  void StopSound() override {
    Record([] { return std::string("stop-sound"); });
  }
  void OpenWithDefaultApp(const std::filesystem::path& file) override {
    Record([&] { return "open " + Path(file); });
  }

  // Answers for the next questions, first in first out.
  void QueueAnswers(std::initializer_list<int> answers) {
    Locked([&] { answers_.insert(answers_.end(), answers.begin(), answers.end()); });
  }
  void SetAnswerer(std::function<int(const Question&)> answerer) {
    Locked([&] { answerer_ = std::move(answerer); });
  }
  // Whether AddTray succeeds (it does unless told otherwise).
  void SetTrayAvailable(bool available) { tray_available_ = available; }
  void KeepCalls(bool keep) { keep_calls_ = keep; }

  std::vector<std::string> calls() const {
    return Locked([&] { return calls_; });
  }
  std::vector<Question> questions() const {
    return Locked([&] { return questions_; });
  }
  int repaint_count() const { return repaints_; }
  // Lines that begin with prefix (e.g. "ask ", "balloon ").
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;
  void Clear();

 private:
  const Hooks hooks_;
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
  std::vector<Question> questions_;
  std::deque<int> answers_;
  std::function<int(const Question&)> answerer_;
  std::atomic<bool> tray_available_ = true;
  std::atomic<bool> keep_calls_ = true;
  std::atomic<int> repaints_ = 0;
};

}  // namespace tolvi
