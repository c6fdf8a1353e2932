// The work-type windows drawn from their models on templates 1022 ("Work
// Details"), 1045 ("Select Work") and 1046 ("Import Work from log file").
// Each maps the template's controls to the model and sets them again after
// every action; Escape and the close box count as "Cancel" (for the
// import: "Cancel and close").
//
// GUI thread only. The models must outlive the calls.
#pragma once

#include <windows.h>

#include <functional>

#include "dialogs/work_details_model.h"

namespace tolvi::win {

// on_open receives the window once it exists (the delete question is owned
// by it).
void RunWorkDetailsWindow(WorkDetailsModel& model, HINSTANCE instance, HWND owner,
                          const std::function<void(HWND)>& on_open);
void RunSelectWorkWindow(SelectWorkModel& model, HINSTANCE instance, HWND owner);
// True for "OK, import work".
bool RunImportWindow(const ImportConfirmation& confirmation, HINSTANCE instance, HWND owner);

}  // namespace tolvi::win
