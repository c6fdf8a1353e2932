// The pickers behind the Options window's "..." buttons: the folder browser
// ("Choose Directory:") and the open-file dialog ("Tolvi 1.91") with the
// audio or the all-files filter. GUI thread only.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "dialogs/options_model.h"

namespace tolvi::win {

// nullopt when cancelled. start: the path now in the edit; the file dialog
// starts on it when it names a readable file, else in the documents folder.
std::optional<std::string> ChoosePath(PathPicker picker, const std::string& start, HWND owner);

}  // namespace tolvi::win
