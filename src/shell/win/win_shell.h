// WinShell: the running program's windows and their wiring on Win32. It
// owns the main window, the tray icon, the alert timers' handlers, the
// dialogs' services and the monitor thread; it receives the Ui port's calls
// (as its UiTarget), the main window's messages, and carries out the
// window's commands (as its WindowActions).
//
// Life: Start shows the window (or not) and starts the monitor; the
// message loop then runs until command 2012 destroys the window (WM_QUIT);
// Finish waits for the monitor and leaves the saving to the caller.
// RequestExit starts the exit without a question: a WM_CLOSE sent from
// outside (the caption's close box only hides the window) and the end of
// the session.
//
// GUI thread only. Borrows the context and the WinUi, which outlive it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/options_model.h"
#include "dialogs/win/win_dialogs.h"
#include "engine/monitor_thread.h"
#include "reminders/choice.h"
#include "shell/alert_dispatcher.h"
#include "shell/main_window_commands.h"
#include "shell/tray_menu.h"
#include "shell/win/main_window.h"
#include "shell/win/remote_server.h"
#include "shell/win/tray.h"
#include "shell/win/win_ui.h"
#include "state/core_context.h"

namespace tolvi::win {

struct ShellOptions {
  HINSTANCE instance = nullptr;
  std::vector<std::string> phrases;
  // The log-on entry's command: the program's path, then its arguments.
  std::vector<std::string> autostart_command;
};

class WinShell final : public UiTarget, public WindowActions {
 public:
  WinShell(CoreContext& context, WinUi& ui, ShellOptions options);
  ~WinShell() override;
  WinShell(const WinShell&) = delete;
  WinShell& operator=(const WinShell&) = delete;

  void Start();
  void RequestExit();
  void Finish();
  // Tells the user something, as a balloon once the tray icon is shown.
  void Tell(const std::string& title, const std::string& text);

  // UiTarget
  void OnClose() override;
  void OnRepaint() override;
  void OnSetTray(TrayIcon icon, const std::string& tooltip) override;
  bool OnAddTray(TrayIcon icon, const std::string& tooltip) override;
  void OnBalloon(const std::string& title, const std::string& text, TrayIcon icon) override;
  int OnAsk(const Question& question) override;
  void OnNotice(const std::string& text) override;

  // WindowActions
  void OpenReadMe() override;
  void OpenOptions() override;
  void OpenAbout() override;
  void ShowMainWindow() override;
  void TerminateSound() override;
  void DestroyMainWindow() override;
  void ApplyOpacity(std::uint32_t alpha) override;
  void ApplyOnTop(bool on_top) override;
  void RunWorkTypeDialog() override;
  void ServeWhileWaiting() override;

 private:
  bool HandleMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result);
  void OnTimer(TimerId id);
  void OnCommand(std::uint32_t command_id);
  void OnTrayCallback(LPARAM mouse_message);
  void ShowMenu(MenuVariant variant, std::optional<std::uint32_t> client_y);
  void ShowAtStart();
  void StorePlacement();
  void SetWindowShown(bool shown);
  void AssertExit();
  // The command line's controls (shell/win/remote_server.h).
  void StartRemoteServer();
  void AnswerRemote(RemoteCall& call);

  CoreContext& context_;
  WinUi& ui_;
  ShellOptions options_;
  HICON program_icon_ = nullptr;
  ChoiceOpenFlag choice_open_;
  OptionsOpenFlag options_open_;
  WinDialogServices dialog_services_;
  AlertDispatcher alerts_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Tray> tray_;
  std::unique_ptr<MonitorThread> monitor_;
  std::unique_ptr<RemoteServer> remote_;
  UINT taskbar_created_ = 0;
  bool destroyed_ = false;
  bool exit_requested_ = false;
  bool about_open_ = false;
  bool finishing_ = false;
  // Notices told before the tray icon was added: title and text.
  std::vector<std::pair<std::string, std::string>> untold_;
};

}  // namespace tolvi::win
