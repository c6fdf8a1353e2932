// The locked break reminder: the question runs on a thread of its own
// attached to a new desktop ("Tolvi.exe"), because a thread that owns
// windows (the GUI thread) cannot change its desktop. The GUI thread keeps
// its messages flowing while it waits, so the tray and the timers go on.

#include <optional>
#include <string>

#include "reminders/win/win_question.h"

namespace tolvi::win {
namespace {

constexpr wchar_t kLockDesktopName[] = L"Tolvi.exe";
constexpr wchar_t kUserDesktopName[] = L"Default";
constexpr int kSecondButton = static_cast<int>(ChoiceResult::kSecond);

// Owns a desktop handle from OpenInputDesktop or CreateDesktopW.
class DesktopHandle {
 public:
  DesktopHandle() = default;
  explicit DesktopHandle(HDESK desktop) : desktop_(desktop) {}
  ~DesktopHandle() { Reset(); }
  DesktopHandle(const DesktopHandle&) = delete;
  DesktopHandle& operator=(const DesktopHandle&) = delete;
  HDESK get() const { return desktop_; }
  void Reset(HDESK desktop = nullptr) {
    if (desktop_ != nullptr) ::CloseDesktop(desktop_);
    desktop_ = desktop;
  }

 private:
  HDESK desktop_ = nullptr;
};

std::wstring DesktopName(HDESK desktop) {
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (!::GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof(name) - sizeof(wchar_t),
                                   &needed)) {
    return {};
  }
  return name;
}

struct LockThreadInput {
  HDESK desktop;
  const ChoiceRequest* request;
  ChoiceOpenFlag* open_flag;
  HICON icon;
  int answer = kSecondButton;
};

DWORD WINAPI LockThread(LPVOID parameter) {
  auto& input = *static_cast<LockThreadInput*>(parameter);
  if (::SetThreadDesktop(input.desktop)) ::SwitchDesktop(input.desktop);
  // Shown even when the switch failed: then on the user's own desktop.
  input.answer = static_cast<int>(AskChoice(*input.request, *input.open_flag, input.icon, nullptr));
  return 0;
}

// The thread's windows get the close command: the question ends as if
// closed (the second button).
BOOL CALLBACK CloseThreadWindow(HWND window, LPARAM) {
  ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  return TRUE;
}

// Waits for the thread while the GUI thread's messages keep flowing. A quit
// request ends the question first and is passed on afterwards.
void WaitPumping(HANDLE thread, DWORD thread_id) {
  bool quitting = false;
  int quit_code = 0;
  for (;;) {
    const DWORD woke =
        ::MsgWaitForMultipleObjectsEx(1, &thread, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke != WAIT_OBJECT_0 + 1) break;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quitting = true;
        quit_code = static_cast<int>(message.wParam);
        ::EnumThreadWindows(thread_id, &CloseThreadWindow, 0);
        continue;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  if (quitting) ::PostQuitMessage(quit_code);
}

// The desktops of one lock: what to return to, and the lock's own. The
// destructor always gives the display back.
class LockSession {
 public:
  LockSession()
      : thread_desktop_(::GetThreadDesktop(::GetCurrentThreadId())),
        input_desktop_(::OpenInputDesktop(0, FALSE, DESKTOP_SWITCHDESKTOP)) {
    // Without the input desktop there is nothing to switch back to: no lock.
    if (input_desktop_.get() == nullptr) return;
    lock_desktop_.Reset(
        ::CreateDesktopW(kLockDesktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr));
  }
  ~LockSession() { Release(); }
  LockSession(const LockSession&) = delete;
  LockSession& operator=(const LockSession&) = delete;

  bool ready() const { return lock_desktop_.get() != nullptr; }

  // Runs the question on the lock desktop; nullopt when its thread could
  // not start.
  std::optional<int> Run(const ChoiceRequest& request, ChoiceOpenFlag& open_flag, HICON icon) {
    LockThreadInput input{lock_desktop_.get(), &request, &open_flag, icon};
    DWORD thread_id = 0;
    const HANDLE thread = ::CreateThread(nullptr, 0, &LockThread, &input, 0, &thread_id);
    if (thread == nullptr) return std::nullopt;
    WaitPumping(thread, thread_id);
    ::CloseHandle(thread);
    return input.answer;
  }

  void Release() {
    if (input_desktop_.get() != nullptr) ::SwitchDesktop(input_desktop_.get());
    if (thread_desktop_ != nullptr) ::SetThreadDesktop(thread_desktop_);
    lock_desktop_.Reset();
    input_desktop_.Reset();
  }

 private:
  HDESK thread_desktop_;  // not owned: GetThreadDesktop's handle needs no closing
  DesktopHandle input_desktop_;
  DesktopHandle lock_desktop_;
};

}  // namespace

int ShowLockedReminder(DesktopLock& lock, const Question& question, ChoiceOpenFlag& open_flag,
                       HICON program_icon) {
  const ChoiceRequest request = ChoiceRequestFor(question, /*on_top=*/true);
  const auto ask_normally = [&] {
    return static_cast<int>(AskChoice(request, open_flag, program_icon, nullptr));
  };
  if (!lock.idle()) return ask_normally();
  LockSession session;
  // The desktop switch isolates the keyboard and the pointer as well.
  const LockAttempt attempt{session.ready(), session.ready(), session.ready(), true};
  int answer = kSecondButton;
  if (lock.Begin(attempt) == LockPhase::kLocked) {
    const std::optional<int> locked_answer = session.Run(request, open_flag, program_icon);
    if (locked_answer) {
      answer = *locked_answer;
    } else {
      session.Release();  // no thread to show it: back home, then normally
      answer = ask_normally();
    }
  } else {
    session.Release();
    answer = ask_normally();
  }
  lock.Answered(answer);
  session.Release();
  return lock.Release().value_or(kSecondButton);
}

void LeaveLockDesktop() {
  const DesktopHandle input(::OpenInputDesktop(0, FALSE, DESKTOP_SWITCHDESKTOP));
  if (input.get() == nullptr || DesktopName(input.get()) != kLockDesktopName) return;
  const DesktopHandle user(::OpenDesktopW(kUserDesktopName, 0, FALSE, DESKTOP_SWITCHDESKTOP));
  if (user.get() != nullptr) ::SwitchDesktop(user.get());
}

}  // namespace tolvi::win
