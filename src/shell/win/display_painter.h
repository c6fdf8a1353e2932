// The display list painted with GDI: background, rounded panels with a
// 1-pixel black outline, then single-line texts (Arial, 20-pixel cell,
// bold 800 or regular) on the panel colour, each cut off at its box; a
// label that would not fit is drawn in a narrowed font instead.
//
// Everything is drawn into an off-screen bitmap of the client size and
// copied to the target in one go. GUI thread; owns no state between calls.
#pragma once

#include <windows.h>

#include "shell/display_list.h"

namespace tolvi::win {

void PaintBuffered(HDC target, const RECT& client, const DisplayList& list);

}  // namespace tolvi::win
