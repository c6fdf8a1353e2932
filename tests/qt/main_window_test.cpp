// Widget tests of the desktop shell on the offscreen platform: the main
// window's commands, the click band and the menus, with the real QtUi and a
// core on disk.
#include "shell/qt/main_window.h"

#include <QMenu>
#include <QMouseEvent>
#include <algorithm>
#include <memory>
#include <thread>
#include <utility>

#include "engine/tick.h"
#include "shell/qt/tray.h"
#include "state/command_ids.h"
#include "widget_fixture.h"

namespace tolvi {
namespace {

constexpr int kWaitMs = 5'000;

// A window of its own, as the tray icon's is: it counts the clicks it gets.
class ClickCounter final : public QWidget {
 public:
  int clicks = 0;

 protected:
  void mouseReleaseEvent(QMouseEvent*) override { ++clicks; }
};

QDialog* ModalDialog() {
  auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  return dialog != nullptr && dialog->isVisible() ? dialog : nullptr;
}

void CloseDialog(QDialog& dialog) {
  if (auto* ok =
          dialog.findChild<QPushButton*>(QStringLiteral("control_%1").arg(options_control::kOk))) {
    ok->click();  // Options leaves only through "OK"
  } else {
    dialog.reject();
  }
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    ShellOptions options;
    options.phrases = {"Stretch your legs."};
    run_ = std::make_unique<test::ShellRun>(std::move(options));
  }
  void cleanup() { run_.reset(); }

  void TrayMenuEntriesBecomeCommands() {
    QMenu& menu = run_->shell->tray().menu();
    QMetaObject::invokeMethod(&menu, "aboutToShow");
    const QList<QAction*> actions = menu.actions();
    const auto on_break = std::find_if(actions.begin(), actions.end(), [](QAction* action) {
      return action->text() == QStringLiteral("On Break");
    });
    QVERIFY(on_break != actions.end());
    (*on_break)->trigger();  // posted, as a menu choice is
    QTRY_COMPARE_WITH_TIMEOUT(run_->core.activity().working_flag, WorkingFlag::kOnBreak, kWaitMs);
  }

  void AShareAboveAllWorkAsksForARefresh() {
    run_->core.data().work_today_ms = 3'600'000;
    run_->core.data().total_days = 1;
    run_->core.context.state.recent[0].today_ms = 3'600'000;
    run_->core.activity().grand_total = 1;  // far below the first line's total
    run_->shell->window().grab();
    QTRY_COMPARE_WITH_TIMEOUT(run_->core.activity().request_code, request::kRefresh, kWaitMs);
    // No monitor takes the request, so the slot stays busy: later paints
    // must not wait for it.
    for (int paint = 0; paint < 3; ++paint) {
      run_->shell->window().grab();
      QTest::qWait(20);
    }
    QCOMPARE(run_->core.activity().request_code, request::kRefresh);
  }

  void CallsFromTheMonitorThreadArriveInOrderAndQuestionsWait() {
    int answer = 0;
    test::WhenReady([] { return test::VisibleChoice() != nullptr; },
                    [] { test::AnswerChoice("first_button"); });
    std::thread monitor([&] {
      run_->core.ui.ArmTimer(TimerId::kMicroBreak, 60'000);
      run_->core.ui.PostCommand(command::kOnBreak);
      run_->core.ui.PostCommand(command::kWorking);
      answer = run_->core.ui.Ask(Question{"Go on?", "Yes", "No", QuestionFont::kLarge, true});
    });
    while (answer == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    monitor.join();
    QCOMPARE(answer, 1);
    QVERIFY(run_->core.ui.TimerArmed(TimerId::kMicroBreak));
    QCOMPARE(run_->core.activity().working_flag, WorkingFlag::kWorking);
  }

  // Options, the break reminder and Work Details, each opened as the
  // program opens it.
  void TheTrayStaysUsableWhileADialogIsOpen() {
    const std::function<void()> openers[] = {
        [this] { run_->shell->OnCommand(command::kOptions); },
        [this] {
          {  // the monitor's part when the countdown runs out
            std::lock_guard lock(run_->core.context.state.mutex);
            StartBreak(run_->core.context);
          }
          run_->core.ui.ArmTimer(TimerId::kBreakReminder, kAlertTimerPeriodMs);
          run_->shell->OnTimer(TimerId::kBreakReminder);
        },
        [this] {
          run_->core.context.events.request_free.Reset();  // as the request's post did
          run_->core.activity().request_code = request::kEditWorkType;
          run_->core.activity().request_value = run_->core.context.state.recent[0].record_id;
          run_->shell->OnCommand(command::kWorkTypeDialog);
        }};
    ClickCounter tray;
    tray.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tray));
    for (const std::function<void()>& open : openers) {
      const int clicks = tray.clicks;
      bool owner_blocked = false;
      test::WhenReady([] { return ModalDialog() != nullptr; },
                      [&] {
                        QTest::mouseClick(tray.windowHandle(), Qt::LeftButton);
                        // The owner window stays blocked: its click band does nothing.
                        const WorkingFlag flag = run_->core.activity().working_flag;
                        QTest::mouseClick(run_->shell->window().windowHandle(), Qt::LeftButton, {},
                                          QPoint(200, 50));
                        owner_blocked = run_->core.activity().working_flag == flag;
                        CloseDialog(*ModalDialog());
                      });
      open();
      QCOMPARE(tray.clicks, clicks + 1);
      QVERIFY(owner_blocked);
    }
    // The reminder's close box (snooze) reached the core and stopped its alert.
    QCOMPARE(run_->core.activity().working_flag, WorkingFlag::kWorking);
    QVERIFY(!run_->core.ui.TimerArmed(TimerId::kBreakReminder));
  }

  // Last: the window's end also ends the event loops of this process.
  void DestroyingTheWindowRemovesTheTrayAndFreesTheSlot() {
    run_->core.context.events.request_free.Reset();
    run_->shell->OnCommand(command::kDestroyWindow);
    QVERIFY(run_->shell->window_destroyed());
    QVERIFY(!run_->shell->window().isVisible());
    QVERIFY(run_->core.context.events.request_free.IsSet());
    QVERIFY(!run_->core.ui.AddTray(TrayIcon::kWorking, "Tolvi 1.91"));
  }

 private:
  std::unique_ptr<test::ShellRun> run_;
};

}  // namespace tolvi

QTEST_MAIN(tolvi::MainWindowTest)
#include "main_window_test.moc"
