#include "shell/qt/qt_ui.h"

#include <QDesktopServices>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <system_error>

#include "dialogs/qt/dialog_services.h"
#include "shell/qt/icons.h"

namespace tolvi {
namespace {

// Before the main window exists (the data files' questions at start-up)
// the question window stands alone.
int AskTarget(UiTarget* target, const Question& question, ChoiceOpenFlag& open_flag) {
  if (target != nullptr) return target->OnAsk(question);
  return AskQuestion(question, /*on_top=*/true, open_flag, ProgramIcon(), nullptr);
}

}  // namespace

QtUi::QtUi(QObject* parent) : QObject(parent) {}

QtUi::~QtUi() = default;

void QtUi::SetTarget(DesktopUiTarget* target) {
  ForwardingUi::SetTarget(target);
}

DesktopUiTarget* QtUi::desktop_target() const {
  // Only SetTarget above sets the target, and always a DesktopUiTarget.
  return static_cast<DesktopUiTarget*>(target());
}

bool QtUi::OnGuiThread() const {
  return QThread::currentThread() == thread();
}

void QtUi::Queue(std::function<void()> call) {
  QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

QTimer& QtUi::TimerFor(TimerId id) {
  std::unique_ptr<QTimer>& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    connect(timer.get(), &QTimer::timeout, this, [this, id] {
      if (DesktopUiTarget* shell = desktop_target()) shell->OnTimer(id);
    });
  }
  return *timer;
}

bool QtUi::TimerArmed(TimerId id) const {
  const auto found = timers_.find(id);
  return found != timers_.end() && found->second->isActive();
}

void QtUi::ArmTimer(TimerId id, std::uint32_t period_ms) {
  RunOnGuiThread([this, id, period_ms] {
    // Arming an armed timer starts its period again.
    TimerFor(id).start(static_cast<int>(std::min<std::uint32_t>(period_ms, 0x7FFF'FFFF)));
  });
}

void QtUi::KillTimer(TimerId id) {
  RunOnGuiThread([this, id] {
    if (const auto found = timers_.find(id); found != timers_.end()) found->second->stop();
  });
}

void QtUi::PostCommand(std::uint32_t command_id) {
  Queue([this, command_id] {
    if (DesktopUiTarget* shell = desktop_target()) shell->OnCommand(command_id);
  });
}

int QtUi::Ask(const Question& question) {
  if (OnGuiThread()) return AskTarget(target(), question, early_choice_open_);
  int answer = 2;
  QMetaObject::invokeMethod(
      this,
      [this, &question, &answer] { answer = AskTarget(target(), question, early_choice_open_); },
      Qt::BlockingQueuedConnection);
  return answer;
}

void QtUi::Beep() {
  RunOnGuiThread([this] { sound_.Beep(); });
}

void QtUi::PlaySoundFile(const std::filesystem::path& file) {
  RunOnGuiThread([this, file] { sound_.Play(file); });
}

void QtUi::StopSound() {
  RunOnGuiThread([this] { sound_.Stop(); });
}

void QtUi::OpenWithDefaultApp(const std::filesystem::path& file) {
  RunOnGuiThread([this, file] {
    // The desktop's opener fails out of sight (and Qt still reports
    // success), so what can be seen here is told.
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
      Notify("Tolvi cannot open \"" + file.string() + "\": the file is missing.");
      return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())))) {
      Notify("Tolvi cannot open \"" + file.string() +
             "\": no program to open it was found (xdg-open, from xdg-utils).");
    }
  });
}

}  // namespace tolvi
