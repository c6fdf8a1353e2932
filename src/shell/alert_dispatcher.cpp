#include "shell/alert_dispatcher.h"

#include <algorithm>

#include "reminders/break_reminder.h"
#include "reminders/reminder_sound.h"
#include "settings/settings.h"
#include "shell/alert_timers.h"

namespace tolvi {

bool AlertDispatcher::OnTimer(TimerId id) {
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

bool AlertDispatcher::TakeAskOnTop() {
  const bool on_top = reminder_on_top_.value_or(true);
  reminder_on_top_.reset();
  return on_top;
}

void AlertDispatcher::BreakReminder() {
  BreakReminderServices services;
  services.play_reminder_sound = [this](std::uint32_t kind, const std::string& path) {
    PlaySound(kind, path);
  };
  services.stop_reminder_sound = [this] { context_.ui.StopSound(); };
  services.random_phrase = [this] { return RandomPhrase(); };
  services.pause = [this](std::uint32_t ms) { Pause(ms); };
  if (toolkit_.ask_on_lock_desktop) {
    services.ask_on_lock_desktop = [this](const Question& question) {
      return toolkit_.ask_on_lock_desktop(lock_, question);
    };
  }
  {
    const StateLock lock(context_.state.mutex);
    reminder_on_top_ = IsOn(context_.state.data.on_top_alert);
  }
  HandleBreakReminderTimer(context_, services, held());
  reminder_on_top_.reset();  // not asked (held, no window, or locked)
}

void AlertDispatcher::Pause(std::uint32_t ms) {
  if (!toolkit_.pause) return;
  pausing_ = true;
  toolkit_.pause(ms);
  pausing_ = false;
}

void AlertDispatcher::PlaySound(std::uint32_t kind, const std::string& path) {
  PlayReminderSound(
      context_.ui, context_.files, [this](std::uint32_t n) { return context_.random.Draw(n); },
      kind, path);
}

std::string AlertDispatcher::RandomPhrase() {
  if (phrases_.empty()) return {};
  const auto count = static_cast<std::uint32_t>(phrases_.size());
  const std::uint32_t drawn = std::clamp<std::uint32_t>(context_.random.Draw(count), 1, count);
  return phrases_[drawn - 1];
}

}  // namespace tolvi
