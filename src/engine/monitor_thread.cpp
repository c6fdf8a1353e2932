#include "engine/monitor_thread.h"

#include <algorithm>
#include <optional>
#include <string>

#include "accounting/work_types.h"
#include "engine/day_check.h"
#include "engine/program_files.h"
#include "engine/requests.h"
#include "engine/tick.h"
#include "engine/tray_updates.h"
#include "settings/settings.h"
#include "state/command_ids.h"
#include "state/write_failures.h"
#include "storage/program_data_file.h"
#include "text/text.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

bool AddTrayForMode(CoreContext& context) {
  TrayIcon icon = TrayIcon::kOnBreak;
  {
    const StateLock lock(context.state.mutex);
    icon = StartupTrayIcon(context.state.activity);
  }
  return context.ui.AddTray(icon, std::string(kProgramTitle));
}

}  // namespace

void PrepareMonitorStart(CoreContext& context) {
  StateLock lock(context.state.mutex);
  // Without a record behind it, every working tick would hit a maximum of 0.
  const bool replaced = ReplaceMissingCurrentWorkType(context.state, context.records);
  LoadCurrentWorkType(context.state, context.records);
  if (replaced) {
    context.ui.Notify("The current work type was not found in the work-type database; \"" +
                      FieldText(context.state.data.current_name) + "\" is current now.");
  }
  // Lines a previous run could not write go first, before today's.
  ContextWorkLog(context).WritePending();
  context.state.activity.phase = 0;
  context.state.activity.break_mark = context.state.data.break_today_ms;
  context.state.activity.last_tick_count = context.clock.TickCount();
  RunDayCheck(context, lock);
}

bool BeginTrayAndCountdown(CoreContext& context) {
  {
    const StateLock lock(context.state.mutex);
    if (IsOn(context.state.data.auto_begin)) StartWork(context);
  }
  const bool added = AddTrayForMode(context);
  const StateLock lock(context.state.mutex);
  context.state.activity.break_countdown_ms = context.state.data.break_interval;
  return added;
}

bool RetryTrayAdd(CoreContext& context) {
  return AddTrayForMode(context);
}

bool ExitRequested(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  return context.state.activity.working_flag == WorkingFlag::kExit;
}

void RunMonitorPass(CoreContext& context) {
  bool save_due = false;
  {
    StateLock lock(context.state.mutex);
    ActivityState& activity = context.state.activity;
    if (activity.request_code == request::kNone) {
      save_due = RunTick(context);
    } else if (activity.request_code != request::kDialogOpen) {
      HandleRequest(context, lock);
    }
    if (activity.window_shown) context.ui.RequestRepaint();
  }
  if (save_due) SaveProgramFilesOrTell(context);
}

void FinishMonitor(CoreContext& context) {
  context.ui.PostClose();
  {
    const StateLock lock(context.state.mutex);
    ReportRecordWrite(context, FlushCurrentWorkType(context.state, context.records));
  }
  context.records.Close();
  context.ui.PostCommand(command::kDestroyWindow);
  context.events.request_free.Call();
}

MonitorThread::~MonitorThread() {
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
  }
}

void MonitorThread::Start() {
  thread_ = std::jthread([this](const std::stop_token& stop) { Run(stop); });
}

void MonitorThread::Join() {
  if (thread_.joinable()) thread_.join();
}

void MonitorThread::Run(const std::stop_token& stop) {
  std::stop_callback wake_on_stop(stop, [this] { context_.events.wake.Set(); });
  PrepareMonitorStart(context_);
  std::this_thread::sleep_for(kTrayRetryWait);
  bool tray_added = BeginTrayAndCountdown(context_);
  while (!ExitRequested(context_) && !stop.stop_requested()) {
    RunMonitorPass(context_);
    WaitForWake(stop, tray_added);
  }
  FinishMonitor(context_);
}

void MonitorThread::WaitForWake(const std::stop_token& stop, bool& tray_added) {
  // While no tray exists the add is retried every 500 ms inside the wait,
  // so a desktop without a tray never holds back the ticks.
  using SteadyClock = std::chrono::steady_clock;
  const SteadyClock::time_point deadline = SteadyClock::now() + kMonitorWait;
  ManualResetEvent& wake = context_.events.wake;
  while (!stop.stop_requested()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
    if (left <= std::chrono::milliseconds::zero()) break;
    if (tray_added) {
      wake.WaitFor(left);
      break;
    }
    if (wake.WaitFor(std::min(left, kTrayRetryWait))) break;
    tray_added = RetryTrayAdd(context_);
  }
  wake.Reset();
}

}  // namespace tolvi
