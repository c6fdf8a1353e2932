#include "shell/qt/alert_toolkit.h"

#include <QEventLoop>
#include <QTimer>

#include "reminders/qt/lock_window.h"

namespace tolvi {

AlertToolkit QtAlertToolkit(ChoiceOpenFlag& choice_open, QIcon program_icon) {
  AlertToolkit toolkit;
  toolkit.pause = [](std::uint32_t ms) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
  };
  toolkit.ask_on_lock_desktop = [&choice_open, icon = std::move(program_icon)](
                                    DesktopLock& lock, const Question& question) {
    return ShowLockedReminder(lock, question, choice_open, icon);
  };
  return toolkit;
}

}  // namespace tolvi
