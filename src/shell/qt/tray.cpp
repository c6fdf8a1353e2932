#include "shell/qt/tray.h"

#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include "platform/linux/desktop_notifications.h"
#include "platform/linux/tray_host_watcher.h"
#include "shell/qt/icons.h"

namespace tolvi {
namespace {

// Balloons ask for three seconds; desktops show them at least this long.
constexpr int kBalloonTimeoutMs = 10'000;
// A new host may answer Qt's check a moment after it announced itself.
constexpr int kHostSettleTries = 10;
constexpr int kHostSettleMs = 200;

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

}  // namespace

void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries,
              const std::function<void(std::uint32_t)>& choose) {
  for (const MenuEntry& entry : entries) {
    switch (entry.kind) {
      case MenuEntryKind::kSeparator:
        menu.addSeparator();
        break;
      case MenuEntryKind::kSubmenu:
        FillMenu(*menu.addMenu(Text(entry.text)), entry.submenu, choose);
        break;
      case MenuEntryKind::kCommand: {
        // "&" would turn the next letter of a work type's name into a
        // shortcut; names are shown as written.
        QString text = Text(entry.text);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu.addAction(text);
        action->setCheckable(entry.checked);
        action->setChecked(entry.checked);
        action->setEnabled(entry.enabled);
        const std::uint32_t id = entry.id;
        QObject::connect(action, &QAction::triggered, &menu, [choose, id] { choose(id); });
        break;
      }
    }
  }
}

QString TooltipText(const std::string& tooltip) {
  QString text = Text(tooltip);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

Tray::Tray(TrayHooks hooks, QObject* parent)
    : QObject(parent),
      hooks_(std::move(hooks)),
      menu_(std::make_unique<QMenu>()),
      icon_(std::make_unique<QSystemTrayIcon>(TrayIconImage(TrayIcon::kOnBreak))) {
  icon_->setContextMenu(menu_.get());
  connect(menu_.get(), &QMenu::aboutToShow, this, &Tray::RebuildMenu);
  connect(icon_.get(), &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Trigger) {
              if (hooks_.left_click) hooks_.left_click();
            } else if (reason != QSystemTrayIcon::Context && hooks_.other_click) {
              hooks_.other_click();
            }
          });
}

Tray::~Tray() = default;

bool Tray::HostAvailable() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

bool Tray::Add(TrayIcon icon, const std::string& tooltip) {
  if (removed_) return false;
  // A repeated add (the monitor retries until it hears of success) must not
  // put back the start-up picture over a newer one.
  if (icon_->isVisible() || host_watcher_) return true;
  Set(icon, tooltip);
  if (HostAvailable()) {
    icon_->show();
    return true;
  }
  host_watcher_ = std::make_unique<TrayHostWatcher>();
  // Queued: the watcher is deleted once the icon shows, never inside its
  // own signal.
  connect(
      host_watcher_.get(), &TrayHostWatcher::HostMayHaveAppeared, this,
      [this] { ShowWhenHostReady(kHostSettleTries); }, Qt::QueuedConnection);
  return true;
}

void Tray::ShowWhenHostReady(int tries_left) {
  if (removed_ || !host_watcher_) return;
  if (HostAvailable()) {
    host_watcher_.reset();
    icon_->show();
    emit ShownLate();
  } else if (tries_left > 1) {
    QTimer::singleShot(kHostSettleMs, this,
                       [this, tries_left] { ShowWhenHostReady(tries_left - 1); });
  }
}

void Tray::Set(TrayIcon icon, const std::string& tooltip) {
  SetIcon(icon);
  const QString text = TooltipText(tooltip);
  if (text != icon_->toolTip()) icon_->setToolTip(text);
}

void Tray::SetIcon(TrayIcon icon) {
  if (icon == shown_icon_) return;
  shown_icon_ = icon;
  icon_->setIcon(TrayIconImage(icon));
}

void Tray::ShowBalloon(const std::string& title, const std::string& text) {
  if (shown()) {
    icon_->showMessage(Text(title), Text(text), QSystemTrayIcon::NoIcon, kBalloonTimeoutMs);
  } else {
    SendDesktopNotification(Text(title), Text(text));
  }
}

void Tray::Remove() {
  removed_ = true;
  host_watcher_.reset();
  icon_->hide();
}

bool Tray::shown() const {
  return icon_->isVisible() && HostAvailable();
}

void Tray::RebuildMenu() {
  menu_->clear();
  // clear() leaves the submenus of the last build behind as children.
  for (QMenu* submenu : menu_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) {
    submenu->deleteLater();
  }
  if (hooks_.build_menu) FillMenu(*menu_, hooks_.build_menu(), hooks_.choose);
}

}  // namespace tolvi
