// MainWindow: the native window of class "TOLVDLG", titled "Tolvi 1.91": a
// resizable overlapped window without a maximize box, created hidden and
// centred, 420 x 452, never larger than 570 x 652 while dragged. It paints
// the core's display list through an off-screen bitmap (no flicker), and
// applies the window options: layered-window transparency (the alpha, or
// opaque at 255) and the topmost flag.
//
// Every other message goes to the handler given at creation, which returns
// true when it handled the message (and sets the result). The window
// procedure runs on the GUI thread only; the object owns the HWND and
// destroys it with itself.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "state/core_context.h"
#include "storage/program_data.h"

namespace tolvi::win {

inline constexpr wchar_t kMainWindowClass[] = L"TOLVDLG";

// Posted to the window after a paint that found the totals out of step.
inline constexpr UINT kRefreshTotalsMessage = WM_APP + 3;

using MessageHandler = std::function<bool(UINT message, WPARAM w, LPARAM l, LRESULT& result)>;

class MainWindow {
 public:
  MainWindow(HINSTANCE instance, CoreContext& context, MessageHandler handler);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND handle() const { return window_; }
  bool valid() const { return window_ != nullptr; }
  bool visible() const { return window_ != nullptr && ::IsWindowVisible(window_) != 0; }
  // The window's placement in the stored form, and back (an implausible
  // record leaves the window centred where it was created).
  WindowPlacement Placement() const;
  void Restore(const WindowPlacement& placement);
  void ApplyOpacity(std::uint32_t alpha);
  void ApplyOnTop(bool on_top);
  void Invalidate();
  // Destroys the window now (command 2012); the handler sees WM_DESTROY.
  void Destroy();

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void Paint();

  CoreContext& context_;
  MessageHandler handler_;
  HWND window_ = nullptr;
};

}  // namespace tolvi::win
