// MainWindow: the "Time Display" window. It has no child widgets: every
// paint builds the display list from a snapshot of the state and draws it
// into a back buffer, which is then copied to the window in one step (the
// buffer is dropped on every resize). A left click in the top band acts as
// a left click on the tray icon; a right click opens the window's menu;
// the close box only asks its owner to hide the window.
//
// GUI thread only. Borrows the core context; the hooks belong to its owner.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "shell/main_window_commands.h"
#include "state/core_context.h"

namespace tolvi {

struct MainWindowHooks {
  std::function<void()> band_clicked;
  std::function<void(const QPoint& global_position, std::uint32_t client_y)> context_menu;
  std::function<void()> close_requested;
  // A work share above 100 %: the totals want a refresh.
  std::function<void()> refresh_totals;
};

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  MainWindow(CoreContext& context, MainWindowHooks hooks, QWidget* parent = nullptr);

  [[nodiscard]] WindowGeometry Geometry() const;
  // Moves and sizes the window; a place on no screen (a monitor since
  // unplugged) centres it on the primary screen instead.
  void Place(const WindowGeometry& geometry);
  void Centre();
  void ApplyOpacity(std::uint32_t alpha);
  void ApplyOnTop(bool on_top);

  // The picture as last painted (for tests and screenshots).
  [[nodiscard]] const QPixmap& back_buffer() const { return back_buffer_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Render();

  CoreContext& context_;
  MainWindowHooks hooks_;
  QPixmap back_buffer_;
};

}  // namespace tolvi
