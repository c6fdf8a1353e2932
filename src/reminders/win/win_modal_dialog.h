// ModalDialog: runs a dialog resource template modally and routes its
// messages to a C++ object, plus the small text and font helpers the
// program's dialogs share (UTF-8 in the core, UTF-16 at the API).
//
// A derived dialog implements OnInit and OnCommand; the object lives on the
// caller's stack for exactly the duration of Run and is reached from the
// window through DWLP_USER. Thread: the one that calls Run (the dialog
// belongs to it).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tolvi::win {

class ModalDialog {
 public:
  virtual ~ModalDialog() = default;
  ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // Shows the template until End; returns End's value, or -1 when the
  // template could not be loaded. A null instance means this program.
  INT_PTR Run(HINSTANCE instance, int template_id, HWND owner);

 protected:
  HWND window() const { return window_; }
  HWND Item(int id) const { return ::GetDlgItem(window_, id); }
  void End(INT_PTR result) { ::EndDialog(window_, result); }

  // WM_INITDIALOG; true lets the dialog manager set the focus.
  virtual bool OnInit() = 0;
  // WM_COMMAND from a control (or IDOK / IDCANCEL from the dialog manager).
  virtual void OnCommand(int id, int code) = 0;
  // Any other message; true when handled (result in *result).
  virtual bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result);

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
};

// A control's text as UTF-8, and the reverse.
std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, std::string_view text);
// Sets the text only when it differs, so the caret of a field being typed
// in stays where it is.
void UpdateItemText(HWND dialog, int id, std::string_view text);
// Line ends as an edit control shows them: every "\n" preceded by "\r".
std::string WithCrLf(std::string_view text);

// Owns a GDI font and deletes it once.
class FontHandle {
 public:
  FontHandle() = default;
  explicit FontHandle(HFONT font) : font_(font) {}
  ~FontHandle() { Reset(); }
  FontHandle(const FontHandle&) = delete;
  FontHandle& operator=(const FontHandle&) = delete;
  HFONT get() const { return font_; }
  void Reset(HFONT font = nullptr) {
    if (font_ != nullptr) ::DeleteObject(font_);
    font_ = font;
  }

 private:
  HFONT font_ = nullptr;
};

// Adds a tooltip for the control to the dialog's tooltip window.
void AddTooltip(HWND tooltip, HWND dialog, int id, std::string_view text);
// A tooltip window for the dialog; destroyed with it.
HWND CreateTooltipWindow(HWND dialog);

}  // namespace tolvi::win
