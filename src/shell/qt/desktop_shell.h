// DesktopShell: the running program's windows and their wiring. It owns the
// main window, the tray icon, the alert timers' handlers, the dialogs'
// services and the monitor thread; it receives the Ui port's calls (as its
// UiTarget) and carries out the main window's commands (as its
// WindowActions).
//
// Life: Start shows the window (or not) and starts the monitor; the event
// loop then runs until command 2012 ends it; Finish waits for the monitor
// and leaves the saving to the caller. RequestExit starts the exit without
// a question (session end, signals).
//
// Without a tray host the program still counts; the window is shown at
// start, the close box minimizes it instead of hiding it, and the user is
// told once why.
//
// GUI thread only. Borrows the context and the QtUi, which must outlive it.
#pragma once

#include <QIcon>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/options_model.h"
#include "dialogs/qt/dialog_services.h"
#include "engine/monitor_thread.h"
#include "reminders/choice.h"
#include "shell/alert_dispatcher.h"
#include "shell/main_window_commands.h"
#include "shell/qt/qt_ui.h"
#include "shell/tray_menu.h"
#include "state/core_context.h"

namespace tolvi {

class DbusService;
class MainWindow;
class TimeChangeNotifier;
class Tray;

struct ShellOptions {
  QIcon program_icon;
  std::vector<std::string> phrases;
  // Written into the log-on entry after the program's path.
  std::vector<std::string> autostart_arguments;
  // Start the monitor thread (tests drive the engine themselves).
  bool start_monitor = true;
  // Offer the interface on the session bus (dbus_service.h).
  bool bus_service = false;
};

class DesktopShell final : public QObject, public DesktopUiTarget, public WindowActions {
  Q_OBJECT

 public:
  DesktopShell(CoreContext& context, QtUi& ui, ShellOptions options);
  ~DesktopShell() override;

  void Start();
  // Begins the exit handshake without asking and ends the event loop.
  void RequestExit();
  // After the event loop: keeps serving the monitor until it has finished.
  void Finish();
  // Tells the user something once, as a notice beside the tray.
  void Tell(const std::string& title, const std::string& text);

  MainWindow& window() { return *window_; }
  Tray& tray() { return *tray_; }
  ChoiceOpenFlag& choice_open() { return choice_open_; }
  [[nodiscard]] bool window_destroyed() const { return destroyed_; }
  std::vector<MenuEntry> BuildMenu(MenuVariant variant, std::optional<std::uint32_t> click_y);

  // UiTarget
  void OnTimer(TimerId id) override;
  void OnCommand(std::uint32_t command_id) override;
  void OnClose() override;
  void OnRepaint() override;
  void OnSetTray(TrayIcon icon, const std::string& tooltip) override;
  bool OnAddTray(TrayIcon icon, const std::string& tooltip) override;
  void OnBalloon(const std::string& title, const std::string& text, TrayIcon icon) override;
  void OnNotice(const std::string& text) override;
  int OnAsk(const Question& question) override;

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

  // The current work type by name, through the request hand-off as the
  // menu's choice goes; false when no work type has that name.
  bool ChooseWorkType(const std::string& name);
  DbusService& bus_service() { return *bus_service_; }
  // Hands the state as it is now to the bus interface.
  void PublishStatus();

 private:
  void ShowAtStart();
  void StorePlacement();
  void SetWindowShown(bool shown);
  void CloseToTray();
  void ShowWindowMenu(const QPoint& global_position, std::uint32_t client_y);
  void RefreshStaleTooltip();
  void RefreshTotalsSoon();
  void FollowWindowVisibility();
  void AssertExit();
  void PublishStatusSoon();

  CoreContext& context_;
  QtUi& ui_;
  ShellOptions options_;
  ChoiceOpenFlag choice_open_;
  OptionsOpenFlag options_open_;
  DialogServices dialog_services_;
  AlertDispatcher alerts_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Tray> tray_;
  std::unique_ptr<TimeChangeNotifier> time_change_;
  std::unique_ptr<MonitorThread> monitor_;
  std::unique_ptr<DbusService> bus_service_;
  QTimer tooltip_timer_;
  bool destroyed_ = false;
  // Notices told before the tray icon was added: title and text.
  std::vector<std::pair<std::string, std::string>> untold_;
  bool exit_requested_ = false;
  bool refresh_queued_ = false;
  bool publish_queued_ = false;
};

}  // namespace tolvi
