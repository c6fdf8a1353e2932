#include "simulation.h"

#include <algorithm>

#include "engine/day_check.h"
#include "engine/mode_commands.h"
#include "engine/monitor_thread.h"
#include "engine/program_files.h"
#include "engine/requests.h"
#include "engine/standard_hooks.h"
#include "engine/tick.h"
#include "state/command_ids.h"

namespace tolvi::sim {
namespace {

constexpr std::uint64_t kPassWaitMs = 6'000;
constexpr std::uint64_t kTrayRetryMs = 500;
// A main thread blocked on the request slot gives up after this many
// monitor passes (a slot that never frees is a fault of the script).
constexpr int kSlotWaitPasses = 100'000;

int ByteOrder(std::string_view a, std::string_view b) {
  return a.compare(b);
}

}  // namespace

std::optional<std::uint32_t> SeededRandom::Next() {
  // xorshift64*: small, fast and the same on every machine.
  state_ ^= state_ >> 12;
  state_ ^= state_ << 25;
  state_ ^= state_ >> 27;
  return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1DULL) >> 32);
}

Simulation::Simulation(std::filesystem::path data_directory, std::ostream& out)
    : data_directory_(std::move(data_directory)),
      out_(out),
      ui_(out, clock_, data_directory_),
      context_(std::make_unique<CoreContext>(CorePorts{clock_, ui_.port(), files_, random_},
                                             data_directory_, data_directory_, ByteOrder)) {
  InstallStandardHooks(*context_);
  InstallDefaultHandlers();
}

void Simulation::SetTimerHandler(TimerId id, TimerHandler handler) {
  timer_handlers_[id] = std::move(handler);
}

void Simulation::SetCommandHandler(std::uint32_t command_id, CommandHandler handler) {
  command_handlers_[command_id] = std::move(handler);
}

void Simulation::PlanDialog(std::uint64_t open_for_ms, std::optional<std::int32_t> value) {
  dialog_plan_ = DialogPlan{open_for_ms, value};
}

std::string Simulation::Start() {
  if (phase_ != Phase::kNotStarted) return "the program was started already";
  if (const Status made = files_.CreateDirectories(data_directory_); !made.ok()) {
    return "cannot create the data directory: " + made.message();
  }
  const LoadResult loaded = LoadProgramFiles(context());
  for (const std::string& notice : loaded.notices) ui_.Note("notice " + notice);
  if (loaded.outcome == LoadOutcome::kQuit) {
    ui_.Note("quit");
    phase_ = Phase::kEnded;
    return {};
  }
  phase_ = Phase::kRunning;
  PrepareMonitorStart(context());
  // The start sequence's 500 ms pause; the main thread runs on meanwhile.
  RunEventsUntil(clock_.elapsed() + kTrayRetryMs, /*inclusive=*/false);
  tray_added_ = BeginTrayAndCountdown(context());
  monitor_running_ = true;
  next_pass_at_ = clock_.elapsed();
  next_tray_retry_at_ = clock_.elapsed() + kTrayRetryMs;
  return {};
}

std::string Simulation::Run(std::uint64_t milliseconds) {
  if (phase_ != Phase::kRunning) return "the program is not running";
  RunEventsUntil(clock_.elapsed() + milliseconds, /*inclusive=*/false);
  return {};
}

std::string Simulation::Sleep(std::uint64_t milliseconds) {
  if (phase_ == Phase::kEnded) return "the program has ended";
  clock_.Advance(milliseconds);
  // Whatever fell due while the machine slept happens at the wake-up.
  const std::uint64_t now = clock_.elapsed();
  ui_.CatchUpTimers();
  next_pass_at_ = std::max(next_pass_at_, now);
  next_tray_retry_at_ = std::max(next_tray_retry_at_, now);
  if (dialog_) dialog_->closes_at = std::max(dialog_->closes_at, now);
  return {};
}

std::string Simulation::Stop() {
  if (phase_ != Phase::kRunning) return "the program is not running";
  DispatchWindowCommand(command::kExit, std::nullopt);
  HandlePosted();
  NoticeWake();
  RunEventsUntil(clock_.elapsed(), /*inclusive=*/true);
  return {};
}

std::string Simulation::Command(std::uint32_t command_id, std::optional<std::int32_t> value) {
  if (phase_ != Phase::kRunning) return "the program is not running";
  DispatchWindowCommand(command_id, value);
  HandlePosted();
  NoticeWake();
  return {};
}

std::string Simulation::TrayLeftClick() {
  if (phase_ != Phase::kRunning) return "the program is not running";
  tolvi::TrayLeftClick(context());
  HandlePosted();
  NoticeWake();
  return {};
}

void Simulation::WallClockChanged() {
  if (phase_ != Phase::kRunning) return;
  RunDayCheck(context());
  HandlePosted();
  NoticeWake();
}

void Simulation::RunEventsUntil(std::uint64_t end, bool inclusive) {
  const auto due = [&](std::optional<std::uint64_t> at) {
    return at && (*at < end || (inclusive && *at == end));
  };
  while (true) {
    const std::optional<std::uint64_t> monitor = NextMonitorEvent();
    const std::optional<std::uint64_t> main = NextMainEvent();
    const bool monitor_first = due(monitor) && (!main || *monitor <= *main);
    if (!monitor_first && !due(main)) break;
    const std::uint64_t at = monitor_first ? *monitor : *main;
    if (at > clock_.elapsed()) clock_.Advance(at - clock_.elapsed());
    if (!monitor_first) {
      MainEvent();
    } else if (!tray_added_ && next_tray_retry_at_ <= next_pass_at_) {
      MonitorTrayRetry();
    } else {
      MonitorPass();
    }
  }
  if (end > clock_.elapsed()) clock_.Advance(end - clock_.elapsed());
}

std::optional<std::uint64_t> Simulation::NextMonitorEvent() const {
  if (!monitor_running_) return std::nullopt;
  if (!tray_added_) return std::min(next_pass_at_, next_tray_retry_at_);
  return next_pass_at_;
}

std::optional<std::uint64_t> Simulation::NextMainEvent() const {
  std::optional<std::uint64_t> next;
  if (const auto timer = ui_.NextTimer()) next = timer->due;
  if (dialog_ && (!next || dialog_->closes_at < *next)) next = dialog_->closes_at;
  return next;
}

void Simulation::MonitorPass() {
  if (ExitRequested(context())) {
    FinishMonitorThread();
    return;
  }
  RunMonitorPass(context());
  HandlePosted();
  // The wait: 6,000 ms, or none when WakeEvent is already set.
  ManualResetEvent& wake = context().events.wake;
  if (wake.IsSet()) {
    wake.Reset();
    next_pass_at_ = clock_.elapsed();
  } else {
    next_pass_at_ = clock_.elapsed() + kPassWaitMs;
  }
}

void Simulation::MonitorTrayRetry() {
  tray_added_ = RetryTrayAdd(context());
  next_tray_retry_at_ = clock_.elapsed() + kTrayRetryMs;
}

void Simulation::FinishMonitorThread() {
  monitor_running_ = false;
  FinishMonitor(context());
  HandlePosted();
}

void Simulation::MainEvent() {
  const std::optional<Window::DueTimer> timer = ui_.NextTimer();
  if (dialog_ && (!timer || dialog_->closes_at < timer->due)) {
    CloseWorkTypeDialog();
  } else if (timer) {
    ui_.TimerFired(timer->id);
    if (const auto handler = timer_handlers_.find(timer->id); handler != timer_handlers_.end()) {
      handler->second(*this);
    } else {
      ui_.port().KillTimer(timer->id);
    }
  }
  HandlePosted();
  NoticeWake();
}

void Simulation::HandlePosted() {
  while (const std::optional<std::uint32_t> message = ui_.TakePosted()) {
    if (*message == Window::kCloseMessage) {
      std::lock_guard lock(context().state.mutex);
      context().state.activity.window_shown = false;
    } else {
      DispatchWindowCommand(*message, std::nullopt);
    }
  }
}

void Simulation::NoticeWake() {
  if (!monitor_running_) return;
  ManualResetEvent& wake = context().events.wake;
  if (!wake.IsSet()) return;
  wake.Reset();
  next_pass_at_ = std::min(next_pass_at_, clock_.elapsed());
}

bool Simulation::WaitForRequestSlot() {
  for (int pass = 0; !context().events.request_free.IsSet(); ++pass) {
    if (SlotHeldForDialog(context()) || !monitor_running_ || pass == kSlotWaitPasses) {
      return false;
    }
    // Only the monitor runs while the main thread is blocked.
    if (next_pass_at_ > clock_.elapsed()) clock_.Advance(next_pass_at_ - clock_.elapsed());
    MonitorPass();
  }
  return true;
}

void Simulation::DispatchWindowCommand(std::uint32_t command_id,
                                       std::optional<std::int32_t> value) {
  if (const auto custom = command_handlers_.find(command_id); custom != command_handlers_.end()) {
    custom->second(*this, value);
    return;
  }
  switch (command_id) {
    case command::kWorkTypeDialog:
      OpenWorkTypeDialog(value);
      return;
    case command::kDestroyWindow:
      Quit();
      return;
    default:
      break;
  }
  if (const std::optional<RequestOrder> order = RequestForCommand(context(), command_id)) {
    if (WaitForRequestSlot()) (void)TryPostRequest(context(), order->code, order->value);
    return;
  }
  if (!DispatchEngineCommand(context(), command_id)) {
    ui_.Note("command " + std::to_string(command_id) + " is not simulated");
  }
}

void Simulation::OpenWorkTypeDialog(std::optional<std::int32_t> value) {
  const std::optional<WorkTypeDialog> dialog = BeginWorkTypeDialog(context());
  if (!dialog) return;
  const bool details = *dialog == WorkTypeDialog::kWorkDetails;
  ui_.Note(details ? "dialog 1022" : "dialog 1045");
  dialog_ = OpenDialog{clock_.elapsed() + dialog_plan_.open_for_ms,
                       value ? value : dialog_plan_.value, details};
  const bool closes_now = dialog_plan_.open_for_ms == 0;
  dialog_plan_ = DialogPlan{};
  if (closes_now) CloseWorkTypeDialog();
}

void Simulation::CloseWorkTypeDialog() {
  const OpenDialog dialog = *dialog_;
  dialog_.reset();
  if (dialog.value) {
    std::lock_guard lock(context().state.mutex);
    context().state.activity.request_value = *dialog.value;
  }
  ui_.Note("dialog closed");
  EndWorkTypeDialog(
      context(), dialog.work_details ? WorkTypeDialog::kWorkDetails : WorkTypeDialog::kSelectWork);
}

void Simulation::Quit() {
  if (phase_ == Phase::kEnded) return;
  phase_ = Phase::kEnded;
  monitor_running_ = false;
  if (const Status saved = SaveProgramFiles(context()); !saved.ok()) {
    ui_.Note("save failed: " + saved.message());
  }
  ui_.Note("quit");
}

}  // namespace tolvi::sim
