// The "Tolvi Options" window drawn from the OptionsModel on template 1021:
// every control of the model's table is the template's control of the same
// id; each user action goes to the model and afterwards every control is
// set again from it. No Cancel and no close box: Escape does nothing, and
// the window ends when "OK" has closed the model.
//
// GUI thread only. Borrows the model, which must outlive the call.
#pragma once

#include <windows.h>

#include <functional>

#include "dialogs/options_model.h"

namespace tolvi::win {

// Runs the window modally. on_open receives the window once it exists (the
// question of "Zero Work" and the pickers are owned by it).
void RunOptionsWindow(OptionsModel& model, HINSTANCE instance, HICON icon, HWND owner,
                      const std::function<void(HWND)>& on_open);

}  // namespace tolvi::win
