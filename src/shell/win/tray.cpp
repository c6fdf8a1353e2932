#include "shell/win/tray.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>

#include "engine/tray_updates.h"
#include "platform/win/wide_text.h"

namespace tolvi::win {
namespace {

constexpr UINT kIconId = 0;
constexpr UINT kBalloonTimeoutMs = 3;
constexpr TrayIcon kPictures[] = {TrayIcon::kOnBreak, TrayIcon::kAway, TrayIcon::kWorking,
                                  TrayIcon::kAtMeeting};

// Copies as much of text as fits, always terminated.
template <std::size_t N>
void CopyCut(WCHAR (&field)[N], const std::wstring& text) {
  const std::size_t length = std::min(text.size(), N - 1);
  std::wmemcpy(field, text.data(), length);
  field[length] = L'\0';
}

// "&" would underline the next letter of a work type's name.
std::wstring MenuText(const std::string& text) {
  std::wstring wide;
  for (const wchar_t c : WideFromUtf8(text)) {
    wide += c;
    if (c == L'&') wide += L'&';
  }
  return wide;
}

}  // namespace

HMENU BuildNativeMenu(const std::vector<MenuEntry>& entries) {
  HMENU menu = ::CreatePopupMenu();
  for (const MenuEntry& entry : entries) {
    switch (entry.kind) {
      case MenuEntryKind::kSeparator:
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuEntryKind::kSubmenu:
        ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildNativeMenu(entry.submenu)),
                      MenuText(entry.text).c_str());
        break;
      case MenuEntryKind::kCommand: {
        UINT flags = MF_STRING;
        if (entry.checked) flags |= MF_CHECKED;
        if (!entry.enabled) flags |= MF_GRAYED;
        ::AppendMenuW(menu, flags, entry.id, MenuText(entry.text).c_str());
        break;
      }
    }
  }
  return menu;
}

std::uint32_t TrackMenu(HWND owner, const std::vector<MenuEntry>& entries, POINT at,
                        UINT alignment) {
  HMENU menu = BuildNativeMenu(entries);
  // Without the foreground the menu would not close on a click elsewhere;
  // the null message makes the next click reach the menu's owner.
  ::SetForegroundWindow(owner);
  const BOOL chosen = ::TrackPopupMenu(menu, alignment | TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x,
                                       at.y, 0, owner, nullptr);
  ::PostMessageW(owner, WM_NULL, 0, 0);
  ::DestroyMenu(menu);  // submenus go with it
  return static_cast<std::uint32_t>(chosen);
}

Tray::Tray(HINSTANCE instance, HWND window) : window_(window) {
  const int size = ::GetSystemMetrics(SM_CXSMICON);
  for (std::size_t i = 0; i < std::size(kPictures); ++i) {
    icons_[i] =
        static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(static_cast<WORD>(kPictures[i])),
                                        IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  }
  tooltip_ = WideFromUtf8(kProgramTitle);
}

Tray::~Tray() {
  Remove();
  for (HICON icon : icons_) {
    if (icon != nullptr) ::DestroyIcon(icon);
  }
}

HICON Tray::IconFor(TrayIcon icon) const {
  for (std::size_t i = 0; i < std::size(kPictures); ++i) {
    if (kPictures[i] == icon) return icons_[i];
  }
  return icons_[0];  // the program icon: the On Break picture
}

NOTIFYICONDATAW Tray::Base(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = NIF_MESSAGE | NIF_ICON | flags;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = IconFor(icon_);
  return data;
}

bool Tray::Add(TrayIcon icon, const std::string& tooltip) {
  if (removed_) return false;
  if (shown_) return true;  // a repeated add keeps the newer picture
  icon_ = icon;
  tooltip_ = WideFromUtf8(tooltip);
  NOTIFYICONDATAW data = Base(NIF_TIP);
  CopyCut(data.szTip, tooltip_);
  shown_ = ::Shell_NotifyIconW(NIM_ADD, &data) != 0;
  return shown_;
}

void Tray::Readd() {
  if (removed_) return;
  icon_ = TrayIcon::kOnBreak;
  tooltip_ = WideFromUtf8(kProgramTitle);
  NOTIFYICONDATAW data = Base(NIF_TIP);
  CopyCut(data.szTip, tooltip_);
  // "TaskbarCreated" also comes while the icon is still there (a second
  // broadcast, a display change): the add then fails, but the icon is shown.
  shown_ = ::Shell_NotifyIconW(NIM_ADD, &data) != 0 ||
           (shown_ && ::Shell_NotifyIconW(NIM_MODIFY, &data) != 0);
}

bool Tray::HostAvailable() {
  return ::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

void Tray::Set(TrayIcon icon, const std::string& tooltip) {
  icon_ = icon;
  tooltip_ = WideFromUtf8(tooltip);
  if (!shown_) return;  // kept for the add
  NOTIFYICONDATAW data = Base(NIF_TIP);
  CopyCut(data.szTip, tooltip_);
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void Tray::SetIcon(TrayIcon icon) {
  icon_ = icon;
  if (!shown_) return;
  NOTIFYICONDATAW data = Base(0);
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

bool Tray::ShowBalloon(const std::string& title, const std::string& text) {
  if (!shown_) return false;
  NOTIFYICONDATAW data = Base(NIF_INFO);
  CopyCut(data.szInfoTitle, WideFromUtf8(title));
  CopyCut(data.szInfo, WideFromUtf8(text));
  data.uTimeout = kBalloonTimeoutMs;
  data.dwInfoFlags = NIIF_NONE;
  return ::Shell_NotifyIconW(NIM_MODIFY, &data) != 0;
}

void Tray::Remove() {
  removed_ = true;
  if (!shown_) return;
  NOTIFYICONDATAW data = Base(0);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
  shown_ = false;
}

}  // namespace tolvi::win
