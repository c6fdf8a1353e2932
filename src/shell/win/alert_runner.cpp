#include "shell/win/alert_runner.h"

#include <algorithm>

#include "reminders/break_reminder.h"
#include "reminders/reminder_sound.h"
#include "reminders/win/win_question.h"
#include "settings/settings.h"
#include "shell/alert_timers.h"

namespace tolvi::win {
namespace {

bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace

bool AlertRunner::OnTimer(TimerId id) {
  AlertServices services;
  services.play_reminder_sound = [this](std::uint32_t kind, const std::string& path) {
    PlaySound(kind, path);
  };
  services.pause = [this](std::uint32_t ms) { Pause(ms); };
  switch (id) {
    case TimerId::kBreakReminder:
      BreakReminder();
      return true;
    case TimerId::kMicroBreak:
      HandleMicroBreakTimer(context_, services, held());
      return true;
    case TimerId::kWorkTypeMaximum:
      HandleWorkTypeMaximumTimer(context_, services, held());
      return true;
    case TimerId::kMaximumBreak:
      HandleMaximumBreakTimer(context_, services, held());
      return true;
    default:
      return false;
  }
}

bool AlertRunner::TakeAskOnTop() {
  const bool on_top = reminder_on_top_.value_or(true);
  reminder_on_top_.reset();
  return on_top;
}

void AlertRunner::BreakReminder() {
  BreakReminderServices services;
  services.play_reminder_sound = [this](std::uint32_t kind, const std::string& path) {
    PlaySound(kind, path);
  };
  services.stop_reminder_sound = [this] { context_.ui.StopSound(); };
  services.random_phrase = [this] { return RandomPhrase(); };
  services.pause = [this](std::uint32_t ms) { Pause(ms); };
  services.ask_on_lock_desktop = [this](const Question& question) {
    return ShowLockedReminder(lock_, question, choice_open_, program_icon_);
  };
  {
    const StateLock lock(context_.state.mutex);
    reminder_on_top_ = IsOn(context_.state.data.on_top_alert);
  }
  HandleBreakReminderTimer(context_, services, held());
  reminder_on_top_.reset();  // not asked (held, no window, or locked)
}

void AlertRunner::Pause(std::uint32_t ms) {
  pausing_ = true;
  const ULONGLONG end = ::GetTickCount64() + ms;
  for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
        pausing_ = false;
        return;
      }
      if (IsUserInput(message.message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  pausing_ = false;
}

void AlertRunner::PlaySound(std::uint32_t kind, const std::string& path) {
  PlayReminderSound(
      context_.ui, context_.files, [this](std::uint32_t n) { return context_.random.Draw(n); },
      kind, path);
}

std::string AlertRunner::RandomPhrase() {
  if (phrases_.empty()) return {};
  const auto count = static_cast<std::uint32_t>(phrases_.size());
  const std::uint32_t drawn = std::clamp<std::uint32_t>(context_.random.Draw(count), 1, count);
  return phrases_[drawn - 1];
}

}  // namespace tolvi::win
