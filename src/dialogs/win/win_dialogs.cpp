#include "dialogs/win/win_dialogs.h"

#include <commctrl.h>

#include "dialogs/win/win_options_dialog.h"
#include "dialogs/win/win_pickers.h"
#include "dialogs/win/win_work_details_dialog.h"
#include "dialogs/work_details_model.h"
#include "engine/requests.h"
#include "platform/win/wide_text.h"
#include "reminders/win/win_question.h"

namespace tolvi::win {
namespace {

struct FoundWindow {
  std::wstring_view title;
  HWND window = nullptr;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM parameter) {
  auto& found = *reinterpret_cast<FoundWindow*>(parameter);
  wchar_t title[64] = {};
  ::GetWindowTextW(window, title, static_cast<int>(std::size(title)));
  if (found.title != title || !::IsWindowVisible(window)) return TRUE;
  found.window = window;
  return FALSE;
}

// The dialogs belong to the GUI thread, so an open one is among its windows.
bool RaiseThreadWindow(std::string_view title) {
  const std::wstring wide = WideFromUtf8(title);
  FoundWindow found{wide};
  ::EnumThreadWindows(::GetCurrentThreadId(), &MatchTitle, reinterpret_cast<LPARAM>(&found));
  if (found.window == nullptr) return false;
  ::SetForegroundWindow(found.window);
  return true;
}

void InitControls() {
  INITCOMMONCONTROLSEX controls{sizeof(controls),
                                ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
}

int AskOwnedBy(WinDialogServices& services, const Question& question, HWND owner) {
  return AskQuestion(question, /*on_top=*/true, services, owner);
}

OptionsServices OptionsServicesFor(WinDialogServices& services, HWND& asking_owner) {
  OptionsServices options;
  options.save_program_data = services.save_program_data;
  if (services.set_autostart) {
    options.set_autostart = [&services](bool enabled) {
      if (const Status done = services.set_autostart(enabled); !done.ok()) {
        services.context.ui.Notify("Tolvi cannot change its start at log-on: " + done.message());
      }
    };
  }
  options.choose_path = [&asking_owner](PathPicker picker, const std::string& start) {
    return ChoosePath(picker, start, asking_owner);
  };
  options.ask = [&services, &asking_owner](const Question& question) {
    return AskOwnedBy(services, question, asking_owner);
  };
  return options;
}

std::int32_t DialogMode(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  return context.state.activity.request_value;
}

void RunWorkDetails(HWND owner, WinDialogServices& services) {
  HWND asking_owner = owner;
  WorkDetailsModel model(services.context, DialogMode(services.context),
                         [&services, &asking_owner](const Question& question) {
                           return AskOwnedBy(services, question, asking_owner);
                         });
  RunWorkDetailsWindow(model, services.instance, owner,
                       [&asking_owner](HWND dialog) { asking_owner = dialog; });
  model.Cancel();  // nothing if the window already closed through the model
}

void RunSelectWork(HWND owner, WinDialogServices& services) {
  SelectWorkModel model(services.context);
  RunSelectWorkWindow(model, services.instance, owner);
  model.Cancel();
}

}  // namespace

void RunOptionsDialog(HWND owner, WinDialogServices& services) {
  if (services.options_open.IsOpen()) {
    RaiseThreadWindow(kOptionsTitle);
    return;
  }
  InitControls();
  HWND asking_owner = owner;
  OptionsModel model(services.context, OptionsServicesFor(services, asking_owner), services.phrases,
                     services.options_open);
  RunOptionsWindow(model, services.instance, services.program_icon, owner,
                   [&asking_owner](HWND dialog) { asking_owner = dialog; });
}

void RunWorkTypeDialog(HWND owner, WinDialogServices& services) {
  InitControls();  // the tooltips
  RunWorkTypeDialogCommand(services.context, [owner, &services](WorkTypeDialog which) {
    if (which == WorkTypeDialog::kWorkDetails) {
      RunWorkDetails(owner, services);
    } else {
      RunSelectWork(owner, services);
    }
  });
}

bool RaiseWorkTypeDialog() {
  return RaiseThreadWindow(kWorkDetailsTitle) || RaiseThreadWindow(kSelectWorkTitle);
}

int AskQuestion(const Question& question, bool on_top, WinDialogServices& services, HWND owner) {
  if (!question.has_owner) owner = nullptr;
  if (const std::optional<ImportConfirmation> import = ImportConfirmationOf(question)) {
    const ChoiceOpenScope open(services.choice_open);
    return RunImportWindow(*import, services.instance, owner) ? 1 : 2;
  }
  const ChoiceResult answer = AskChoice(ChoiceRequestFor(question, on_top), services.choice_open,
                                        services.program_icon, owner);
  return static_cast<int>(answer);
}

}  // namespace tolvi::win
