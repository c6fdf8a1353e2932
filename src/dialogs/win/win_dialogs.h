// The Win32 dialogs for the Windows main window: "Tolvi Options" (resource
// 1021, command 2001), the work-type dialogs "Work Details" (1022), "Select
// Work" (1045) and "Import Work from log file" (1046) for command 2018, and
// the question router behind the Ui port's Ask. Each is a dialog resource
// template (resources/win/) driven by the core's models (OptionsModel,
// WorkDetailsModel), as thin as the Qt dialogs in dialogs/qt/.
//
// WinDialogServices bundles what the dialogs need; it is owned by the
// caller and outlives each call. GUI thread only.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/options_model.h"
#include "platform/status.h"
#include "reminders/choice.h"
#include "state/core_context.h"

namespace tolvi::win {

struct WinDialogServices {
  WinDialogServices(CoreContext& core, ChoiceOpenFlag& choice, OptionsOpenFlag& options)
      : context(core), choice_open(choice), options_open(options) {}

  CoreContext& context;
  ChoiceOpenFlag& choice_open;
  OptionsOpenFlag& options_open;
  // The module holding the dialog templates; null: the program itself.
  HINSTANCE instance = nullptr;
  HICON program_icon = nullptr;
  // The reminder phrases, offered by the "Text" list.
  std::vector<std::string> phrases;
  // Turns start at log-on on or off (the Run key value). A failure reaches
  // the user as a notice. Empty: the key is left alone.
  std::function<Status(bool enabled)> set_autostart;
  // Saves "dTolvi.dat" after "OK".
  std::function<void()> save_program_data;
};

// Command 2001: runs "Tolvi Options" modally, or brings the open one to
// the front.
void RunOptionsDialog(HWND owner, WinDialogServices& services);

// Command 2018: marks the request slot 999, runs "Work Details" or "Select
// Work" for the waiting request, then hands the result to the monitor
// (request 7 or 8). A stray 2018 does nothing.
void RunWorkTypeDialog(HWND owner, WinDialogServices& services);

// Brings an open "Work Details" or "Select Work" to the front; false when
// neither is open.
bool RaiseWorkTypeDialog();

// A question of the Ui port: the log import's confirmation in "Import Work
// from log file", every other question in the two-button window. Returns 1
// or 2.
int AskQuestion(const Question& question, bool on_top, WinDialogServices& services, HWND owner);

}  // namespace tolvi::win
