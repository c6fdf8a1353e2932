#include "shell/qt/main_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "dialogs/qt/window_placement.h"
#include "engine/tray_updates.h"
#include "shell/display_list.h"
#include "shell/qt/display_painter.h"
#include "state/snapshot.h"

namespace tolvi {
namespace {

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

bool OnSomeScreen(const QRect& rect) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(rect)) return true;
  }
  return false;
}

}  // namespace

MainWindow::MainWindow(CoreContext& context, MainWindowHooks hooks, QWidget* parent)
    : QWidget(parent, kWindowFlags), context_(context), hooks_(std::move(hooks)) {
  setWindowTitle(QString::fromUtf8(kProgramTitle.data(), kProgramTitle.size()));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMaximumSize(kMainWindowMaxWidth, kMainWindowMaxHeight);
  resize(kMainWindowWidth, kMainWindowHeight);
}

WindowGeometry MainWindow::Geometry() const {
  return WindowGeometry{x(), y(), width(), height()};
}

void MainWindow::Place(const WindowGeometry& geometry) {
  const WindowGeometry limited = LimitSize(geometry);
  if (!OnSomeScreen(QRect(limited.x, limited.y, limited.width, limited.height))) {
    resize(limited.width, limited.height);
    Centre();
    return;
  }
  move(limited.x, limited.y);
  resize(limited.width, limited.height);
  FitToScreen(*this);  // a screen smaller than the stored size, or scaled
}

void MainWindow::Centre() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
  const WindowGeometry centred = CentredGeometry(area.width(), area.height());
  move(area.x() + centred.x, area.y() + centred.y);
  FitToScreen(*this);
}

void MainWindow::ApplyOpacity(std::uint32_t alpha) {
  setWindowOpacity(static_cast<double>(alpha) / kOpaqueWindowAlpha);
}

void MainWindow::ApplyOnTop(bool on_top) {
  if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on_top) return;
  const bool shown = isVisible();
  // Changing the flags re-creates the native window, which hides it.
  setWindowFlag(Qt::WindowStaysOnTopHint, on_top);
  if (shown) show();
}

void MainWindow::Render() {
  const EngineSnapshot snapshot = TakeSnapshot(context_);
  const DisplayList list =
      BuildDisplayList(DisplayState{snapshot.data, snapshot.activity, snapshot.recent},
                       static_cast<std::uint32_t>(width()), static_cast<std::uint32_t>(height()));
  if (back_buffer_.isNull()) {
    const qreal ratio = devicePixelRatioF();
    back_buffer_ = QPixmap(size() * ratio);
    back_buffer_.setDevicePixelRatio(ratio);
  }
  QPainter painter(&back_buffer_);
  PaintDisplayList(painter, list);
  if (list.refresh_totals && hooks_.refresh_totals) hooks_.refresh_totals();
}

void MainWindow::paintEvent(QPaintEvent*) {
  Render();
  QPainter painter(this);
  painter.drawPixmap(0, 0, back_buffer_);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  back_buffer_ = QPixmap();
  update();
  QWidget::resizeEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint position = event->position().toPoint();
  if (event->button() == Qt::LeftButton && InClickBand(position.y())) {
    if (hooks_.band_clicked) hooks_.band_clicked();
  } else if (event->button() == Qt::RightButton && hooks_.context_menu) {
    // Above the window the row is none; negative y cannot occur here.
    hooks_.context_menu(event->globalPosition().toPoint(),
                        static_cast<std::uint32_t>(std::max(0, position.y())));
  }
  QWidget::mouseReleaseEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The program goes on in the tray; the owner decides how to hide.
  event->ignore();
  if (hooks_.close_requested) hooks_.close_requested();
}

}  // namespace tolvi
