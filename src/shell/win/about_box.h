// The About box: the program's name, version and purpose with its icon,
// modal to the owner. GUI thread.
#pragma once

#include <windows.h>

namespace tolvi::win {

inline constexpr char kProgramName[] = "Tolvi";
inline constexpr char kProgramVersion[] = "1.91";
inline constexpr WORD kProgramIconResource = 500;

void RunAboutBox(HWND owner, HINSTANCE instance);

}  // namespace tolvi::win
