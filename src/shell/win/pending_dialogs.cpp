// Stand-ins for the Windows dialogs until they join this build: questions
// through a message box, the other dialogs doing nothing.
#include <string>

#include "dialogs/win/win_dialogs.h"
#include "engine/requests.h"
#include "platform/win/wide_text.h"
#include "reminders/win/win_question.h"

namespace tolvi::win {
namespace {

int AskByMessageBox(const std::string& message, bool on_top, HWND owner) {
  const std::wstring text = WideFromUtf8(message);
  const UINT style = MB_YESNO | (on_top ? MB_TOPMOST : 0U);
  return ::MessageBoxW(owner, text.c_str(), L"Tolvi 1.91", style) == IDYES ? 1 : 2;
}

}  // namespace

void RunOptionsDialog(HWND, WinDialogServices&) {}

// The dialog closes at once, as if cancelled, so the request slot is freed.
void RunWorkTypeDialog(HWND, WinDialogServices& services) {
  RunWorkTypeDialogCommand(services.context, [](WorkTypeDialog) {});
}

bool RaiseWorkTypeDialog() {
  return false;
}

int AskQuestion(const Question& question, bool on_top, WinDialogServices& services, HWND owner) {
  const ChoiceOpenScope open(services.choice_open);
  return AskByMessageBox(question.message, on_top, owner);
}

ChoiceResult AskChoice(const ChoiceRequest& request, ChoiceOpenFlag& open_flag, HICON, HWND owner) {
  const ChoiceOpenScope open(open_flag);
  return AskByMessageBox(request.message, request.on_top, owner) == 1 ? ChoiceResult::kFirst
                                                                      : ChoiceResult::kSecond;
}

int ShowLockedReminder(DesktopLock&, const Question& question, ChoiceOpenFlag& open_flag, HICON) {
  const ChoiceOpenScope open(open_flag);
  return AskByMessageBox(question.message, true, nullptr);
}

}  // namespace tolvi::win
