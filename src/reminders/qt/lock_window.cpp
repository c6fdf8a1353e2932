#include "reminders/qt/lock_window.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPalette>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include "reminders/qt/choice_dialog.h"

namespace tolvi {
namespace {

constexpr int kExposeWaitMs = 2'000;
constexpr int kEventSliceMs = 50;
// Another program may hold a grab for a moment (an open menu): try a while.
constexpr int kGrabTries = 20;
constexpr QRgb kCoverColour = 0xFF1E2A33;

// The question as a child of its cover, in the middle of it.
class CoveredChoiceDialog final : public ChoiceDialog {
 public:
  using ChoiceDialog::ChoiceDialog;

 protected:
  void showEvent(QShowEvent* event) override {
    ChoiceDialog::showEvent(event);
    if (const QWidget* cover = parentWidget()) {
      move((cover->width() - width()) / 2, (cover->height() - height()) / 2);
    }
  }
};

std::unique_ptr<QWidget> MakeCover(QScreen& screen) {
  auto cover = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint |
                                                      Qt::WindowStaysOnTopHint |
                                                      Qt::X11BypassWindowManagerHint);
  cover->setObjectName(QStringLiteral("lock_cover"));
  cover->setWindowTitle(QString::fromLatin1(kChoiceCaption));
  QPalette palette = cover->palette();
  palette.setColor(QPalette::Window, QColor::fromRgb(kCoverColour));
  cover->setPalette(palette);
  cover->setAutoFillBackground(true);
  // Without a window manager a full-screen request keeps the old size, so
  // the cover takes the screen's geometry itself.
  cover->setGeometry(screen.geometry());
  if (!LockCanHoldInput()) {
    // A Wayland compositor places a window on an output only when told
    // which, and ignores positions: each cover asks for its screen.
    cover->setScreen(&screen);
    cover->setWindowState(Qt::WindowFullScreen);
  }
  return cover;
}

// The primary screen first: its cover hosts the question.
QList<QScreen*> ScreensPrimaryFirst() {
  QList<QScreen*> screens = QGuiApplication::screens();
  QScreen* primary = QGuiApplication::primaryScreen();
  if (primary != nullptr && screens.removeOne(primary)) screens.prepend(primary);
  return screens;
}

}  // namespace

bool LockCanHoldInput() {
  return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

LockWindow::LockWindow(const ChoiceRequest& request, ChoiceOpenFlag& open_flag,
                       const QIcon& program_icon) {
  for (QScreen* screen : ScreensPrimaryFirst()) covers_.push_back(MakeCover(*screen));
  if (covers_.empty()) return;
  ChoiceRequest covered = request;
  covered.on_top = false;  // a child of the cover, which is on top itself
  question_ = new CoveredChoiceDialog(covered, open_flag, program_icon, covers_.front().get());
  question_->setWindowFlags(Qt::Widget);
  // The question keeps the usual window colours, not the cover's dark one.
  const QPalette normal = QGuiApplication::palette();
  QPalette palette = question_->palette();
  palette.setColor(QPalette::Window, normal.color(QPalette::Window));
  palette.setColor(QPalette::WindowText, normal.color(QPalette::WindowText));
  question_->setPalette(palette);
  question_->setAutoFillBackground(true);
  question_->hide();  // shown by Run, once the lock holds
}

LockWindow::~LockWindow() {
  Release();
}

bool LockWindow::WaitUntilExposed() {
  const QDeadlineTimer deadline(kExposeWaitMs);
  while (!deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, kEventSliceMs);
    bool all_exposed = true;
    for (const auto& cover : covers_) {
      const QWindow* window = cover->windowHandle();
      all_exposed = all_exposed && window != nullptr && window->isExposed();
    }
    if (all_exposed) return true;
  }
  return false;
}

LockAttempt LockWindow::Engage() {
  LockAttempt attempt;
  if (covers_.empty()) return attempt;
  for (const auto& cover : covers_) {
    cover->show();
    cover->raise();
  }
  attempt.screens_covered = WaitUntilExposed();
  attempt.platform_can_grab = LockCanHoldInput();
  if (!attempt.screens_covered) return attempt;
  QWindow* window = covers_.front()->windowHandle();
  if (!attempt.platform_can_grab) {
    // Keep focus where the compositor lets us: on the question's cover.
    window->requestActivate();
    return attempt;
  }
  for (int attempt_number = 0; attempt_number < kGrabTries; ++attempt_number) {
    if (!keyboard_grabbed_) keyboard_grabbed_ = window->setKeyboardGrabEnabled(true);
    if (!pointer_grabbed_) pointer_grabbed_ = window->setMouseGrabEnabled(true);
    if (keyboard_grabbed_ && pointer_grabbed_) break;
    QCoreApplication::processEvents(QEventLoop::AllEvents, kEventSliceMs);
  }
  attempt.keyboard_grabbed = keyboard_grabbed_;
  attempt.pointer_grabbed = pointer_grabbed_;
  if (keyboard_grabbed_ && pointer_grabbed_) {
    covers_.front()->activateWindow();
    window->requestActivate();
  }
  return attempt;
}

int LockWindow::Run() {
  if (question_ == nullptr) return static_cast<int>(ChoiceResult::kSecond);
  question_->exec();
  return static_cast<int>(question_->choice());
}

void LockWindow::Release() {
  if (!covers_.empty()) {
    if (QWindow* window = covers_.front()->windowHandle()) {
      if (keyboard_grabbed_) window->setKeyboardGrabEnabled(false);
      if (pointer_grabbed_) window->setMouseGrabEnabled(false);
    }
  }
  keyboard_grabbed_ = false;
  pointer_grabbed_ = false;
  question_ = nullptr;  // owned by the first cover
  for (const auto& cover : covers_) cover->hide();
  covers_.clear();
}

int ShowLockedReminder(DesktopLock& lock, const Question& question, ChoiceOpenFlag& open_flag,
                       const QIcon& program_icon) {
  const ChoiceRequest request = ChoiceRequestFor(question, /*on_top=*/true);
  if (!lock.idle()) return static_cast<int>(AskChoice(request, open_flag, program_icon));
  LockWindow window(request, open_flag, program_icon);
  int answer = static_cast<int>(ChoiceResult::kSecond);
  if (lock.Begin(window.Engage()) == LockPhase::kLocked) {
    answer = window.Run();
  } else {
    window.Release();
    answer = static_cast<int>(AskChoice(request, open_flag, program_icon));
  }
  lock.Answered(answer);
  window.Release();
  return lock.Release().value_or(static_cast<int>(ChoiceResult::kSecond));
}

}  // namespace tolvi
