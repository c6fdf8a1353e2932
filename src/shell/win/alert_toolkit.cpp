#include "shell/win/alert_toolkit.h"

#include "reminders/win/win_question.h"

namespace tolvi::win {
namespace {

bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

void PauseDroppingInput(std::uint32_t ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  for (ULONGLONG now = ::GetTickCount64(); now < end; now = ::GetTickCount64()) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
      if (message.message == WM_QUIT) {
        ::PostQuitMessage(static_cast<int>(message.wParam));  // for the outer loop
        return;
      }
      if (IsUserInput(message.message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

}  // namespace

AlertToolkit WinAlertToolkit(ChoiceOpenFlag& choice_open, HICON program_icon) {
  AlertToolkit toolkit;
  toolkit.pause = PauseDroppingInput;
  toolkit.ask_on_lock_desktop = [&choice_open, program_icon](DesktopLock& lock,
                                                             const Question& question) {
    return ShowLockedReminder(lock, question, choice_open, program_icon);
  };
  return toolkit;
}

}  // namespace tolvi::win
