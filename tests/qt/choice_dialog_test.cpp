#include "reminders/qt/choice_dialog.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace tolvi {
namespace {

ChoiceRequest ExitQuestion(QuestionFont font = QuestionFont::kSmall, bool on_top = true) {
  return ChoiceRequest{.message = "Are you sure that you want to exit Tolvi?",
                       .first_caption = "Yes, close please",
                       .second_caption = "No, keep running",
                       .message_font = font,
                       .on_top = on_top};
}

QPushButton* Button(const ChoiceDialog& dialog, const char* name) {
  auto* button = dialog.findChild<QPushButton*>(QLatin1String(name));
  Q_ASSERT(button != nullptr);
  return button;
}

}  // namespace

class ChoiceDialogTest : public QObject {
  Q_OBJECT

 private slots:

  void EscapeAndTheCloseBoxAnswerTwo() {
    ChoiceOpenFlag flag;
    ChoiceDialog escaped(ExitQuestion(), flag);
    escaped.show();
    QTest::keyClick(&escaped, Qt::Key_Escape);
    QCOMPARE(escaped.result(), 2);
    QVERIFY(!escaped.isVisible());

    ChoiceDialog closed(ExitQuestion(), flag);
    closed.show();
    QVERIFY(closed.close());
    QCOMPARE(closed.choice(), ChoiceResult::kSecond);
    QCOMPARE(closed.result(), 2);
  }

  void EnterDoesNotAnswerAReminderThatPopsUpWhileTyping() {
    ChoiceOpenFlag flag;
    ChoiceDialog dialog(ExitQuestion(), flag);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(dialog.isVisible());
  }

  void AlertsWaitWhileTheDialogIsOpen() {
    ChoiceOpenFlag flag;
    {
      ChoiceDialog dialog(ExitQuestion(), flag);
      dialog.show();
      QVERIFY(flag.IsOpen());
      QTest::mouseClick(Button(dialog, "second_button"), Qt::LeftButton);
      QVERIFY(!flag.IsOpen());
    }
    {
      ChoiceDialog never_answered(ExitQuestion(), flag);
      QVERIFY(flag.IsOpen());
    }
    QVERIFY(!flag.IsOpen());
  }

  void AskChoiceWaitsForTheAnswer() {
    ChoiceOpenFlag flag;
    QTimer::singleShot(0, [] {
      auto* dialog = qobject_cast<ChoiceDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog != nullptr);
      QTest::mouseClick(Button(*dialog, "first_button"), Qt::LeftButton);
    });
    QCOMPARE(AskChoice(ExitQuestion(), flag), ChoiceResult::kFirst);
    QVERIFY(!flag.IsOpen());
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::ChoiceDialogTest)
#include "choice_dialog_test.moc"
