// Tray: the notification-area icon, its tooltip, its balloons and its popup
// menu, on QSystemTrayIcon (StatusNotifierItem or XEmbed).
//
// Qt's own checks are not trusted: without a tray host show() still
// claims success, so the icon counts as shown only while
// QSystemTrayIcon::isSystemTrayAvailable() says a host exists. An icon added
// while there is no host is shown once one appears (TrayHostWatcher), never
// by polling. Balloons go
// to the icon while it is shown, else straight to the desktop's
// notification service.
//
// The menu is built afresh from the model each time it opens; a chosen
// entry is handed on as a command id. FillMenu does the same for the main
// window's own menu.
//
// GUI thread only. Owns its QSystemTrayIcon and QMenu.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"
#include "shell/tray_menu.h"

class QMenu;
class QSystemTrayIcon;

namespace tolvi {

class TrayHostWatcher;

// Fills menu with the entries; a chosen entry calls choose with its id.
void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries,
              const std::function<void(std::uint32_t)>& choose);

// The tooltip as Qt shows it: line ends as "\n".
QString TooltipText(const std::string& tooltip);

struct TrayHooks {
  std::function<void()> left_click;
  std::function<void()> other_click;  // double and middle clicks
  std::function<std::vector<MenuEntry>()> build_menu;
  std::function<void(std::uint32_t)> choose;
};

class Tray : public QObject {
  Q_OBJECT

 public:
  explicit Tray(TrayHooks hooks, QObject* parent = nullptr);
  ~Tray() override;

  static bool HostAvailable();

  // Shows the icon when a tray host exists, else as soon as one appears;
  // true unless Remove was called. Add again changes nothing.
  bool Add(TrayIcon icon, const std::string& tooltip);
  // Changes the picture and tooltip (kept for a later Add while hidden).
  void Set(TrayIcon icon, const std::string& tooltip);
  void SetIcon(TrayIcon icon);
  void ShowBalloon(const std::string& title, const std::string& text);
  void Remove();
  [[nodiscard]] bool shown() const;

  QMenu& menu() { return *menu_; }

 signals:
  // The icon came up after its Add, once a host appeared.
  void ShownLate();

 private:
  void RebuildMenu();
  void ShowWhenHostReady(int tries_left);

  TrayHooks hooks_;
  std::unique_ptr<QMenu> menu_;
  std::unique_ptr<QSystemTrayIcon> icon_;
  std::optional<TrayIcon> shown_icon_;
  std::unique_ptr<TrayHostWatcher> host_watcher_;  // while an added icon waits
  bool removed_ = false;
};

}  // namespace tolvi
