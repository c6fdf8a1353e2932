#include "dialogs/qt/window_placement.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "dialogs/window_fit.h"

namespace tolvi {
namespace {

// Until the window manager has framed a window its margins read as 0; this
// much is kept free for a title bar and borders meanwhile.
constexpr FrameMargins kAssumedFrame{4, 30, 4, 4};

FrameMargins FrameOf(const QWidget& window) {
  if (window.windowFlags().testFlag(Qt::FramelessWindowHint)) return {};
  const QWindow* handle = window.windowHandle();
  const QMargins margins = handle != nullptr ? handle->frameMargins() : QMargins();
  if (margins.isNull()) return kAssumedFrame;
  return FrameMargins{margins.left(), margins.top(), margins.right(), margins.bottom()};
}

// Where a window not yet shown will open: over its owner, or where it was
// placed.
const QScreen* ScreenOf(const QWidget& window) {
  const QScreen* screen = nullptr;
  if (!window.isVisible()) {
    const QWidget* owner = window.parentWidget();
    if (owner != nullptr && owner->isVisible()) {
      screen = owner->screen();
    } else if (window.testAttribute(Qt::WA_Moved)) {
      screen = QGuiApplication::screenAt(window.geometry().center());
    }
  }
  if (screen == nullptr) screen = window.screen();
  return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

PixelRect Rect(const QRect& rect) {
  return PixelRect{rect.x(), rect.y(), rect.width(), rect.height()};
}

}  // namespace

void FitToScreen(QWidget& window) {
  const QScreen* screen = ScreenOf(window);
  if (screen == nullptr) return;
  QRect client = window.geometry();
  if (!window.isVisible() && !window.testAttribute(Qt::WA_Resized)) {
    client.setSize(window.sizeHint().expandedTo(window.minimumSizeHint()));
  }
  const QSize minimum = window.minimumSize();
  const PixelRect fitted =
      FitWindow(Rect(client), FrameOf(window), Rect(screen->availableGeometry()),
                ClientSize{std::max(minimum.width(), 1), std::max(minimum.height(), 1)});
  // A dialog not yet shown is placed over its owner by Qt, inside the
  // screen; only a shown or placed window is moved here.
  if (window.isVisible() || window.testAttribute(Qt::WA_Moved)) {
    window.setGeometry(fitted.x, fitted.y, fitted.width, fitted.height);
  } else {
    window.resize(fitted.width, fitted.height);
  }
}

int ExecOwned(QDialog& dialog) {
  dialog.setWindowModality(dialog.parentWidget() != nullptr ? Qt::WindowModal
                                                            : Qt::ApplicationModal);
  FitToScreen(dialog);
  return dialog.exec();
}

bool RaiseOpenDialog(QWidget* owner, const QString& name) {
  if (owner == nullptr) return false;
  auto* dialog = owner->findChild<QDialog*>(name, Qt::FindDirectChildrenOnly);
  if (dialog == nullptr || !dialog->isVisible()) return false;
  dialog->showNormal();
  dialog->raise();
  dialog->activateWindow();
  return true;
}

}  // namespace tolvi
