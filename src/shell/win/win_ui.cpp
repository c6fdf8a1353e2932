#include "shell/win/win_ui.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "platform/win/wide_text.h"
#include "reminders/win/win_question.h"

namespace tolvi::win {
namespace {

constexpr std::uint32_t kLongestTimerMs = 0x7FFF'FFFF;

UINT_PTR TimerNumber(TimerId id) {
  return static_cast<UINT_PTR>(id);
}

// Before the main window exists (the data files' questions at start-up)
// the question window stands alone and on top.
int AskAlone(const Question& question, ChoiceOpenFlag& open_flag) {
  const ChoiceResult answer =
      AskChoice(ChoiceRequestFor(question, /*on_top=*/true), open_flag, nullptr, nullptr);
  return static_cast<int>(answer);
}

}  // namespace

WinUi::WinUi() : gui_thread_(::GetCurrentThreadId()) {}

void WinUi::SetTarget(HWND window, UiTarget* target) {
  window_ = window;
  ForwardingUi::SetTarget(target);
  if (target != nullptr) RunQueued();  // what other threads asked for before the window existed
}

void WinUi::Queue(std::function<void()> call) {
  bool first = false;
  {
    const std::lock_guard lock(queue_mutex_);
    first = queue_.empty();
    queue_.push_back(std::move(call));
  }
  // One wake-up drains everything queued until it runs.
  if (first && window_ != nullptr) ::PostMessageW(window_, kRunQueuedMessage, 0, 0);
}

void WinUi::RunQueued() {
  std::vector<std::function<void()>> calls;
  {
    const std::lock_guard lock(queue_mutex_);
    calls.swap(queue_);
  }
  for (const std::function<void()>& call : calls) call();
}

void WinUi::ArmTimer(TimerId id, std::uint32_t period_ms) {
  RunOnGuiThread([this, id, period_ms] {
    // Arming an armed timer starts its period again.
    if (window_ != nullptr) {
      ::SetTimer(window_, TimerNumber(id), std::min(period_ms, kLongestTimerMs), nullptr);
    }
  });
}

void WinUi::KillTimer(TimerId id) {
  RunOnGuiThread([this, id] {
    if (window_ != nullptr) ::KillTimer(window_, TimerNumber(id));
  });
}

void WinUi::PostCommand(std::uint32_t command_id) {
  Queue([this, command_id] {
    if (window_ != nullptr) ::PostMessageW(window_, WM_COMMAND, command_id, 0);
  });
}

int WinUi::Ask(const Question& question) {
  auto ask = [this, &question] {
    return target() != nullptr ? target()->OnAsk(question) : AskAlone(question, early_choice_open_);
  };
  if (OnGuiThread() || window_ == nullptr) return ask();
  int answer = 2;
  std::function<void()> call = [&answer, &ask] { answer = ask(); };
  ::SendMessageW(window_, kRunNowMessage, 0, reinterpret_cast<LPARAM>(&call));
  return answer;
}

void WinUi::Beep() {
  RunOnGuiThread([this] { sound_.Beep(); });
}

void WinUi::PlaySoundFile(const std::filesystem::path& file) {
  RunOnGuiThread([this, file] {
    sound_.Play(file);
    sound_playing_ = true;
  });
}

void WinUi::StopSound() {
  RunOnGuiThread([this] {
    sound_.Stop();
    sound_playing_ = false;
  });
}

void WinUi::OpenWithDefaultApp(const std::filesystem::path& file) {
  RunOnGuiThread([this, file] {
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
      Notify("Tolvi cannot open \"" + Utf8Path(file) + "\": the file is missing.");
      return;
    }
    if (const Status opened = OpenWithDefaultProgram(file); !opened.ok()) {
      Notify("Tolvi cannot open \"" + Utf8Path(file) + "\": " + opened.message());
    }
  });
}

}  // namespace tolvi::win
