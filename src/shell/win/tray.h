// Tray: the notification-area icon of the main window (icon id 0, callback
// kTrayCallbackMessage), its four pictures (resources 501, 503, 504, 505),
// its tooltip (cut to 127 characters), its balloons (title 63, text 255
// characters) and the popup menus built from the core's menu model.
//
// Add is repeated by the monitor until it succeeds; once shown, a repeated
// Add changes nothing. Readd puts the icon back after Explorer restarts
// ("TaskbarCreated"). Without a notification area, the caller shows its
// notices in a message box of their own (WinShell::Tell).
//
// GUI thread only. Owns the icon handles it loads; the window is borrowed.
#pragma once

#include <windows.h>
// windows.h first: this needs its types.
#include <shellapi.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "shell/tray_menu.h"

namespace tolvi::win {

inline constexpr UINT kTrayCallbackMessage = WM_USER + 5;

// A popup menu for the entries; the caller destroys it (DestroyMenu).
HMENU BuildNativeMenu(const std::vector<MenuEntry>& entries);
// Shows the entries at the screen point and returns the chosen id, or 0.
std::uint32_t TrackMenu(HWND owner, const std::vector<MenuEntry>& entries, POINT at,
                        UINT alignment);

class Tray {
 public:
  Tray(HINSTANCE instance, HWND window);
  ~Tray();
  Tray(const Tray&) = delete;
  Tray& operator=(const Tray&) = delete;

  bool Add(TrayIcon icon, const std::string& tooltip);
  // After "TaskbarCreated": the small program icon and the title; the mode's
  // picture and tooltip follow at the next refresh.
  void Readd();
  // True when the desktop has a notification area to show an icon in.
  static bool HostAvailable();
  void Set(TrayIcon icon, const std::string& tooltip);
  void SetIcon(TrayIcon icon);
  // False when the icon is not shown (the caller tells the user otherwise).
  bool ShowBalloon(const std::string& title, const std::string& text);
  void Remove();
  bool shown() const { return shown_; }

 private:
  NOTIFYICONDATAW Base(UINT flags) const;
  HICON IconFor(TrayIcon icon) const;

  HWND window_;
  HICON icons_[4] = {};
  TrayIcon icon_ = TrayIcon::kOnBreak;
  std::wstring tooltip_;
  bool shown_ = false;
  bool removed_ = false;
};

}  // namespace tolvi::win
