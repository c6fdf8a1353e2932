#include "recording_ui.h"

namespace tolvi::sim {
namespace {

std::string Number(auto value) {
  return std::to_string(static_cast<std::uint64_t>(value));
}

}  // namespace

std::string EscapeLine(std::string_view text) {
  std::string line;
  line.reserve(text.size());
  for (const char c : text) {
    if (c == '\r') {
      line += "\\r";
    } else if (c == '\n') {
      line += "\\n";
    } else {
      line += c;
    }
  }
  return line;
}

RecordingUi::RecordingUi(std::ostream& out, VirtualClock& clock,
                         std::filesystem::path data_directory)
    : out_(out), clock_(clock), data_prefix_(data_directory.lexically_normal().generic_string()) {
  while (data_prefix_.size() > 1 && data_prefix_.back() == '/') data_prefix_.pop_back();
}

std::string RecordingUi::ShowPath(const std::filesystem::path& path) const {
  const std::string text = path.lexically_normal().generic_string();
  if (!data_prefix_.empty() && text.starts_with(data_prefix_)) {
    return "$DATA" + text.substr(data_prefix_.size());
  }
  return text;
}

void RecordingUi::Note(std::string_view line) {
  out_ << EscapeLine(line) << '\n';
}

void RecordingUi::ArmTimer(TimerId id, std::uint32_t period_ms) {
  timers_[id] = ArmedTimer{period_ms, clock_.elapsed() + period_ms};
  Note("timer " + Number(id) + " " + Number(period_ms));
}

void RecordingUi::KillTimer(TimerId id) {
  timers_.erase(id);
  Note("kill " + Number(id));
}

void RecordingUi::PostCommand(std::uint32_t command_id) {
  posted_.push_back(command_id);
  Note("post " + Number(command_id));
}

void RecordingUi::PostClose() {
  posted_.push_back(kCloseMessage);
  Note("post close");
}

void RecordingUi::RequestRepaint() {
  ++repaints_;
}

void RecordingUi::SetTray(TrayIcon icon, const std::string& tooltip) {
  Note("tray " + Number(icon) + "|" + tooltip);
}

bool RecordingUi::AddTray(TrayIcon icon, const std::string& tooltip) {
  Note("addtray " + Number(icon) + "|" + tooltip + (tray_available_ ? "" : " -> failed"));
  return tray_available_;
}

void RecordingUi::ShowBalloon(const std::string& title, const std::string& text, TrayIcon) {
  Note("balloon " + title + "|" + text);
}

void RecordingUi::Notify(const std::string& text) {
  Note("notice " + text);
}

int RecordingUi::Ask(const Question& question) {
  int answer = 2;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  Note("ask " + question.message + "|" + question.first_button + "|" + question.second_button +
       " -> " + std::to_string(answer));
  return answer;
}

void RecordingUi::Beep() {
  Note("beep");
}

void RecordingUi::PlaySoundFile(const std::filesystem::path& file) {
  Note("play " + ShowPath(file));
}

void RecordingUi::StopSound() {
  Note("stop-sound");
}

void RecordingUi::OpenWithDefaultApp(const std::filesystem::path& file) {
  Note("open " + ShowPath(file));
}

std::optional<RecordingUi::DueTimer> RecordingUi::NextTimer() const {
  std::optional<DueTimer> next;
  for (const auto& [id, timer] : timers_) {
    if (!next || timer.due < next->due) next = DueTimer{id, timer.due};
  }
  return next;
}

void RecordingUi::TimerFired(TimerId id) {
  const auto found = timers_.find(id);
  if (found != timers_.end()) found->second.due = clock_.elapsed() + found->second.period_ms;
}

void RecordingUi::CatchUpTimers() {
  for (auto& [id, timer] : timers_) {
    if (timer.due < clock_.elapsed()) timer.due = clock_.elapsed();
  }
}

std::optional<std::uint32_t> RecordingUi::TakePosted() {
  if (posted_.empty()) return std::nullopt;
  const std::uint32_t message = posted_.front();
  posted_.pop_front();
  return message;
}

}  // namespace tolvi::sim
