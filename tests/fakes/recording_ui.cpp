#include "fakes/recording_ui.h"

#include <algorithm>
#include <utility>

namespace tolvi {
namespace {

constexpr int kClosedWithoutChoice = 2;

}  // namespace

std::string ForwardSlashes(std::string text) {
  std::replace(text.begin(), text.end(), '\\', '/');
  return text;
}

void RecordingUi::ArmTimer(TimerId id, std::uint32_t period_ms) {
  if (hooks_.timer) hooks_.timer(id, period_ms);
  Record([&] { return "timer " + Number(id) + " " + Number(period_ms); });
}

void RecordingUi::KillTimer(TimerId id) {
  if (hooks_.timer) hooks_.timer(id, std::nullopt);
  Record([&] { return "kill " + Number(id); });
}

void RecordingUi::PostCommand(std::uint32_t command_id) {
  if (hooks_.posted) hooks_.posted(command_id);
  Record([&] { return "post " + Number(command_id); });
}

void RecordingUi::PostClose() {
  if (hooks_.posted) hooks_.posted(std::nullopt);
  Record([] { return std::string("post close"); });
}

bool RecordingUi::AddTray(TrayIcon icon, const std::string& tooltip) {
  const bool available = tray_available_;
  Record(
      [&] { return "addtray " + Number(icon) + "|" + tooltip + (available ? "" : " -> failed"); });
  return available;
}

int RecordingUi::Ask(const Question& question) {
  int answer = kClosedWithoutChoice;
  std::function<int(const Question&)> answerer;
  {
    std::lock_guard lock(mutex_);
    if (keep_calls_) questions_.push_back(question);
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    } else {
      answerer = answerer_;
    }
  }
  // Unlocked: the answerer may well call back into this Ui.
  if (answerer) answer = answerer(question);
  Record([&] {
    return "ask " + question.message + "|" + question.first_button + "|" + question.second_button +
           " -> " + std::to_string(answer);
  });
  return answer;
}

std::vector<std::string> RecordingUi::CallsStartingWith(const std::string& prefix) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> found;
  for (const std::string& line : calls_) {
    if (line.starts_with(prefix)) found.push_back(line);
  }
  return found;
}

void RecordingUi::Clear() {
  std::lock_guard lock(mutex_);
  calls_.clear();
  questions_.clear();
  repaints_ = 0;
}

}  // namespace tolvi
