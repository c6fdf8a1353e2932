#include "shell/win/win_shell.h"

#include <windowsx.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "engine/day_check.h"
#include "engine/mode_commands.h"
#include "engine/program_files.h"
#include "engine/requests.h"
#include "engine/tray_updates.h"
#include "platform/win/wide_text.h"
#include "platform/win/win_autostart.h"
#include "reminders/win/win_question.h"
#include "settings/settings.h"
#include "shell/win/about_box.h"
#include "shell/win/alert_toolkit.h"
#include "state/command_ids.h"
#include "state/snapshot.h"
#include "storage/program_data_file.h"

namespace tolvi::win {
namespace {

constexpr DWORD kServeSliceMs = 50;
constexpr UINT kShowTrayMenuMessage = WM_APP + 4;
constexpr WORD kSmallIconId = 501;

// A message box on a thread of its own: the GUI thread goes on serving the
// monitor while the notice waits for the user.
void ShowNoticeBox(const std::string& title, const std::string& text) {
  std::thread([title = WideFromUtf8(title), text = WideFromUtf8(text)] {
    ::MessageBoxW(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
  }).detach();
}

}  // namespace

WinShell::WinShell(CoreContext& context, WinUi& ui, ShellOptions options)
    : context_(context),
      ui_(ui),
      options_(std::move(options)),
      program_icon_(::LoadIconW(options_.instance, MAKEINTRESOURCEW(kSmallIconId))),
      dialog_services_(context, choice_open_, options_open_),
      alerts_(context, choice_open_, WinAlertToolkit(choice_open_, program_icon_)) {
  dialog_services_.instance = options_.instance;
  dialog_services_.program_icon = program_icon_;
  dialog_services_.phrases = options_.phrases;
  dialog_services_.set_autostart = [command = options_.autostart_command](bool enabled) {
    WinAutostart autostart;
    return enabled ? autostart.Enable(command) : autostart.Disable();
  };
  alerts_.SetPhrases(options_.phrases);
  taskbar_created_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  window_ = std::make_unique<MainWindow>(options_.instance, context_,
                                         [this](UINT message, WPARAM w, LPARAM l, LRESULT& result) {
                                           return HandleMessage(message, w, l, result);
                                         });
  tray_ = std::make_unique<Tray>(options_.instance, window_->handle());
  ui_.SetTarget(window_->handle(), this);
}

WinShell::~WinShell() {
  ui_.SetTarget(nullptr, nullptr);
}

void WinShell::Start() {
  ShowAtStart();
  monitor_ = std::make_unique<MonitorThread>(context_);
  monitor_->Start();
  StartRemoteServer();
}

void WinShell::ShowAtStart() {
  ProgramData data{};
  {
    const StateLock lock(context_.state.mutex);
    data = context_.state.data;
  }
  window_->ApplyOpacity(WindowOpacity(data));
  window_->ApplyOnTop(IsOn(data.on_top));
  if (!IsOn(data.auto_show)) {
    SetWindowShown(false);
    return;
  }
  if (RestoredGeometry(data.window_placement)) {
    window_->Restore(data.window_placement);
  } else {
    ::ShowWindow(window_->handle(), SW_SHOWNORMAL);
    StorePlacement();
  }
  SetWindowShown(true);
}

void WinShell::AssertExit() {
  {
    const StateLock lock(context_.state.mutex);
    context_.state.activity.working_flag = WorkingFlag::kExit;
  }
  context_.events.wake.Set();
}

void WinShell::RequestExit() {
  if (exit_requested_) return;
  exit_requested_ = true;
  // The monitor closes the window, books the work and posts command 2012.
  AssertExit();
}

void WinShell::Finish() {
  finishing_ = true;
  if (remote_) remote_->Stop();
  if (monitor_) {
    // The loop ended without command 2012 (WM_QUIT from outside): the
    // monitor is told to end and served until it has.
    while (!destroyed_) {
      AssertExit();
      ServeWhileWaiting();
    }
    monitor_->Join();
  }
  tray_->Remove();
}

void WinShell::Tell(const std::string& title, const std::string& text) {
  std::fprintf(stderr, "tolvi: %s: %s\n", title.c_str(), text.c_str());
  if (tray_->ShowBalloon(title, text) || destroyed_) return;
  // At start the monitor adds the icon a moment later; a desktop without a
  // notification area never shows one, so its notices go to a message box.
  if (Tray::HostAvailable()) {
    untold_.emplace_back(title, text);
  } else {
    ShowNoticeBox(title, text);
  }
}

bool WinShell::HandleMessage(UINT message, WPARAM w, LPARAM l, LRESULT& result) {
  result = 0;
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    tray_->Readd();
    return true;
  }
  switch (message) {
    case kRunQueuedMessage:
      ui_.RunQueued();
      return true;
    case kRunNowMessage:
      (*reinterpret_cast<const std::function<void()>*>(l))();
      return true;
    case kRefreshTotalsMessage:
      // A busy slot is no matter: the next paint asks again.
      if (!destroyed_) TryPostRequest(context_, request::kRefresh, 0);
      return true;
    case WM_TIMER:
      OnTimer(static_cast<TimerId>(w));
      return true;
    case WM_COMMAND:
      if (l == 0) OnCommand(LOWORD(w));
      return true;
    case WM_SYSCOMMAND:
      if ((w & 0xFFF0) != SC_CLOSE) return false;
      OnClose();  // the close box and Alt+F4 hide the window
      return true;
    case WM_CLOSE:
      RequestExit();  // sent from outside: save and end
      return true;
    case WM_QUERYENDSESSION:
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      LeaveLockDesktop();  // the session ends: never leave the user on the lock desktop
      SaveProgramFilesOrTell(context_);
      if (w != 0) RequestExit();
      return true;
    case WM_TIMECHANGE:
      RunDayCheck(context_);
      return true;
    case WM_LBUTTONUP:
      if (InClickBand(GET_Y_LPARAM(l))) {
        TrayLeftClick(context_);
        OnRepaint();
      }
      return true;
    case WM_RBUTTONUP:
      ShowMenu(MenuVariant::kWindow, static_cast<std::uint32_t>(HIWORD(l)));
      return true;
    case kShowTrayMenuMessage:
      ShowMenu(MenuVariant::kTray, std::nullopt);
      return true;
    case kTrayCallbackMessage:
      if (w == 0) OnTrayCallback(l);
      return true;
    case kRemoteCallMessage:
      AnswerRemoteCall(l, [this](RemoteCall& call) { AnswerRemote(call); });
      return true;
    case WM_DESTROY:
      destroyed_ = true;
      tray_->Remove();
      ::PostQuitMessage(0);
      return true;
    default:
      return false;
  }
}

void WinShell::OnTrayCallback(LPARAM mouse_message) {
  switch (static_cast<UINT>(mouse_message)) {
    case WM_RBUTTONDOWN:
      // Opened once the tray has had its button back: a menu tracked from
      // inside the tray's own mouse handling never shows.
      ::PostMessageW(window_->handle(), kShowTrayMenuMessage, 0, 0);
      context_.events.wake.Set();
      break;
    case WM_LBUTTONDOWN:
      TrayLeftClick(context_);
      OnRepaint();
      break;
    default:
      TrayMouseMove(context_);
      break;
  }
}

void WinShell::ShowMenu(MenuVariant variant, std::optional<std::uint32_t> client_y) {
  const EngineSnapshot snapshot = TakeSnapshot(context_);
  MenuFacts facts;
  facts.variant = variant;
  facts.click_y = client_y;
  facts.window_shown = snapshot.activity.window_shown;
  facts.sound_playing = ui_.sound_playing();
  POINT at{};
  ::GetCursorPos(&at);
  // The tray's menu opens beside the pointer, turned by the system where
  // the screen ends; the window's has its right edge at the pointer.
  const UINT alignment = variant == MenuVariant::kTray ? 0U : TPM_RIGHTALIGN;
  const std::uint32_t chosen = TrackMenu(
      window_->handle(), BuildPopupMenu(snapshot.data, snapshot.activity, snapshot.recent, facts),
      at, alignment);
  if (chosen != 0) ui_.PostCommand(chosen);
}

void WinShell::OnTimer(TimerId id) {
  if (destroyed_) return;
  if (id == TimerId::kMidnight) {
    OnMidnightTimer(context_);
    return;
  }
  alerts_.OnTimer(id);
  OnRepaint();
}

void WinShell::OnCommand(std::uint32_t command_id) {
  if (destroyed_) return;
  // While a work-type dialog holds the request slot, a second one is not
  // opened: the open dialog comes to the front instead.
  if (OpensWorkTypeDialog(command_id) && SlotHeldForDialog(context_) && RaiseWorkTypeDialog()) {
    return;
  }
  DispatchCommand(context_, command_id, *this);
  OnRepaint();
}

void WinShell::StorePlacement() {
  const WindowPlacement placement = window_->Placement();
  const StateLock lock(context_.state.mutex);
  context_.state.data.window_placement = placement;
}

void WinShell::SetWindowShown(bool shown) {
  const StateLock lock(context_.state.mutex);
  context_.state.activity.window_shown = shown;
}

void WinShell::OnClose() {
  if (!window_->valid()) return;
  StorePlacement();
  ::ShowWindow(window_->handle(), SW_MINIMIZE);
  ::ShowWindow(window_->handle(), SW_HIDE);
  SetWindowShown(false);
}

void WinShell::OnRepaint() {
  if (window_->visible()) window_->Invalidate();
  if (remote_) remote_->StatusChanged();
}

void WinShell::OnSetTray(TrayIcon icon, const std::string& tooltip) {
  tray_->Set(icon, tooltip);
  if (remote_) remote_->StatusChanged();
}

bool WinShell::OnAddTray(TrayIcon icon, const std::string& tooltip) {
  if (destroyed_ || !tray_->Add(icon, tooltip)) return false;
  // What was told before the icon existed is shown beside it now.
  for (const auto& [title, text] : std::exchange(untold_, {})) tray_->ShowBalloon(title, text);
  return true;
}

void WinShell::OnBalloon(const std::string& title, const std::string& text, TrayIcon icon) {
  tray_->SetIcon(icon);  // the tooltip stays as it was
  Tell(title, text);
}

void WinShell::OnNotice(const std::string& text) {
  Tell(std::string(kProgramTitle), text);
}

int WinShell::OnAsk(const Question& question) {
  HWND owner = question.has_owner && window_->valid() ? window_->handle() : nullptr;
  return AskQuestion(question, alerts_.TakeAskOnTop(), dialog_services_, owner);
}

void WinShell::OpenReadMe() {
  ui_.OpenWithDefaultApp(context_.program_directory / std::string(kReadMeFileName));
}

void WinShell::OpenOptions() {
  RunOptionsDialog(window_->handle(), dialog_services_);
}

void WinShell::OpenAbout() {
  if (about_open_) return;
  about_open_ = true;
  RunAboutBox(window_->handle(), options_.instance);
  about_open_ = false;
}

void WinShell::ShowMainWindow() {
  ::ShowWindow(window_->handle(), SW_SHOWNORMAL);
  ::SetForegroundWindow(window_->handle());
}

void WinShell::TerminateSound() {
  ui_.StopSound();
}

void WinShell::DestroyMainWindow() {
  destroyed_ = true;
  // A command still waiting for the request slot would wait for ever for a
  // monitor that has ended.
  context_.events.request_free.Set();
  tray_->Remove();
  window_->Destroy();
}

void WinShell::ApplyOpacity(std::uint32_t alpha) {
  window_->ApplyOpacity(alpha);
}

void WinShell::ApplyOnTop(bool on_top) {
  window_->ApplyOnTop(on_top);
}

void WinShell::RunWorkTypeDialog() {
  tolvi::win::RunWorkTypeDialog(window_->handle(), dialog_services_);
}

void WinShell::ServeWhileWaiting() {
  ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kServeSliceMs, QS_ALLINPUT);
  MSG message{};
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
    if (message.message == WM_QUIT) {
      if (finishing_) continue;                             // the outer loop has ended already
      ::PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
      return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void WinShell::StartRemoteServer() {
  remote_ = std::make_unique<RemoteServer>(window_->handle());
  if (const Status started = remote_->Start(); !started.ok()) {
    std::fprintf(stderr, "tolvi: no control from the command line: %s\n",
                 started.message().c_str());
    remote_.reset();
  }
}

// The same hand-offs as the tray menu: a command is posted to this window,
// a work type goes through the request slot.
void WinShell::AnswerRemote(RemoteCall& call) {
  RemoteHooks hooks;
  hooks.command = [this](std::uint32_t id) { ui_.PostCommand(id); };
  hooks.choose_work_type = [this](const std::string& name) {
    return !destroyed_ && ChooseWorkTypeByName(context_, name, [this] { ServeWhileWaiting(); });
  };
  hooks.show_window = [this] { ui_.PostCommand(command::kTimeDisplay); };
  const EngineSnapshot snapshot = TakeSnapshot(context_);
  call.report = MakeStatusReport(snapshot.data, snapshot.activity);
  call.answer = AnswerRequest(call.request, hooks, call.report);
}

}  // namespace tolvi::win
