// Widget tests of the desktop shell on the offscreen platform: the break
// reminder's answers, the main window's commands, the click band, the menus
// and the painted picture, with the real QtUi and a core on disk. The
// monitor thread is not started: each test plays the monitor's part itself.
#include "shell/qt/main_window.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "accounting/recent_work.h"
#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "engine/tick.h"
#include "options_work_details_fixture.h"
#include "reminders/qt/choice_dialog.h"
#include "shell/qt/desktop_shell.h"
#include "shell/qt/display_painter.h"
#include "shell/qt/qt_ui.h"
#include "shell/qt/tray.h"
#include "state/command_ids.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr int kWaitMs = 5'000;

// A core on disk with the real QtUi and ten "New Work" types; the user is
// working with the default settings.
struct ShellCore {
  explicit ShellCore(const QString& directory)
      : context(CorePorts{clock, ui, files, random}, directory.toStdString(),
                directory.toStdString()) {
    SetDefaultSettings(context.state.data, clock);
    if (!CreateWorkTypeDatabase(context.records, context.DataFile("TlvDB.lbf")).ok() ||
        !CreateInitialWorkTypes(context.records).ok()) {
      qFatal("the work-type database cannot be made");
    }
    LoadCurrentWorkType(context.state, context.records);
    RebuildRecentWork(context.state, context.records);
    context.state.activity.working_flag = WorkingFlag::kWorking;
    context.state.activity.break_countdown_ms = context.state.data.break_interval;
  }
  ProgramData& data() { return context.state.data; }
  ActivityState& activity() { return context.state.activity; }

  test::FixedClock clock;
  QtUi ui;
  PosixFileSystem files;
  ScriptedRandom random;
  CoreContext context;
};

ChoiceDialog* OpenChoice() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<ChoiceDialog*>(widget);
    if (dialog != nullptr && dialog->isVisible()) return dialog;
  }
  return nullptr;
}

// Answers the next question window as soon as it shows: button 1 or 2, or
// 0 for Escape. inspect sees the window first.
void AnswerNextChoice(int button, std::function<void(ChoiceDialog&)> inspect = {}) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [poll, button, inspect] {
    ChoiceDialog* dialog = OpenChoice();
    if (dialog == nullptr) return;
    poll->stop();
    poll->deleteLater();
    if (inspect) inspect(*dialog);
    if (button == 0) {
      QTest::keyClick(dialog, Qt::Key_Escape);
      return;
    }
    const char* name = button == 1 ? "first_button" : "second_button";
    QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(name)), Qt::LeftButton);
  });
  poll->start(10);
}

QString ChoiceMessage(ChoiceDialog& dialog) {
  return dialog.findChild<QPlainTextEdit*>(QStringLiteral("message"))->toPlainText();
}

// How many clearly red pixels the rectangle of the picture holds.
int RedPixels(const QImage& image, const QRect& rect) {
  int count = 0;
  for (int y = rect.top(); y <= rect.bottom(); ++y) {
    for (int x = rect.left(); x <= rect.right(); ++x) {
      const QColor colour = image.pixelColor(x, y);
      if (colour.red() > 200 && colour.green() < 80 && colour.blue() < 80) ++count;
    }
  }
  return count;
}

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

// Once a dialog is up, hands it to act, which must close it.
void WhenADialogIsOpen(std::function<void(QDialog&)> act) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(*dialog);
  });
  poll->start(10);
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
    core_ = std::make_unique<ShellCore>(directory_->path());
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

  void SnoozeResumesWorkWithTheSnoozeTime() {
    core_->data().snooze_time = 300'000;
    core_->data().reset_mode = 1;  // auto reset: StartWork alone would give the interval
    FallDue();
    AnswerNextChoice(2);
    shell_->OnTimer(TimerId::kBreakReminder);
    QCOMPARE(core_->activity().working_flag, WorkingFlag::kWorking);
    QCOMPARE(core_->activity().break_countdown_ms, 300'000u);
    QVERIFY(!core_->ui.TimerArmed(TimerId::kBreakReminder));
  }

  void TheReminderIsOnTopOnlyWithOnTopAlertAndMayShowAPhrase() {
    bool on_top = true;
    QString message;
    const auto inspect = [&](ChoiceDialog& dialog) {
      on_top = dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
      message = ChoiceMessage(dialog);
    };
    core_->data().on_top_alert = 0;
    FallDue();
    AnswerNextChoice(2, inspect);
    shell_->OnTimer(TimerId::kBreakReminder);
    QVERIFY(!on_top);
    QCOMPARE(message, QStringLiteral("Take a Break!"));

    core_->data().on_top_alert = 1;
    core_->data().random_phrase = 1;
    FallDue();
    AnswerNextChoice(2, inspect);
    shell_->OnTimer(TimerId::kBreakReminder);
    QVERIFY(on_top);
    QCOMPARE(message, QStringLiteral("Stretch your legs."));

    // Every other question stays on top even without OnTopAlert.
    core_->data().on_top_alert = 0;
    AnswerNextChoice(2, inspect);
    core_->ui.Ask(Question{"Sure?", "Yes", "No", QuestionFont::kLarge, true});
    QVERIFY(on_top);
  }

  void TransparentAndOnTopChangeTheWindow() {
    core_->data().window_alpha = 102;
    shell_->OnCommand(command::kTransparent);
    QCOMPARE(core_->data().transparent, 1u);
    QVERIFY(qAbs(shell_->window().windowOpacity() - 0.4) < 0.01);
    shell_->OnCommand(command::kTransparent);
    QCOMPARE(shell_->window().windowOpacity(), 1.0);

    shell_->OnCommand(command::kOnTop);
    QVERIFY(shell_->window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(shell_->window().isVisible());
    shell_->OnCommand(command::kOnTop);
    QVERIFY(!shell_->window().windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  void ClosingHidesAndTimeDisplayShowsAgain() {
    QVERIFY(shell_->window().isVisible());
    QVERIFY(core_->activity().window_shown);
    shell_->OnClose();  // the exit handshake's close
    QVERIFY(!shell_->window().isVisible());
    QVERIFY(!core_->activity().window_shown);
    const std::vector<MenuEntry> menu = shell_->BuildMenu(MenuVariant::kTray, std::nullopt);
    QVERIFY(std::any_of(menu.begin(), menu.end(),
                        [](const MenuEntry& e) { return e.id == command::kTimeDisplay; }));
    shell_->OnCommand(command::kTimeDisplay);
    QVERIFY(shell_->window().isVisible());
    QVERIFY(core_->activity().window_shown);
  }

  void WithoutATrayTheCloseBoxMinimizes() {
    QVERIFY(!shell_->tray().shown());  // the offscreen platform has no tray
    shell_->window().close();
    QVERIFY(shell_->window().isVisible());
    QVERIFY(shell_->window().isMinimized());
    QVERIFY(core_->activity().window_shown);
    QVERIFY(core_->data().window_placement.min_position_x != kPlacementNeverSaved);
  }

  void TheClickBandTogglesTheModeLikeTheTrayIcon() {
    MainWindow& window = shell_->window();
    const auto click = [&](int y) {
      QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(200, y));
      return core_->activity().working_flag;
    };
    QCOMPARE(click(5), WorkingFlag::kWorking);
    QCOMPARE(click(6), WorkingFlag::kOnBreak);
    QCOMPARE(click(99), WorkingFlag::kWorking);
    QCOMPARE(click(100), WorkingFlag::kWorking);
  }

  void RightClickOnARowOffersItsWorkType() {
    QStringList texts;
    QTimer::singleShot(50, [&texts] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        for (const QAction* action : menu->actions()) texts << action->text();
        menu->close();
      }
    });
    QTest::mouseClick(&shell_->window(), Qt::RightButton, {}, QPoint(200, 105));
    QVERIFY(texts.size() > 3);
    QCOMPARE(texts[0], QStringLiteral("Change Work To New Work"));
    QCOMPARE(texts[1], QStringLiteral("Edit New Work"));
    QCOMPARE(texts.last(), QStringLiteral("Exit"));
  }

  void TrayMenuEntriesBecomeCommands() {
    QMenu& menu = shell_->tray().menu();
    QMetaObject::invokeMethod(&menu, "aboutToShow");
    QAction* on_break = nullptr;
    for (QAction* action : menu.actions()) {
      if (action->text() == QStringLiteral("On Break")) on_break = action;
    }
    QVERIFY(on_break != nullptr);
    on_break->trigger();  // posted, as a menu choice is
    QTRY_COMPARE_WITH_TIMEOUT(core_->activity().working_flag, WorkingFlag::kOnBreak, kWaitMs);
  }

  void TheCurrentBreakTurnsRedAfterTheMaximumBreakAlert() {
    core_->activity().working_flag = WorkingFlag::kOnBreak;
    core_->data().break_today_ms = 900'000;
    core_->activity().break_mark = 0;
    MainWindow& window = shell_->window();
    window.resize(420, 452);
    const QRect time_rect(410 - 150, 15, 130, 20);
    QImage picture = window.grab().toImage();
    QCOMPARE(RedPixels(picture, time_rect), 0);
    core_->activity().max_break_state = MaxBreakState::kFired;
    picture = window.grab().toImage();
    QVERIFY(RedPixels(picture, time_rect) > 20);
    test::SaveScreenshot(window, QStringLiteral("main_window_red_break"));
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
    AnswerNextChoice(1);
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

  void TheTrayStaysUsableWhileADialogIsOpen() {
    ClickCounter tray;
    tray.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tray));
    for (const std::function<void()>& open : Openers()) {
      const int clicks = tray.clicks;
      bool owner_blocked = false;
      WhenADialogIsOpen([&](QDialog& dialog) {
        QTest::mouseClick(tray.windowHandle(), Qt::LeftButton);
        // The owner window stays blocked: its click band does nothing.
        const WorkingFlag flag = core_->activity().working_flag;
        QTest::mouseClick(shell_->window().windowHandle(), Qt::LeftButton, {}, QPoint(200, 50));
        owner_blocked = core_->activity().working_flag == flag;
        CloseDialog(dialog);
      });
      open();
      QCOMPARE(tray.clicks, clicks + 1);
      QVERIFY(owner_blocked);
    }
  }

  void ASecondOptionsOrEditBringsTheOpenOneToTheFront() {
    QWidget other;
    other.show();
    const std::pair<std::function<void()>, std::uint32_t> cases[] = {
        {Openers()[0], command::kOptions}, {Openers()[2], command::kEditWorkFirst}};
    for (const auto& [open, again] : cases) {
      bool raised = false;
      WhenADialogIsOpen([&, again = again](QDialog& dialog) {
        other.activateWindow();
        const bool left = QTest::qWaitFor([&] { return QApplication::activeWindow() == &other; });
        shell_->OnCommand(again);
        raised = left && QTest::qWaitFor([&] { return QApplication::activeWindow() == &dialog; });
        CloseDialog(dialog);
      });
      open();
      QVERIFY(raised);
    }
    QCOMPARE(core_->activity().request_code, request::kWorkDetailsClosed);
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
  // Options, the break reminder and Work Details, each opened as the
  // program opens it.
  std::vector<std::function<void()>> Openers() {
    return {[this] { shell_->OnCommand(command::kOptions); },
            [this] {
              FallDue();
              shell_->OnTimer(TimerId::kBreakReminder);
            },
            [this] {
              core_->context.events.request_free.Reset();  // as the request's post did
              core_->activity().request_code = request::kEditWorkType;
              core_->activity().request_value = core_->context.state.recent[0].record_id;
              shell_->OnCommand(command::kWorkTypeDialog);
            }};
  }

  // What the monitor does when the countdown runs out: On Break, timer 2.
  void FallDue() {
    {
      std::lock_guard lock(core_->context.state.mutex);
      StartBreak(core_->context);
    }
    core_->ui.ArmTimer(TimerId::kBreakReminder, kAlertTimerPeriodMs);
  }

  std::unique_ptr<QTemporaryDir> directory_;
  std::unique_ptr<ShellCore> core_;
  std::unique_ptr<DesktopShell> shell_;
};

}  // namespace tolvi

QTEST_MAIN(tolvi::MainWindowTest)
#include "main_window_test.moc"
