#include "shell/win/about_box.h"

#include <string>

#include "engine/tray_updates.h"
#include "platform/win/wide_text.h"

namespace tolvi::win {

void RunAboutBox(HWND owner, HINSTANCE instance) {
  const std::wstring title = L"About " + WideFromUtf8(kProgramTitle);
  const std::wstring text = WideFromUtf8(std::string(kProgramName) + "\nVersion " +
                                         kProgramVersion + "\n\nBreak reminder and work logger.");
  MSGBOXPARAMSW box{};
  box.cbSize = sizeof(box);
  box.hwndOwner = owner;
  box.hInstance = instance;
  box.lpszText = text.c_str();
  box.lpszCaption = title.c_str();
  box.dwStyle = MB_OK | MB_USERICON;
  box.lpszIcon = MAKEINTRESOURCEW(kProgramIconResource);
  ::MessageBoxIndirectW(&box);
}

}  // namespace tolvi::win
