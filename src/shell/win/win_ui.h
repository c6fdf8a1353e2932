// WinUi: the Ui port on Win32, over the toolkit-free forwarding of
// shell/forwarding_ui.h (the threading rules are there). The GUI thread is
// the one that created the WinUi. Here:
// - calls queued from other threads wake the main window with a posted
//   kRunQueuedMessage;
// - Ask from another thread waits for the GUI thread's answer
//   (SendMessage), so the question is shown by the thread owning the window;
//   questions asked before the window exists get a stand-alone window;
// - timers are SetTimer timers on the main window, id = TimerId, periodic
//   until killed; WM_TIMER is handed back through OnTimer. Commands are
//   posted as WM_COMMAND.
//
// Ownership: owned by the application; it must outlive every thread that
// calls it. The target and window are borrowed.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "platform/win/win_desktop.h"
#include "reminders/choice.h"
#include "shell/forwarding_ui.h"

namespace tolvi::win {

// Posted to the main window to run the calls queued from other threads.
inline constexpr UINT kRunQueuedMessage = WM_APP + 1;
// Sent to the main window to ask a question from another thread
// (lParam: the std::function<void()> that asks).
inline constexpr UINT kRunNowMessage = WM_APP + 2;

class WinUi final : public ForwardingUi {
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
  int Ask(const Question& question) override;
  void Beep() override;
  void PlaySoundFile(const std::filesystem::path& file) override;
  void StopSound() override;
  void OpenWithDefaultApp(const std::filesystem::path& file) override;

 private:
  [[nodiscard]] bool OnGuiThread() const override { return ::GetCurrentThreadId() == gui_thread_; }
  void Queue(std::function<void()> call) override;

  const DWORD gui_thread_;
  HWND window_ = nullptr;
  WinSound sound_;
  bool sound_playing_ = false;
  std::mutex queue_mutex_;
  std::vector<std::function<void()>> queue_;
  ChoiceOpenFlag early_choice_open_;
};

}  // namespace tolvi::win
