#include "reminders/qt/choice_dialog.h"

#include <QPushButton>
#include <QtTest>

namespace tolvi {
namespace {

const ChoiceRequest kExitQuestion{.message = "Are you sure that you want to exit Tolvi?",
                                  .first_caption = "Yes, close please",
                                  .second_caption = "No, keep running"};

}  // namespace

class ChoiceDialogTest : public QObject {
  Q_OBJECT

 private slots:
  // The open flag holds the break reminder's alerts back while a question
  // is up, however it ends.
  void EscapeAndTheCloseBoxAnswerTwoAndEveryEndClearsTheOpenFlag() {
    ChoiceOpenFlag flag;
    for (const bool escape : {true, false}) {
      ChoiceDialog dialog(kExitQuestion, flag);
      dialog.show();
      QVERIFY(flag.IsOpen());
      if (escape) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
      } else {
        QVERIFY(dialog.close());
      }
      QCOMPARE(dialog.result(), 2);
      QVERIFY(!dialog.isVisible());
      QVERIFY(!flag.IsOpen());
    }
    {
      ChoiceDialog never_answered(kExitQuestion, flag);
      QVERIFY(flag.IsOpen());
    }
    QVERIFY(!flag.IsOpen());
  }

  void EnterDoesNotAnswerAReminderThatPopsUpWhileTyping() {
    ChoiceOpenFlag flag;
    ChoiceDialog dialog(kExitQuestion, flag);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(dialog.isVisible());
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::ChoiceDialogTest)
#include "choice_dialog_test.moc"
