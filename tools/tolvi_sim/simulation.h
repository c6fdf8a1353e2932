// Simulation: the whole program on a virtual clock, single-threaded and
// deterministic. It plays both threads: the monitor loop (start sequence,
// passes every 6,000 ms of virtual time or at once when woken, the exit
// handshake) and the main thread (window commands, posted messages, the
// main-window timers and their handlers, the work-type dialogs).
//
// Extension points for later subsystems: SetTimerHandler and
// SetCommandHandler replace what a main-window timer or command does, and
// context().hooks are the core's own seams (InstallStandardHooks runs
// first). Scripts reach all of it through the command table
// (command_table.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "sim_window.h"
#include "state/core_context.h"
#include "unsynced_file_system.h"
#include "virtual_clock.h"

namespace tolvi::sim {

// A fixed-seed RandomSource: every run draws the same numbers.
class SeededRandom final : public RandomSource {
 public:
  std::optional<std::uint32_t> Next() override;

 private:
  std::uint64_t state_ = 0x2545F4914F6CDD1DULL;
};

class Simulation {
 public:
  Simulation(std::filesystem::path data_directory, std::ostream& out);

  VirtualClock& clock() { return clock_; }
  Window& ui() { return ui_; }
  CoreContext& context() { return *context_; }

  enum class Phase { kNotStarted, kRunning, kEnded };
  Phase phase() const { return phase_; }

  // Each returns an error text, empty on success.
  std::string Start();
  std::string Run(std::uint64_t milliseconds);
  std::string Sleep(std::uint64_t milliseconds);
  std::string Stop();
  // A main-window command as a menu sends it. value: for 2018, the value
  // the work-type dialog leaves.
  std::string Command(std::uint32_t command_id, std::optional<std::int32_t> value = {});
  std::string TrayLeftClick();
  // The wall clock was changed by the user or the system.
  void WallClockChanged();

  // The next work-type dialog stays open this long and leaves value (if
  // given) in RequestValue.
  void PlanDialog(std::uint64_t open_for_ms, std::optional<std::int32_t> value);

  using TimerHandler = std::function<void(Simulation&)>;
  void SetTimerHandler(TimerId id, TimerHandler handler);
  using CommandHandler = std::function<void(Simulation&, std::optional<std::int32_t> value)>;
  void SetCommandHandler(std::uint32_t command_id, CommandHandler handler);

 private:
  struct OpenDialog {
    std::uint64_t closes_at = 0;
    std::optional<std::int32_t> value;
    bool work_details = false;
  };
  struct DialogPlan {
    std::uint64_t open_for_ms = 0;
    std::optional<std::int32_t> value;
  };

  void InstallDefaultHandlers();
  // Advances to `end`, running every event due before it, in time order.
  void RunEventsUntil(std::uint64_t end, bool inclusive);
  std::optional<std::uint64_t> NextMonitorEvent() const;
  std::optional<std::uint64_t> NextMainEvent() const;
  void MonitorPass();
  void MonitorTrayRetry();
  void FinishMonitorThread();
  void MainEvent();
  void HandlePosted();
  void DispatchWindowCommand(std::uint32_t command_id, std::optional<std::int32_t> value);
  void OpenWorkTypeDialog(std::optional<std::int32_t> value);
  void CloseWorkTypeDialog();
  // The monitor's wait ends early when the main thread set WakeEvent.
  void NoticeWake();
  // The main thread is blocked until the request slot frees; the monitor
  // runs on meanwhile. False when the slot is held for a dialog.
  bool WaitForRequestSlot();
  void Quit();

  std::filesystem::path data_directory_;
  std::ostream& out_;
  VirtualClock clock_;
  Window ui_;
  UnsyncedFileSystem files_;
  SeededRandom random_;
  std::unique_ptr<CoreContext> context_;
  Phase phase_ = Phase::kNotStarted;

  bool monitor_running_ = false;
  std::uint64_t next_pass_at_ = 0;
  bool tray_added_ = true;
  std::uint64_t next_tray_retry_at_ = 0;
  std::optional<OpenDialog> dialog_;
  DialogPlan dialog_plan_;
  std::map<TimerId, TimerHandler> timer_handlers_;
  std::map<std::uint32_t, CommandHandler> command_handlers_;
};

}  // namespace tolvi::sim
