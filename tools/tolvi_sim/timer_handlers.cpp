// The main-window timer handlers of the simulated main thread. The break
// reminder and the midnight timer are the core's own; the micro-break,
// work-maximum and maximum-break alerts are stand-ins that print the sound
// they would play ("sound KIND|FILE") until the sound layer's handlers are
// plugged in with Simulation::SetTimerHandler.
#include "engine/requests.h"
#include "reminders/break_reminder.h"
#include "simulation.h"
#include "text/text.h"

namespace tolvi::sim {
namespace {

constexpr std::uint32_t kAlertPauseMs = 4'000;
constexpr std::uint32_t kMicroBreakBeepAndBalloon = 1;

struct AlertSetting {
  std::uint32_t kind = 0;
  std::string file;
};

void PrintSound(Simulation& sim, std::uint32_t kind, const std::string& file) {
  sim.ui().Note("sound " + std::to_string(kind) + "|" + sim.ui().ShowPath(file));
}

void PrintPause(Simulation& sim, std::uint32_t ms) {
  sim.ui().Note("pause " + std::to_string(ms));
}

template <typename Read>
AlertSetting ReadAlert(Simulation& sim, Read read) {
  std::lock_guard lock(sim.context().state.mutex);
  return read(sim.context().state.data);
}

void BreakReminder(Simulation& sim) {
  BreakReminderServices services;
  services.play_reminder_sound = [&sim](std::uint32_t kind, const std::string& file) {
    PrintSound(sim, kind, file);
  };
  services.pause = [&sim](std::uint32_t ms) { PrintPause(sim, ms); };
  HandleBreakReminderTimer(sim.context(), services, /*choice_open=*/false);
}

void MicroBreak(Simulation& sim) {
  sim.ui().port().KillTimer(TimerId::kMicroBreak);
  const AlertSetting alert = ReadAlert(sim, [](const ProgramData& data) {
    return AlertSetting{data.micro_break_action, FieldText(data.micro_break_file)};
  });
  if (alert.kind > 0) PrintSound(sim, alert.kind, alert.file);
  if (alert.kind == kMicroBreakBeepAndBalloon) {
    sim.ui().port().ShowBalloon("Micro Break", "Get up for a quick stretch!", TrayIcon::kWorking);
  } else {
    PrintPause(sim, kAlertPauseMs);
  }
}

void WorkTypeMaximum(Simulation& sim) {
  sim.ui().port().KillTimer(TimerId::kWorkTypeMaximum);
  const AlertSetting alert = ReadAlert(sim, [](const ProgramData& data) {
    return AlertSetting{data.reminder_action, FieldText(data.reminder_file)};
  });
  PrintSound(sim, alert.kind, alert.file);
}

void MaximumBreak(Simulation& sim) {
  sim.ui().port().KillTimer(TimerId::kMaximumBreak);
  const AlertSetting alert = ReadAlert(sim, [](const ProgramData& data) {
    return AlertSetting{data.max_break_action, FieldText(data.max_break_file)};
  });
  PrintSound(sim, alert.kind, alert.file);
  PrintPause(sim, kAlertPauseMs);
}

}  // namespace

void Simulation::InstallDefaultHandlers() {
  SetTimerHandler(TimerId::kBreakReminder, BreakReminder);
  SetTimerHandler(TimerId::kMidnight, [](Simulation& sim) { OnMidnightTimer(sim.context()); });
  SetTimerHandler(TimerId::kMicroBreak, MicroBreak);
  SetTimerHandler(TimerId::kWorkTypeMaximum, WorkTypeMaximum);
  SetTimerHandler(TimerId::kMaximumBreak, MaximumBreak);
}

}  // namespace tolvi::sim
