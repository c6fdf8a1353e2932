// Widget tests of the desktop shell on the offscreen platform: the main
// window's commands, the click band, the menus and the painted picture, with
// the real QtUi and a core on disk. The monitor thread is not started: each
// test plays the monitor's part itself.
#include "shell/qt/main_window.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <memory>
#include <thread>
#include <utility>

#include "engine/tick.h"
#include "shell/qt/desktop_shell.h"
#include "shell/qt/display_painter.h"
#include "shell/qt/qt_ui.h"
#include "shell/qt/tray.h"
#include "state/command_ids.h"
#include "text/text.h"
#include "widget_fixture.h"

namespace tolvi {
namespace {

constexpr int kWaitMs = 5'000;

// The picture of one text in its box, painted alone.
QImage PaintedAlone(const DisplayText& text) {
  DisplayList list;
  list.width = text.rect.right;
  list.height = text.rect.bottom;
  list.texts = {text};
  QImage image(list.width, list.height, QImage::Format_RGB32);
  QPainter painter(&image);
  PaintDisplayList(painter, list);
  painter.end();
  const DisplayRect& r = text.rect;
  return image.copy(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

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
    directory_ = std::make_unique<QTemporaryDir>();
    core_ = std::make_unique<test::CoreOnDisk<QtUi>>(directory_->path());
    core_->StartWorking();
    ShellOptions options;
    options.start_monitor = false;
    options.phrases = {"Stretch your legs."};
    shell_ = std::make_unique<DesktopShell>(core_->context, core_->ui, std::move(options));
    shell_->Start();
  }
  void cleanup() {
    shell_.reset();
    core_.reset();
    directory_.reset();
  }

  void TrayMenuEntriesBecomeCommands() {
    QMenu& menu = shell_->tray().menu();
    QMetaObject::invokeMethod(&menu, "aboutToShow");
    const QList<QAction*> actions = menu.actions();
    const auto on_break = std::find_if(actions.begin(), actions.end(), [](QAction* action) {
      return action->text() == QStringLiteral("On Break");
    });
    QVERIFY(on_break != actions.end());
    (*on_break)->trigger();  // posted, as a menu choice is
    QTRY_COMPARE_WITH_TIMEOUT(core_->activity().working_flag, WorkingFlag::kOnBreak, kWaitMs);
  }

  void AShareAboveAllWorkAsksForARefresh() {
    core_->data().work_today_ms = 3'600'000;
    core_->data().total_days = 1;
    core_->context.state.recent[0].today_ms = 3'600'000;
    core_->activity().grand_total = 1;  // far below the first line's total
    shell_->window().grab();
    QTRY_COMPARE_WITH_TIMEOUT(core_->activity().request_code, request::kRefresh, kWaitMs);
    // No monitor takes the request, so the slot stays busy: later paints
    // must not wait for it.
    for (int paint = 0; paint < 3; ++paint) {
      shell_->window().grab();
      QTest::qWait(20);
    }
    QCOMPARE(core_->activity().request_code, request::kRefresh);
  }

  void CallsFromTheMonitorThreadArriveInOrderAndQuestionsWait() {
    int answer = 0;
    test::WhenReady([] { return test::VisibleChoice() != nullptr; },
                    [] { test::AnswerChoice("first_button"); });
    std::thread monitor([&] {
      core_->ui.ArmTimer(TimerId::kMicroBreak, 60'000);
      core_->ui.PostCommand(command::kOnBreak);
      core_->ui.PostCommand(command::kWorking);
      answer = core_->ui.Ask(Question{"Go on?", "Yes", "No", QuestionFont::kLarge, true});
    });
    while (answer == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    monitor.join();
    QCOMPARE(answer, 1);
    QVERIFY(core_->ui.TimerArmed(TimerId::kMicroBreak));
    QCOMPARE(core_->activity().working_flag, WorkingFlag::kWorking);
  }

  // Options, the break reminder and Work Details, each opened as the
  // program opens it.
  void TheTrayStaysUsableWhileADialogIsOpen() {
    const std::function<void()> openers[] = {
        [this] { shell_->OnCommand(command::kOptions); },
        [this] {
          {  // the monitor's part when the countdown runs out
            std::lock_guard lock(core_->context.state.mutex);
            StartBreak(core_->context);
          }
          core_->ui.ArmTimer(TimerId::kBreakReminder, kAlertTimerPeriodMs);
          shell_->OnTimer(TimerId::kBreakReminder);
        },
        [this] {
          core_->context.events.request_free.Reset();  // as the request's post did
          core_->activity().request_code = request::kEditWorkType;
          core_->activity().request_value = core_->context.state.recent[0].record_id;
          shell_->OnCommand(command::kWorkTypeDialog);
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
                        const WorkingFlag flag = core_->activity().working_flag;
                        QTest::mouseClick(shell_->window().windowHandle(), Qt::LeftButton, {},
                                          QPoint(200, 50));
                        owner_blocked = core_->activity().working_flag == flag;
                        CloseDialog(*ModalDialog());
                      });
      open();
      QCOMPARE(tray.clicks, clicks + 1);
      QVERIFY(owner_blocked);
    }
    // The reminder's close box (snooze) reached the core and stopped its alert.
    QCOMPARE(core_->activity().working_flag, WorkingFlag::kWorking);
    QVERIFY(!core_->ui.TimerArmed(TimerId::kBreakReminder));
  }

  void LabelsTooWideForTheirBoxesKeepTheirColons() {
    core_->activity().target_remaining_ms = 60'000;  // "TTG:"
    const DisplayList list = BuildDisplayList(
        DisplayState{core_->data(), core_->activity(), core_->context.state.recent}, 420, 452);
    for (const std::string label : {"TTG:", "Time until break: "}) {
      const auto found = std::find_if(list.texts.begin(), list.texts.end(),
                                      [&](const DisplayText& text) { return text.text == label; });
      QVERIFY(found != list.texts.end());
      DisplayText without_colon = *found;
      without_colon.text = label.substr(0, label.find(':'));
      QVERIFY2(PaintedAlone(*found) != PaintedAlone(without_colon), label.c_str());
    }
  }

  // Last: the window's end also ends the event loops of this process.
  void DestroyingTheWindowRemovesTheTrayAndFreesTheSlot() {
    core_->context.events.request_free.Reset();
    shell_->OnCommand(command::kDestroyWindow);
    QVERIFY(shell_->window_destroyed());
    QVERIFY(!shell_->window().isVisible());
    QVERIFY(core_->context.events.request_free.IsSet());
    QVERIFY(!core_->ui.AddTray(TrayIcon::kWorking, "Tolvi 1.91"));
  }

 private:
  std::unique_ptr<QTemporaryDir> directory_;
  std::unique_ptr<test::CoreOnDisk<QtUi>> core_;
  std::unique_ptr<DesktopShell> shell_;
};

}  // namespace tolvi

QTEST_MAIN(tolvi::MainWindowTest)
#include "main_window_test.moc"
