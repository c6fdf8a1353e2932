#include "reminders/break_reminder.h"

#include "engine/tick.h"
#include "settings/settings.h"
#include "text/text.h"

namespace tolvi {
namespace {

// What the handler reads from the shared state before it lets go of the lock.
struct ReminderSettings {
  ReminderAction action = ReminderAction::kNotificationWindow;
  std::string file;
  bool random_phrase = false;
  std::string text;
  bool lock_screen = false;
  bool auto_cont = false;
};

ReminderSettings ReadSettings(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  const ProgramData& data = context.state.data;
  ReminderSettings settings;
  settings.action = ReminderActionOf(data);
  settings.file = FieldText(data.reminder_file);
  settings.random_phrase = IsOn(data.random_phrase);
  settings.text = FieldText(data.reminder_text);
  settings.lock_screen = IsOn(data.lock_screen);
  settings.auto_cont = IsOn(data.auto_cont);
  return settings;
}

Question ReminderQuestion(const ReminderSettings& settings, const BreakReminderServices& services) {
  Question question;
  if (settings.random_phrase) {
    if (services.random_phrase) question.message = services.random_phrase();
  } else {
    question.message = settings.text;
  }
  question.first_button = std::string(kTakeBreakButton);
  question.second_button = std::string(kSnoozeButton);
  question.font = QuestionFont::kSmall;
  return question;
}

}  // namespace

ReminderOutcome DecideReminderOutcome(int answer, bool auto_cont) {
  if (answer != 1) return ReminderOutcome::kSnooze;
  return auto_cont ? ReminderOutcome::kResumeWork : ReminderOutcome::kStayOnBreak;
}

void ApplyReminderOutcome(CoreContext& context, ReminderOutcome outcome) {
  switch (outcome) {
    case ReminderOutcome::kStayOnBreak:
      return;
    case ReminderOutcome::kResumeWork:
      StartWork(context);
      return;
    case ReminderOutcome::kSnooze:
      // The snooze replaces whatever interval StartWork chose.
      StartWork(context);
      context.state.activity.break_countdown_ms = context.state.data.snooze_time;
      return;
  }
}

void HandleBreakReminderTimer(CoreContext& context, const BreakReminderServices& services,
                              bool choice_open) {
  if (choice_open) return;
  context.ui.KillTimer(TimerId::kBreakReminder);
  const ReminderSettings settings = ReadSettings(context);
  if (services.play_reminder_sound)
    services.play_reminder_sound(Stored(settings.action), settings.file);
  if (!ShowsReminderWindow(settings.action)) {
    if (services.pause) services.pause(kNoWindowPauseMs);
  } else {
    const Question question = ReminderQuestion(settings, services);
    const int answer = settings.lock_screen && services.ask_on_lock_desktop
                           ? services.ask_on_lock_desktop(question)
                           : context.ui.Ask(question);
    const StateLock lock(context.state.mutex);
    ApplyReminderOutcome(context, DecideReminderOutcome(answer, settings.auto_cont));
  }
  if (services.stop_reminder_sound) services.stop_reminder_sound();
}

}  // namespace tolvi
