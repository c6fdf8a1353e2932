// The main-window timer handlers of the simulated main thread: the core's
// own, with sound and pause services that print what they would do
// ("sound KIND|FILE", "pause MS") until a sound layer is plugged in with
// Simulation::SetTimerHandler.
#include "engine/requests.h"
#include "reminders/break_reminder.h"
#include "shell/alert_timers.h"
#include "simulation.h"

namespace tolvi::sim {
namespace {

void PrintSound(Simulation& sim, std::uint32_t kind, const std::string& file) {
  sim.ui().Note("sound " + std::to_string(kind) + "|" + sim.ui().ShowPath(file));
}

void PrintPause(Simulation& sim, std::uint32_t ms) {
  sim.ui().Note("pause " + std::to_string(ms));
}

template <typename Services>
Services PrintingServices(Simulation& sim) {
  Services services;
  services.play_reminder_sound = [&sim](std::uint32_t kind, const std::string& file) {
    PrintSound(sim, kind, file);
  };
  services.pause = [&sim](std::uint32_t ms) { PrintPause(sim, ms); };
  return services;
}

// No question window is ever left open between the simulated main thread's
// steps, so no alert is held.
constexpr bool kHeld = false;

using AlertHandler = bool (*)(CoreContext&, const AlertServices&, bool);

Simulation::TimerHandler Alert(AlertHandler handle) {
  return [handle](Simulation& sim) {
    handle(sim.context(), PrintingServices<AlertServices>(sim), kHeld);
  };
}

}  // namespace

void Simulation::InstallDefaultHandlers() {
  SetTimerHandler(TimerId::kBreakReminder, [](Simulation& sim) {
    HandleBreakReminderTimer(sim.context(), PrintingServices<BreakReminderServices>(sim), kHeld);
  });
  SetTimerHandler(TimerId::kMidnight, [](Simulation& sim) { OnMidnightTimer(sim.context()); });
  SetTimerHandler(TimerId::kMicroBreak, Alert(HandleMicroBreakTimer));
  SetTimerHandler(TimerId::kWorkTypeMaximum, Alert(HandleWorkTypeMaximumTimer));
  SetTimerHandler(TimerId::kMaximumBreak, Alert(HandleMaximumBreakTimer));
}

}  // namespace tolvi::sim
