// The monitor thread: its start sequence, one pass of its loop, the exit
// handshake, and MonitorThread, the std::jthread that runs them against the
// real clock. tolvi-sim drives the same pieces on a virtual clock.
//
// The pieces take the state lock themselves. The start first writes any
// work-log lines a previous run left waiting. MonitorThread is created and
// joined on the GUI thread; everything else here runs on the monitor thread.
#pragma once

#include <chrono>
#include <thread>

#include "state/core_context.h"

namespace tolvi {

inline constexpr std::chrono::milliseconds kMonitorWait{6'000};
inline constexpr std::chrono::milliseconds kTrayRetryWait{500};

// Start sequence, first half: loads the current work type, sets the marks
// and LastTickCount, runs the day check. The caller then pauses 500 ms and
// calls BeginTrayAndCountdown.
void PrepareMonitorStart(CoreContext& context);
// Start sequence, second half: StartWork when AutoBegin is set, the first
// tray add, and a full break interval to count down. Returns whether the tray
// icon was added; if not, the loop keeps retrying with RetryTrayAdd.
bool BeginTrayAndCountdown(CoreContext& context);
// One more try at adding the tray icon for the current mode.
bool RetryTrayAdd(CoreContext& context);

// True once the exit flag is set.
bool ExitRequested(CoreContext& context);
// The loop body: a tick when no request is pending, else the request (none
// while a work-type dialog is open); then the repaint request when the
// main window is shown. A tick's housekeeping save follows once the tick
// has let go of the state lock.
void RunMonitorPass(CoreContext& context);
// After the loop: hide the window, store the current work type, close the
// record database, ask for the window to be destroyed.
void FinishMonitor(CoreContext& context);

// Runs the monitor loop on its own thread until the exit handshake ends it.
class MonitorThread {
 public:
  explicit MonitorThread(CoreContext& context) : context_(context) {}
  ~MonitorThread();
  MonitorThread(const MonitorThread&) = delete;
  MonitorThread& operator=(const MonitorThread&) = delete;

  void Start();
  // Waits for the thread to end (after the exit handshake).
  void Join();

 private:
  void Run(const std::stop_token& stop);
  void WaitForWake(const std::stop_token& stop, bool& tray_added);

  CoreContext& context_;
  std::jthread thread_;
};

}  // namespace tolvi
