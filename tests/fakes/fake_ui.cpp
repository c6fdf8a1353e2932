#include "fakes/fake_ui.h"

#include <algorithm>
#include <utility>

namespace tolvi {
namespace {

std::string Number(auto value) {
  return std::to_string(static_cast<std::uint32_t>(value));
}

}  // namespace

void FakeUi::ArmTimer(TimerId id, std::uint32_t period_ms) {
  Record("timer " + Number(id) + " " + Number(period_ms));
}

void FakeUi::KillTimer(TimerId id) {
  Record("kill-timer " + Number(id));
}

void FakeUi::PostCommand(std::uint32_t command_id) {
  Record("command " + Number(command_id));
}

void FakeUi::PostClose() {
  Record("close");
}

void FakeUi::RequestRepaint() {
  std::lock_guard lock(mutex_);
  ++repaints_;
}

void FakeUi::SetTray(TrayIcon icon, const std::string& tooltip) {
  Record("tray " + Number(icon) + "|" + tooltip);
}

bool FakeUi::AddTray(TrayIcon icon, const std::string& tooltip) {
  Record("add-tray " + Number(icon) + "|" + tooltip);
  std::lock_guard lock(mutex_);
  return tray_available_;
}

void FakeUi::ShowBalloon(const std::string& title, const std::string& text, TrayIcon /*icon*/) {
  Record("balloon " + title + "|" + text);
}

std::string ForwardSlashes(std::string text) {
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

void FakeUi::Notify(const std::string& text) {
  Record("notice " + ForwardSlashes(text));
}

int FakeUi::Ask(const Question& question) {
  int answer = 2;
  std::function<int(const Question&)> answerer;
  {
    std::lock_guard lock(mutex_);
    questions_.push_back(question);
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    } else {
      answerer = answerer_;
    }
  }
  // The answerer runs unlocked: it may well call back into this fake.
  if (answerer) answer = answerer(question);
  Record("ask " + question.message + "|" + question.first_button + "|" + question.second_button +
         " -> " + std::to_string(answer));
  return answer;
}

void FakeUi::Beep() {
  Record("beep");
}

void FakeUi::PlaySoundFile(const std::filesystem::path& file) {
  Record("play " + file.generic_string());
}

void FakeUi::StopSound() {
  Record("stop-sound");
}

void FakeUi::OpenWithDefaultApp(const std::filesystem::path& file) {
  Record("open " + file.generic_string());
}

void FakeUi::QueueAnswers(std::initializer_list<int> answers) {
  std::lock_guard lock(mutex_);
  answers_.insert(answers_.end(), answers.begin(), answers.end());
}

void FakeUi::SetAnswerer(std::function<int(const Question&)> answerer) {
  std::lock_guard lock(mutex_);
  answerer_ = std::move(answerer);
}

void FakeUi::SetTrayAvailable(bool available) {
  std::lock_guard lock(mutex_);
  tray_available_ = available;
}

std::vector<std::string> FakeUi::calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<Question> FakeUi::questions() const {
  std::lock_guard lock(mutex_);
  return questions_;
}

int FakeUi::repaint_count() const {
  std::lock_guard lock(mutex_);
  return repaints_;
}

std::vector<std::string> FakeUi::CallsStartingWith(const std::string& prefix) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> found;
  for (const std::string& line : calls_) {
    if (line.starts_with(prefix)) found.push_back(line);
  }
  return found;
}

void FakeUi::Clear() {
  std::lock_guard lock(mutex_);
  calls_.clear();
  questions_.clear();
  repaints_ = 0;
}

void FakeUi::Record(std::string line) {
  std::lock_guard lock(mutex_);
  calls_.push_back(std::move(line));
}

}  // namespace tolvi
