// The locked break reminder. On the offscreen platform no grab can be taken,
// so the reminder must come up as an ordinary window. Under an X server
// (the xvfb.lock_window test) the covers must span every screen, another
// client must be unable to take the keyboard or the pointer while the
// reminder is up, and both must be free again once it is answered.
#include "reminders/qt/lock_window.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "reminders/qt/choice_dialog.h"

// Xlib last: its macros (Status, None, Bool...) would clash with the headers
// above.
#include <X11/Xlib.h>

namespace tolvi {
namespace {

Question Reminder() {
  Question question;
  question.message = "Take a Break!";
  question.first_button = "I'll take a break now.";
  question.second_button = "Snooze; I need more time!";
  question.font = QuestionFont::kSmall;
  return question;
}

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

// Calls act once the reminder is up: a modal question window, or the lock's
// question on its cover.
void WhenQuestionShows(const std::function<bool()>& ready, const std::function<void()>& act) {
  auto* poll = new QTimer;
  poll->setInterval(20);
  QObject::connect(poll, &QTimer::timeout, [poll, ready, act] {
    if (!ready()) return;
    poll->stop();
    poll->deleteLater();
    act();
  });
  poll->start();
}

ChoiceDialog* VisibleQuestion() {
  for (ChoiceDialog* dialog : qApp->findChildren<ChoiceDialog*>()) {
    if (dialog->isVisible()) return dialog;
  }
  for (QWidget* widget : QApplication::allWidgets()) {
    auto* dialog = qobject_cast<ChoiceDialog*>(widget);
    if (dialog != nullptr && dialog->isVisible()) return dialog;
  }
  return nullptr;
}

QString ScreenshotPath(const QString& name) {
  QString directory = qEnvironmentVariable("TOLVI_SCREENSHOT_DIR");
  if (directory.isEmpty()) directory = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(directory);
  return QDir(directory).filePath(name + QStringLiteral(".png"));
}

}  // namespace

class LockWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void WithoutAGrabTheReminderShowsNormally() {
    if (OnX11() || OnWayland()) QSKIP("the offscreen platform cannot grab; X11 can");
    DesktopLock lock;
    ChoiceOpenFlag open;
    WhenQuestionShows(
        [] { return VisibleQuestion() != nullptr; },
        [&] {
          ChoiceDialog* dialog = VisibleQuestion();
          QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("first_button")),
                            Qt::LeftButton);
          QVERIFY(dialog->isWindow());
          QCOMPARE(lock.phase(), LockPhase::kUnlocked);
          for (QWidget* widget : QApplication::topLevelWidgets()) {
            QVERIFY(widget->objectName() != QStringLiteral("lock_cover") || !widget->isVisible());
          }
        });
    QCOMPARE(ShowLockedReminder(lock, Reminder(), open, QIcon()), 1);
    QVERIFY(lock.idle());
    QVERIFY(!open.IsOpen());
  }

  void LockCoversEveryScreenHoldsTheInputAndReleasesAfterTheAnswer() {
    if (!OnX11()) QSKIP("needs an X server (run by the xvfb.lock_window test)");
    QVERIFY(InputFreeForOthers());
    DesktopLock lock;
    ChoiceOpenFlag open;
    // Looked at while the reminder is up, checked once it has been answered
    // (a failed check must not leave the test waiting on a locked screen).
    bool checked = false;
    LockPhase phase = LockPhase::kIdle;
    bool counted_open = false;
    bool every_screen_covered = true;
    bool input_held = false;
    WhenQuestionShows(
        [] { return VisibleQuestion() != nullptr; },
        [&] {
          ChoiceDialog* question = VisibleQuestion();
          phase = lock.phase();
          counted_open = open.IsOpen();
          QList<QRect> covered;
          for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("lock_cover") && widget->isVisible()) {
              covered << widget->geometry();
            }
          }
          for (const QScreen* screen : QGuiApplication::screens()) {
            every_screen_covered = every_screen_covered && covered.contains(screen->geometry());
          }
          input_held = !InputFreeForOthers();
          QGuiApplication::primaryScreen()->grabWindow(0).save(ScreenshotPath("lock_window"));
          checked = true;
          QTest::mouseClick(question->findChild<QPushButton*>(QStringLiteral("second_button")),
                            Qt::LeftButton);
        });
    QCOMPARE(ShowLockedReminder(lock, Reminder(), open, QIcon()), 2);
    QVERIFY(checked);
    QCOMPARE(phase, LockPhase::kLocked);
    QVERIFY(counted_open);
    QVERIFY(every_screen_covered);
    QVERIFY(input_held);
    QVERIFY(lock.idle());
    QVERIFY(!open.IsOpen());
    QVERIFY(InputFreeForOthers());
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      QVERIFY(widget->objectName() != QStringLiteral("lock_cover") || !widget->isVisible());
    }
  }

  // Run by e2e.wayland_lock on a headless sway with two outputs.
  void OnWaylandEveryScreenHasItsOwnCoverAndTheAnswerReleasesThem() {
    if (!OnWayland()) QSKIP("needs a Wayland compositor (run by the e2e.wayland_lock test)");
    DesktopLock lock;
    ChoiceOpenFlag open;
    LockPhase phase = LockPhase::kIdle;
    QList<QScreen*> covered;
    WhenQuestionShows(
        [] { return VisibleQuestion() != nullptr; },
        [&] {
          phase = lock.phase();
          QTest::qWait(500);  // the outputs each surface entered, as the compositor says
          for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("lock_cover") && widget->isVisible() &&
                widget->isFullScreen()) {
              covered << widget->windowHandle()->screen();
            }
          }
          QTest::mouseClick(
              VisibleQuestion()->findChild<QPushButton*>(QStringLiteral("first_button")),
              Qt::LeftButton);
        });
    QCOMPARE(ShowLockedReminder(lock, Reminder(), open, QIcon()), 1);
    QCOMPARE(phase, LockPhase::kLocked);
    const int screens = qEnvironmentVariableIntValue("TOLVI_EXPECT_SCREENS");
    if (screens > 0) QCOMPARE(QGuiApplication::screens().size(), screens);
    QCOMPARE(covered.size(), QGuiApplication::screens().size());
    for (QScreen* screen : QGuiApplication::screens()) QVERIFY(covered.contains(screen));
    QVERIFY(lock.idle());
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      QVERIFY(widget->objectName() != QStringLiteral("lock_cover") || !widget->isVisible());
    }
  }

  void KeyboardHeldByAnotherProgramShowsTheReminderNormally() {
    if (!OnX11()) QSKIP("needs an X server (run by the xvfb.lock_window test)");
    Display* other = XOpenDisplay(nullptr);
    QVERIFY(other != nullptr);
    QCOMPARE(XGrabKeyboard(other, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync,
                           CurrentTime),
             GrabSuccess);
    XSync(other, False);
    DesktopLock lock;
    ChoiceOpenFlag open;
    LockPhase phase = LockPhase::kIdle;
    bool shown_as_window = false;
    bool covers_gone = true;
    WhenQuestionShows(
        [] { return VisibleQuestion() != nullptr && VisibleQuestion()->isWindow(); },
        [&] {
          phase = lock.phase();
          shown_as_window = true;
          for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == QStringLiteral("lock_cover") && widget->isVisible()) {
              covers_gone = false;
            }
          }
          QTest::mouseClick(
              VisibleQuestion()->findChild<QPushButton*>(QStringLiteral("first_button")),
              Qt::LeftButton);
        });
    const int answer = ShowLockedReminder(lock, Reminder(), open, QIcon());
    XUngrabKeyboard(other, CurrentTime);
    XCloseDisplay(other);
    QCOMPARE(answer, 1);
    QVERIFY(shown_as_window);
    QCOMPARE(phase, LockPhase::kUnlocked);
    QVERIFY(covers_gone);
    QVERIFY(InputFreeForOthers());
  }

  // Real input through the X server (xdotool's XTEST events), as a person
  // would answer: the grab must deliver it to the reminder.
  void RealKeyAndClickReachTheLockedReminder_data() {
    QTest::addColumn<bool>("click");
    QTest::addColumn<int>("answer");
    QTest::newRow("Escape key") << false << 2;
    QTest::newRow("click on the first button") << true << 1;
  }
  void RealKeyAndClickReachTheLockedReminder() {
    QFETCH(bool, click);
    QFETCH(int, answer);
    if (!OnX11()) QSKIP("needs an X server (run by the xvfb.lock_window test)");
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty()) QSKIP("xdotool is not installed");
    DesktopLock lock;
    ChoiceOpenFlag open;
    bool held = false;
    WhenQuestionShows(
        [] { return VisibleQuestion() != nullptr; },
        [&] {
          held = lock.holds_input();
          if (click) {
            const QWidget* button =
                VisibleQuestion()->findChild<QPushButton*>(QStringLiteral("first_button"));
            const QPoint at = button->mapToGlobal(button->rect().center());
            QProcess::execute(
                xdotool, {QStringLiteral("mousemove"), QString::number(at.x()),
                          QString::number(at.y()), QStringLiteral("click"), QStringLiteral("1")});
          } else {
            QProcess::execute(xdotool, {QStringLiteral("key"), QStringLiteral("Escape")});
          }
        });
    QCOMPARE(ShowLockedReminder(lock, Reminder(), open, QIcon()), answer);
    QVERIFY(held);
    QVERIFY(InputFreeForOthers());
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::LockWindowTest)
#include "lock_window_test.moc"
