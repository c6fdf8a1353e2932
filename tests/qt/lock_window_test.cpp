// The locked break reminder. On the offscreen platform no grab can be taken,
// so the reminder must come up as an ordinary window. Under an X server
// (the xvfb.lock_window test) the covers must span every screen, another
// client must be unable to take the keyboard or the pointer while the
// reminder is up, and both must be free again once it is answered.
#include "reminders/qt/lock_window.h"

#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>
#include <functional>
#include <memory>

#include "widget_fixture.h"

// Xlib last: its macros (Status, None, Bool...) would clash with the headers
// above.
#include <X11/Xlib.h>

namespace tolvi {
namespace {

bool OnX11() {
  return QGuiApplication::platformName() == QStringLiteral("xcb");
}

bool OnWayland() {
  return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

// Whether another X client could grab the keyboard and the pointer now.
bool InputFreeForOthers() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  const Window root = DefaultRootWindow(display);
  const bool keyboard =
      XGrabKeyboard(display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
  const bool pointer = XGrabPointer(display, root, False, ButtonPressMask, GrabModeAsync,
                                    GrabModeAsync, 0, 0, CurrentTime) == GrabSuccess;
  XUngrabKeyboard(display, CurrentTime);
  XUngrabPointer(display, CurrentTime);
  XCloseDisplay(display);
  return keyboard && pointer;
}

QList<QWidget*> VisibleCovers() {
  QList<QWidget*> covers;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QStringLiteral("lock_cover") && widget->isVisible()) {
      covers << widget;
    }
  }
  return covers;
}

}  // namespace

class LockWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    lock_ = std::make_unique<DesktopLock>();
    open_ = std::make_unique<ChoiceOpenFlag>();
  }
  // Whatever the test did, the lock is over and has let go of the screen.
  void cleanup() {
    QVERIFY(lock_->idle());
    QVERIFY(!open_->IsOpen());
    QVERIFY(VisibleCovers().isEmpty());
    if (OnX11()) QVERIFY(InputFreeForOthers());
  }

  // Offscreen no grab can be taken; under X another program holds the
  // keyboard (the xvfb.lock_window test).
  void WithoutAGrabTheReminderShowsNormally() {
    if (OnWayland()) QSKIP("Wayland has no grabs to fail");
    Display* other = OnX11() ? XOpenDisplay(nullptr) : nullptr;
    QVERIFY(!OnX11() || other != nullptr);
    if (other != nullptr) {
      QCOMPARE(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                             CurrentTime),
               GrabSuccess);
      XSync(other, False);
    }
    LockPhase phase = LockPhase::kIdle;
    bool covered = true;
    const int answer = Show(
        [&] {
          phase = lock_->phase();
          covered = !VisibleCovers().isEmpty();
          test::AnswerChoice("first_button");
        },
        [] { return test::VisibleChoice() != nullptr && test::VisibleChoice()->isWindow(); });
    if (other != nullptr) {
      XUngrabKeyboard(other, CurrentTime);
      XCloseDisplay(other);
    }
    QCOMPARE(answer, 1);
    QCOMPARE(phase, LockPhase::kUnlocked);
    QVERIFY(!covered);
  }

  void LockCoversEveryScreenHoldsTheInputAndReleasesAfterTheAnswer() {
    if (!OnX11()) QSKIP("needs an X server (run by the xvfb.lock_window test)");
    QVERIFY(InputFreeForOthers());
    // Looked at while the reminder is up, checked once it has been answered
    // (a failed check must not leave the test waiting on a locked screen).
    LockPhase phase = LockPhase::kIdle;
    bool counted_open = false;
    bool every_screen_covered = true;
    bool input_held = false;
    QCOMPARE(
        Show([&] {
          phase = lock_->phase();
          counted_open = open_->IsOpen();
          QList<QRect> covered;
          for (const QWidget* cover : VisibleCovers()) covered << cover->geometry();
          for (const QScreen* screen : QGuiApplication::screens()) {
            every_screen_covered = every_screen_covered && covered.contains(screen->geometry());
          }
          input_held = !InputFreeForOthers();
          QGuiApplication::primaryScreen()->grabWindow(0).save(test::ScreenshotPath("lock_window"));
          test::AnswerChoice("second_button");
        }),
        2);
    QCOMPARE(phase, LockPhase::kLocked);
    QVERIFY(counted_open);
    QVERIFY(every_screen_covered);
    QVERIFY(input_held);
  }

  // Run by e2e.wayland_lock on a headless sway with two outputs.
  void OnWaylandEveryScreenHasItsOwnCoverAndTheAnswerReleasesThem() {
    if (!OnWayland()) QSKIP("needs a Wayland compositor (run by the e2e.wayland_lock test)");
    LockPhase phase = LockPhase::kIdle;
    QList<QScreen*> covered;
    QCOMPARE(Show([&] {
               phase = lock_->phase();
               QTest::qWait(500);  // the outputs each surface entered, as the compositor says
               for (QWidget* cover : VisibleCovers()) {
                 if (cover->isFullScreen()) covered << cover->windowHandle()->screen();
               }
               test::AnswerChoice("first_button");
             }),
             1);
    QCOMPARE(phase, LockPhase::kLocked);
    const int screens = qEnvironmentVariableIntValue("TOLVI_EXPECT_SCREENS");
    if (screens > 0) QCOMPARE(QGuiApplication::screens().size(), screens);
    QCOMPARE(covered.size(), QGuiApplication::screens().size());
    for (QScreen* screen : QGuiApplication::screens()) QVERIFY(covered.contains(screen));
  }

  // Real input through the X server (xdotool's XTEST events), as a person
  // would answer: the grab must deliver it to the reminder.
  void RealKeyAndClickReachTheLockedReminder() {
    if (!OnX11()) QSKIP("needs an X server (run by the xvfb.lock_window test)");
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty()) QSKIP("xdotool is not installed");
    for (const bool click : {false, true}) {
      bool held = false;
      QCOMPARE(Show([&] {
                 held = lock_->holds_input();
                 const QWidget* button =
                     test::VisibleChoice()->findChild<QPushButton*>(QStringLiteral("first_button"));
                 const QPoint at = button->mapToGlobal(button->rect().center());
                 QProcess::execute(xdotool, click
                                                ? QStringList{"mousemove", QString::number(at.x()),
                                                              QString::number(at.y()), "click", "1"}
                                                : QStringList{"key", "Escape"});
               }),
               click ? 1 : 2);  // the first button, or Escape's "snooze"
      QVERIFY(held);
    }
  }

 private:
  // Shows the reminder on the lock and calls while_up once ready() holds;
  // while_up must answer it. Returns the answer.
  int Show(
      const std::function<void()>& while_up,
      std::function<bool()> ready = [] { return test::VisibleChoice() != nullptr; }) {
    test::WhenReady(std::move(ready), while_up);
    return ShowLockedReminder(*lock_,
                              Question{"Take a Break!", "I'll take a break now.",
                                       "Snooze; I need more time!", QuestionFont::kSmall},
                              *open_, QIcon());
  }

  std::unique_ptr<DesktopLock> lock_;
  std::unique_ptr<ChoiceOpenFlag> open_;
};

}  // namespace tolvi

QTEST_MAIN(tolvi::LockWindowTest)
#include "lock_window_test.moc"
