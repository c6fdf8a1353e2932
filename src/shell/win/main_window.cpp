#include "shell/win/main_window.h"

#include <algorithm>
#include <utility>

#include "engine/tray_updates.h"
#include "platform/win/wide_text.h"
#include "shell/display_list.h"
#include "shell/main_window_commands.h"
#include "shell/win/display_painter.h"
#include "state/snapshot.h"

namespace tolvi::win {
namespace {

constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
constexpr WORD kProgramIconId = 500;
constexpr WORD kSmallIconId = 501;

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_BYTEALIGNWINDOW;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconId));
  window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  window_class.lpszClassName = kMainWindowClass;
  window_class.hIconSm = static_cast<HICON>(
      ::LoadImageW(instance, MAKEINTRESOURCEW(kSmallIconId), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
  ::RegisterClassExW(&window_class);  // a second registration fails harmlessly
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, CoreContext& context, MessageHandler handler)
    : context_(context), handler_(std::move(handler)) {
  RegisterWindowClass(instance, &MainWindow::Procedure);
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
  const std::wstring title = WideFromUtf8(kProgramTitle);
  window_ =
      ::CreateWindowExW(0, kMainWindowClass, title.c_str(), kWindowStyle, x, y, kMainWindowWidth,
                        kMainWindowHeight, nullptr, nullptr, instance, this);
}

MainWindow::~MainWindow() {
  Destroy();
}

void MainWindow::Destroy() {
  if (window_ == nullptr) return;
  HWND window = window_;
  ::DestroyWindow(window);  // WM_DESTROY reaches the handler; WM_NCDESTROY clears window_
  window_ = nullptr;
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcW(window, message, w, l);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->window_ = nullptr;
    return ::DefWindowProcW(window, message, w, l);
  }
  return self->Handle(message, w, l);
}

LRESULT MainWindow::Handle(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the whole client area is painted from the bitmap
    case WM_SIZE:
      ::InvalidateRect(window_, nullptr, FALSE);
      break;
    case WM_SIZING: {
      auto* rect = reinterpret_cast<RECT*>(l);
      rect->right = std::min<LONG>(rect->right, rect->left + kMainWindowMaxWidth);
      rect->bottom = std::min<LONG>(rect->bottom, rect->top + kMainWindowMaxHeight);
      return 1;
    }
    default:
      break;
  }
  LRESULT result = 0;
  if (handler_ && handler_(message, w, l, result)) return result;
  return ::DefWindowProcW(window_, message, w, l);
}

void MainWindow::Paint() {
  PAINTSTRUCT paint{};
  HDC target = ::BeginPaint(window_, &paint);
  RECT client{};
  ::GetClientRect(window_, &client);
  const EngineSnapshot snapshot = TakeSnapshot(context_);
  const DisplayList list = BuildDisplayList(
      DisplayState{snapshot.data, snapshot.activity, snapshot.recent},
      static_cast<std::uint32_t>(client.right), static_cast<std::uint32_t>(client.bottom));
  PaintBuffered(target, client, list);
  ::EndPaint(window_, &paint);
  if (list.refresh_totals) ::PostMessageW(window_, kRefreshTotalsMessage, 0, 0);
}

WindowPlacement MainWindow::Placement() const {
  WINDOWPLACEMENT native{};
  native.length = sizeof(native);
  WindowPlacement stored;
  if (window_ == nullptr || ::GetWindowPlacement(window_, &native) == 0) return stored;
  stored.flags = native.flags;
  stored.show_command = native.showCmd;
  stored.min_position_x = native.ptMinPosition.x;
  stored.min_position_y = native.ptMinPosition.y;
  stored.max_position_x = native.ptMaxPosition.x;
  stored.max_position_y = native.ptMaxPosition.y;
  stored.normal_left = native.rcNormalPosition.left;
  stored.normal_top = native.rcNormalPosition.top;
  stored.normal_right = native.rcNormalPosition.right;
  stored.normal_bottom = native.rcNormalPosition.bottom;
  return stored;
}

void MainWindow::Restore(const WindowPlacement& placement) {
  if (!RestoredGeometry(placement)) return;
  WINDOWPLACEMENT native{};
  native.length = sizeof(native);
  native.ptMinPosition = POINT{placement.min_position_x, placement.min_position_y};
  native.ptMaxPosition = POINT{placement.max_position_x, placement.max_position_y};
  native.rcNormalPosition = RECT{placement.normal_left, placement.normal_top,
                                 placement.normal_right, placement.normal_bottom};
  native.showCmd = PlacementMinimized(placement) ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL;
  ::SetWindowPlacement(window_, &native);
}

void MainWindow::ApplyOpacity(std::uint32_t alpha) {
  if (alpha >= kOpaqueWindowAlpha) {
    ::SetWindowLongW(window_, GWL_EXSTYLE, 0);
  } else {
    ::SetWindowLongW(window_, GWL_EXSTYLE, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(window_, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
  }
}

void MainWindow::ApplyOnTop(bool on_top) {
  ::SetWindowPos(window_, on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void MainWindow::Invalidate() {
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, FALSE);
}

}  // namespace tolvi::win
