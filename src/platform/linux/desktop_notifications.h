// Desktop notifications through org.freedesktop.Notifications on the
// session bus: the balloons' road when there is no tray icon to carry them.
// The call is sent without waiting for an answer, so a missing or hung
// notification daemon never holds up the program; without a session bus
// nothing is sent.
//
// GUI thread (the QApplication must exist).
#pragma once

#include <QString>

namespace tolvi {

inline constexpr int kNotificationTimeoutMs = 10'000;

// False when no session bus is connected (nothing was sent).
bool SendDesktopNotification(const QString& title, const QString& text,
                             const QString& icon_name = QStringLiteral("tolvi"));

}  // namespace tolvi
