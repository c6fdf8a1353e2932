// WinUi: the Ui port on Win32. The core calls it from the monitor thread and
// from the GUI thread; every call is carried out on the GUI thread (the one
// that created the WinUi):
// - calls made on the GUI thread run at once;
// - calls from another thread are queued, in order, and the main window is
//   woken by a posted kRunQueuedMessage; repaint requests are coalesced;
// - Ask from another thread waits for the GUI thread's answer
//   (SendMessage), so the question is shown by the thread owning the window;
// - AddTray from another thread queues the add and returns what the last
//   add found, so the monitor's retry loop never waits for the GUI thread.
//
// Timers are SetTimer timers on the main window, id = TimerId, periodic
// until killed; WM_TIMER is handed back through OnTimer. Commands are
// posted as WM_COMMAND. Questions asked before the window exists get a
// stand-alone question window; notices told then go to standard error and
// to the target once it is set.
//
// Ownership: owned by the application; it must outlive every thread that
// calls it. The target and window are borrowed.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/win/win_desktop.h"
#include "reminders/choice.h"

namespace tolvi::win {

// Posted to the main window to run the calls queued from other threads.
inline constexpr UINT kRunQueuedMessage = WM_APP + 1;
// Sent to the main window to ask a question from another thread
// (lParam: the std::function<void()> that asks).
inline constexpr UINT kRunNowMessage = WM_APP + 2;

// What the main window side provides. GUI thread only.
class UiTarget {
 public:
  virtual ~UiTarget() = default;
  virtual void OnClose() = 0;
  virtual void OnRepaint() = 0;
  virtual void OnSetTray(TrayIcon icon, const std::string& tooltip) = 0;
  virtual bool OnAddTray(TrayIcon icon, const std::string& tooltip) = 0;
  virtual void OnBalloon(const std::string& title, const std::string& text, TrayIcon icon) = 0;
  virtual int OnAsk(const Question& question) = 0;
  virtual void OnNotice(const std::string& text) = 0;
};

class WinUi final : public Ui {
 public:
  WinUi();

  // The window that receives timers, commands and queued calls, and the
  // side that shows things; notices told before are handed on.
  void SetTarget(HWND window, UiTarget* target);
  // Runs the calls queued from other threads (on kRunQueuedMessage).
  void RunQueued();
  WinSound& sound() { return sound_; }
  bool sound_playing() const { return sound_playing_; }

  void ArmTimer(TimerId id, std::uint32_t period_ms) override;
  void KillTimer(TimerId id) override;
  void PostCommand(std::uint32_t command_id) override;
  void PostClose() override;
  void RequestRepaint() override;
  void SetTray(TrayIcon icon, const std::string& tooltip) override;
  bool AddTray(TrayIcon icon, const std::string& tooltip) override;
  void ShowBalloon(const std::string& title, const std::string& text, TrayIcon icon) override;
  void Notify(const std::string& text) override;
  int Ask(const Question& question) override;
  void Beep() override;
  void PlaySoundFile(const std::filesystem::path& file) override;
  void StopSound() override;
  void OpenWithDefaultApp(const std::filesystem::path& file) override;

 private:
  bool OnGuiThread() const { return ::GetCurrentThreadId() == gui_thread_; }
  void RunOnGuiThread(std::function<void()> call);
  void Queue(std::function<void()> call);

  const DWORD gui_thread_;
  HWND window_ = nullptr;
  UiTarget* target_ = nullptr;
  WinSound sound_;
  bool sound_playing_ = false;
  std::mutex queue_mutex_;
  std::vector<std::function<void()>> queue_;
  std::atomic<bool> repaint_queued_{false};
  std::atomic<bool> tray_shown_{false};
  ChoiceOpenFlag early_choice_open_;
  std::vector<std::string> early_notices_;
};

}  // namespace tolvi::win
