#include "shell/qt/desktop_shell.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMenu>
#include <QThread>
#include <cstdio>
#include <mutex>
#include <utility>

#include "accounting/work_types.h"
#include "engine/day_check.h"
#include "engine/mode_commands.h"
#include "engine/requests.h"
#include "engine/tray_updates.h"
#include "platform/linux/time_change_notifier.h"
#include "settings/settings.h"
#include "shell/qt/about_box.h"
#include "shell/qt/alert_toolkit.h"
#include "shell/qt/dbus_service.h"
#include "shell/qt/main_window.h"
#include "shell/qt/tray.h"
#include "shell/status_report.h"
#include "state/command_ids.h"
#include "state/snapshot.h"
#include "storage/program_data_file.h"

namespace tolvi {
namespace {

// The tray gives no word when the pointer rests on the icon, so a stale
// tooltip is rebuilt at the monitor's pace instead: with each repaint while
// the window is shown, by a timer of its own while it is hidden.
constexpr int kTooltipRefreshMs = 6'000;
constexpr int kServeSliceMs = 50;
constexpr unsigned long kFinishPollMs = 10;

constexpr char kNoTrayTitle[] = "Tolvi runs without a tray icon";
constexpr char kNoTrayText[] =
    "This desktop shows no system tray, so Tolvi keeps its window open instead; "
    "closing the window minimizes it. Counting goes on as usual.";

}  // namespace

DesktopShell::DesktopShell(CoreContext& context, QtUi& ui, ShellOptions options)
    : context_(context),
      ui_(ui),
      options_(std::move(options)),
      dialog_services_(context, choice_open_, options_open_),
      alerts_(context, choice_open_, QtAlertToolkit(choice_open_, options_.program_icon)) {
  dialog_services_.program_icon = options_.program_icon;
  dialog_services_.phrases = options_.phrases;
  dialog_services_.autostart_arguments = options_.autostart_arguments;
  alerts_.SetPhrases(options_.phrases);

  MainWindowHooks window_hooks;
  window_hooks.band_clicked = [this] {
    TrayLeftClick(context_);
    OnRepaint();
  };
  window_hooks.context_menu = [this](const QPoint& position, std::uint32_t y) {
    ShowWindowMenu(position, y);
  };
  window_hooks.close_requested = [this] { CloseToTray(); };
  window_hooks.refresh_totals = [this] { RefreshTotalsSoon(); };
  window_ = std::make_unique<MainWindow>(context_, std::move(window_hooks));
  window_->setWindowIcon(options_.program_icon);

  TrayHooks tray_hooks;
  tray_hooks.left_click = [this] {
    TrayLeftClick(context_);
    OnRepaint();
  };
  tray_hooks.other_click = [this] { TrayMouseMove(context_); };
  tray_hooks.build_menu = [this] { return BuildMenu(MenuVariant::kTray, std::nullopt); };
  tray_hooks.choose = [this](std::uint32_t id) { ui_.PostCommand(id); };
  tray_ = std::make_unique<Tray>(std::move(tray_hooks));

  RemoteHooks remote;
  remote.command = [this](std::uint32_t id) { ui_.PostCommand(id); };
  remote.choose_work_type = [this](const std::string& name) { return ChooseWorkType(name); };
  remote.show_window = [this] { ui_.PostCommand(command::kTimeDisplay); };
  bus_service_ = std::make_unique<DbusService>(std::move(remote));

  connect(&tooltip_timer_, &QTimer::timeout, this, &DesktopShell::RefreshStaleTooltip);
  tooltip_timer_.setTimerType(Qt::VeryCoarseTimer);
  tooltip_timer_.setInterval(kTooltipRefreshMs);
  ui_.SetTarget(this);
}

DesktopShell::~DesktopShell() {
  ui_.SetTarget(nullptr);
}

void DesktopShell::Start() {
  ShowAtStart();
  if (options_.start_monitor) {
    monitor_ = std::make_unique<MonitorThread>(context_);
    monitor_->Start();
  }
  time_change_ = std::make_unique<TimeChangeNotifier>();
  connect(time_change_.get(), &TimeChangeNotifier::WallClockChanged, this,
          [this] { RunDayCheck(context_); });
  FollowWindowVisibility();
  PublishStatus();
  if (QString why; options_.bus_service && !bus_service_->Register(why)) {
    std::fprintf(stderr, "tolvi: no control over D-Bus: %s\n", why.toLocal8Bit().constData());
  }
  if (!Tray::HostAvailable()) Tell(kNoTrayTitle, kNoTrayText);
}

void DesktopShell::PublishStatus() {
  const EngineSnapshot snapshot = TakeSnapshot(context_);
  bus_service_->Publish(MakeStatusReport(snapshot.data, snapshot.activity));
}

bool DesktopShell::ChooseWorkType(const std::string& name) {
  if (destroyed_) return false;
  return ChooseWorkTypeByName(context_, name, [this] { ServeWhileWaiting(); });
}

void DesktopShell::ShowAtStart() {
  ProgramData data{};
  {
    const StateLock lock(context_.state.mutex);
    data = context_.state.data;
  }
  window_->ApplyOpacity(WindowOpacity(data));
  window_->ApplyOnTop(IsOn(data.on_top));
  // Without a tray the window is the only way in, so it is always shown.
  if (!IsOn(data.auto_show) && Tray::HostAvailable()) {
    SetWindowShown(false);
    return;
  }
  if (const std::optional<WindowGeometry> geometry = RestoredGeometry(data.window_placement)) {
    window_->Place(*geometry);
    if (PlacementMinimized(data.window_placement)) {
      window_->showMinimized();
    } else {
      window_->show();
    }
  } else {
    window_->Centre();
    window_->show();
    StorePlacement();
  }
  SetWindowShown(true);
}

void DesktopShell::RequestExit() {
  if (exit_requested_) return;
  exit_requested_ = true;
  AssertExit();
  // Open dialogs and pauses unwind; Finish serves the monitor until it ends.
  QCoreApplication::exit(0);
}

void DesktopShell::AssertExit() {
  {
    const StateLock lock(context_.state.mutex);
    context_.state.activity.working_flag = WorkingFlag::kExit;
  }
  context_.events.wake.Set();
}

void DesktopShell::Finish() {
  if (monitor_) {
    // An answer given while the dialogs unwound may have set the mode again
    // (a snoozed reminder works again), so the request is repeated until
    // the monitor has ended.
    while (!destroyed_) {
      AssertExit();
      QCoreApplication::processEvents(QEventLoop::AllEvents, kServeSliceMs);
      // processEvents returns at once when nothing is pending; the event
      // loops cannot be used for waiting any more once exit was called.
      QThread::msleep(kFinishPollMs);
    }
    monitor_->Join();
  }
  tray_->Remove();
  window_->hide();
}

void DesktopShell::Tell(const std::string& title, const std::string& text) {
  std::fprintf(stderr, "tolvi: %s: %s\n", title.c_str(), text.c_str());
  // At start the monitor adds the icon a moment later; a balloon now would
  // go to a notification service that may not exist.
  if (!tray_->shown() && Tray::HostAvailable() && !destroyed_) {
    untold_.emplace_back(title, text);
    return;
  }
  tray_->ShowBalloon(title, text);
}

std::vector<MenuEntry> DesktopShell::BuildMenu(MenuVariant variant,
                                               std::optional<std::uint32_t> click_y) {
  const EngineSnapshot snapshot = TakeSnapshot(context_);
  MenuFacts facts;
  facts.variant = variant;
  facts.click_y = click_y;
  facts.window_shown = snapshot.activity.window_shown;
  facts.sound_playing = ui_.sound().IsPlaying();
  return BuildPopupMenu(snapshot.data, snapshot.activity, snapshot.recent, facts);
}

void DesktopShell::ShowWindowMenu(const QPoint& global_position, std::uint32_t client_y) {
  QMenu menu;
  FillMenu(menu, BuildMenu(MenuVariant::kWindow, client_y),
           [this](std::uint32_t id) { ui_.PostCommand(id); });
  // The menu's right edge at the pointer.
  menu.exec(global_position - QPoint(menu.sizeHint().width(), 0));
}

void DesktopShell::RefreshTotalsSoon() {
  // Every paint asks while the totals are out of step. A paint must not wait
  // for a busy request slot (the monitor may be booking, a dialog may hold
  // it), and the next paint asks again, so one queued try is enough.
  if (refresh_queued_) return;
  refresh_queued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        refresh_queued_ = false;
        // A busy slot drops the refresh: the next paint asks again.
        if (!destroyed_) TryPostRequest(context_, request::kRefresh, 0);
      },
      Qt::QueuedConnection);
}

void DesktopShell::RefreshStaleTooltip() {
  // Called at the monitor's pace, so the bus hears of the counters as often.
  PublishStatus();
  if (!tray_->shown()) return;
  const StateLock lock(context_.state.mutex);
  if (context_.state.activity.tray_refresh_pending) RefreshTrayTip(context_);
}

void DesktopShell::StorePlacement() {
  const WindowPlacement placement = PlacementOf(window_->Geometry(), window_->isMinimized());
  const StateLock lock(context_.state.mutex);
  context_.state.data.window_placement = placement;
}

void DesktopShell::SetWindowShown(bool shown) {
  {
    const StateLock lock(context_.state.mutex);
    context_.state.activity.window_shown = shown;
  }
  FollowWindowVisibility();
}

void DesktopShell::FollowWindowVisibility() {
  if (window_->isVisible()) {
    tooltip_timer_.stop();
  } else if (!tooltip_timer_.isActive()) {
    tooltip_timer_.start();
  }
}

void DesktopShell::CloseToTray() {
  StorePlacement();
  if (!tray_->shown()) {
    window_->showMinimized();  // still reachable from the task bar
    return;
  }
  window_->hide();
  SetWindowShown(false);
}

void DesktopShell::OnTimer(TimerId id) {
  if (destroyed_) return;
  if (id == TimerId::kMidnight) {
    OnMidnightTimer(context_);
    return;
  }
  alerts_.OnTimer(id);  // the desktop lock needs no watch timer here
  OnRepaint();
}

void DesktopShell::OnCommand(std::uint32_t command_id) {
  if (destroyed_) return;
  // While a work-type dialog holds the request slot, another "Edit ..." or
  // "Select Work Type..." would be dropped: the open dialog is shown instead.
  if (OpensWorkTypeDialog(command_id) && SlotHeldForDialog(context_) &&
      RaiseWorkTypeDialog(window_.get())) {
    return;
  }
  DispatchCommand(context_, command_id, *this);
  // A changed mode shows at once rather than at the monitor's next tick.
  OnRepaint();
  PublishStatus();
}

void DesktopShell::OnClose() {
  StorePlacement();
  window_->hide();
  SetWindowShown(false);
}

void DesktopShell::OnRepaint() {
  if (!window_->isVisible()) return;
  RefreshStaleTooltip();
  window_->update();
}

void DesktopShell::OnSetTray(TrayIcon icon, const std::string& tooltip) {
  tray_->Set(icon, tooltip);
  PublishStatusSoon();  // a mode change is told at once
}

void DesktopShell::PublishStatusSoon() {
  // The tray is set with the state lock held, so the report is made once
  // the caller has let go of it.
  if (publish_queued_) return;
  publish_queued_ = true;
  QMetaObject::invokeMethod(
      this,
      [this] {
        publish_queued_ = false;
        PublishStatus();
      },
      Qt::QueuedConnection);
}

bool DesktopShell::OnAddTray(TrayIcon icon, const std::string& tooltip) {
  if (destroyed_ || !tray_->Add(icon, tooltip)) return false;
  // What was told before the icon existed is shown beside it now.
  for (const auto& [title, text] : std::exchange(untold_, {})) tray_->ShowBalloon(title, text);
  return true;
}

void DesktopShell::OnBalloon(const std::string& title, const std::string& text, TrayIcon icon) {
  tray_->SetIcon(icon);  // the tooltip stays as it was
  tray_->ShowBalloon(title, text);
}

void DesktopShell::OnNotice(const std::string& text) {
  Tell(std::string(kProgramTitle), text);
}

int DesktopShell::OnAsk(const Question& question) {
  QWidget* owner = question.has_owner ? window_.get() : nullptr;
  return AskQuestion(question, alerts_.TakeAskOnTop(), choice_open_, options_.program_icon, owner);
}

void DesktopShell::OpenReadMe() {
  ui_.OpenWithDefaultApp(context_.program_directory / std::string(kReadMeFileName));
}

void DesktopShell::OpenOptions() {
  tolvi::RunOptionsDialog(window_.get(), dialog_services_);
}

void DesktopShell::OpenAbout() {
  RunAboutBox(window_.get(), options_.program_icon);
}

void DesktopShell::ShowMainWindow() {
  window_->showNormal();
  window_->raise();
  window_->activateWindow();
  FollowWindowVisibility();
}

void DesktopShell::TerminateSound() {
  ui_.StopSound();
}

void DesktopShell::DestroyMainWindow() {
  destroyed_ = true;
  // A command still waiting for the request slot would wait for ever for a
  // monitor that has ended.
  context_.events.request_free.Set();
  tray_->Remove();
  window_->hide();
  QCoreApplication::exit(0);
}

void DesktopShell::ApplyOpacity(std::uint32_t alpha) {
  window_->ApplyOpacity(alpha);
}

void DesktopShell::ApplyOnTop(bool on_top) {
  window_->ApplyOnTop(on_top);
}

void DesktopShell::RunWorkTypeDialog() {
  tolvi::RunWorkTypeDialog(window_.get(), dialog_services_);
}

void DesktopShell::ServeWhileWaiting() {
  QCoreApplication::processEvents(QEventLoop::AllEvents, kServeSliceMs);
}

}  // namespace tolvi
