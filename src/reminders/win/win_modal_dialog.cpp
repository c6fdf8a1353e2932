#include "reminders/win/win_modal_dialog.h"

#include <commctrl.h>

#include <vector>

#include "platform/win/wide_text.h"

namespace tolvi::win {

INT_PTR ModalDialog::Run(HINSTANCE instance, int template_id, HWND owner) {
  if (instance == nullptr) instance = ::GetModuleHandleW(nullptr);
  return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(template_id), owner, &Procedure,
                           reinterpret_cast<LPARAM>(this));
}

bool ModalDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) {
  return false;
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<ModalDialog*>(lparam);
    ::SetWindowLongPtrW(window, DWLP_USER, lparam);
    dialog->window_ = window;
    return dialog->OnInit() ? TRUE : FALSE;
  }
  auto* dialog = reinterpret_cast<ModalDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
  if (dialog == nullptr) return FALSE;
  if (message == WM_COMMAND) {
    dialog->OnCommand(LOWORD(wparam), HIWORD(wparam));
    return TRUE;
  }
  INT_PTR result = 0;
  if (!dialog->OnMessage(message, wparam, lparam, &result)) return FALSE;
  ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

std::string ItemText(HWND dialog, int id) {
  const HWND item = ::GetDlgItem(dialog, id);
  if (item == nullptr) return {};
  const int length = ::GetWindowTextLengthW(item);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int copied = ::GetWindowTextW(item, buffer.data(), length + 1);
  return Utf8FromWide(std::wstring_view(buffer.data(), static_cast<std::size_t>(copied)));
}

void SetItemText(HWND dialog, int id, std::string_view text) {
  ::SetDlgItemTextW(dialog, id, WideFromUtf8(text).c_str());
}

void UpdateItemText(HWND dialog, int id, std::string_view text) {
  if (ItemText(dialog, id) != text) SetItemText(dialog, id, text);
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

HWND CreateTooltipWindow(HWND dialog) {
  return ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                           ::GetModuleHandleW(nullptr), nullptr);
}

void AddTooltip(HWND tooltip, HWND dialog, int id, std::string_view text) {
  const HWND control = ::GetDlgItem(dialog, id);
  if (tooltip == nullptr || control == nullptr) return;
  std::wstring wide = WideFromUtf8(text);
  TOOLINFOW info{};
  // The size without the reserved member: comctl32 version 5 (no manifest)
  // refuses the larger structure.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = dialog;
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = wide.data();
  ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

}  // namespace tolvi::win
