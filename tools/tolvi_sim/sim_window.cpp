#include "sim_window.h"

namespace tolvi::sim {

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

Window::Window(std::ostream& out, VirtualClock& clock, std::filesystem::path data_directory)
    : out_(out),
      clock_(clock),
      data_prefix_(data_directory.lexically_normal().generic_string()),
      ui_(MakeHooks()) {
  while (data_prefix_.size() > 1 && data_prefix_.back() == '/') data_prefix_.pop_back();
  ui_.KeepCalls(false);
}

RecordingUi::Hooks Window::MakeHooks() {
  RecordingUi::Hooks hooks;
  hooks.line = [this](const std::string& line) { Note(line); };
  hooks.show_path = [this](const std::filesystem::path& path) { return ShowPath(path); };
  hooks.timer = [this](TimerId id, std::optional<std::uint32_t> period_ms) {
    if (period_ms) {
      timers_[id] = ArmedTimer{*period_ms, clock_.elapsed() + *period_ms};
    } else {
      timers_.erase(id);
    }
  };
  hooks.posted = [this](std::optional<std::uint32_t> message) {
    posted_.push_back(message.value_or(kCloseMessage));
  };
  return hooks;
}

std::string Window::ShowPath(const std::filesystem::path& path) const {
  const std::string text = path.lexically_normal().generic_string();
  if (!data_prefix_.empty() && text.starts_with(data_prefix_)) {
    return "$DATA" + text.substr(data_prefix_.size());
  }
  return text;
}

void Window::Note(std::string_view line) {
  out_ << EscapeLine(line) << '\n';
}

std::optional<Window::DueTimer> Window::NextTimer() const {
  std::optional<DueTimer> next;
  for (const auto& [id, timer] : timers_) {
    if (!next || timer.due < next->due) next = DueTimer{id, timer.due};
  }
  return next;
}

void Window::TimerFired(TimerId id) {
  const auto found = timers_.find(id);
  if (found != timers_.end()) found->second.due = clock_.elapsed() + found->second.period_ms;
}

void Window::CatchUpTimers() {
  for (auto& [id, timer] : timers_) {
    if (timer.due < clock_.elapsed()) timer.due = clock_.elapsed();
  }
}

std::optional<std::uint32_t> Window::TakePosted() {
  if (posted_.empty()) return std::nullopt;
  const std::uint32_t message = posted_.front();
  posted_.pop_front();
  return message;
}

}  // namespace tolvi::sim
