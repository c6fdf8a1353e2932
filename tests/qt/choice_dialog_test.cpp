#include "reminders/qt/choice_dialog.h"

#include <QFontInfo>
#include <QLabel>
#include <QPlainTextEdit>
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
  void ShowsTheCallersTextsAndTheProgramCaption() {
    ChoiceOpenFlag flag;
    ChoiceDialog dialog(ExitQuestion(), flag);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Tolvi 1.91"));
    const auto* message = dialog.findChild<QPlainTextEdit*>(QStringLiteral("message"));
    QVERIFY(message != nullptr);
    QCOMPARE(message->toPlainText(), QStringLiteral("Are you sure that you want to exit Tolvi?"));
    QVERIFY(message->isReadOnly());
    QCOMPARE(Button(dialog, "first_button")->text(), QStringLiteral("Yes, close please"));
    QCOMPARE(Button(dialog, "second_button")->text(), QStringLiteral("No, keep running"));
  }

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

  void SmallStyleUsesTheSmallerMessageFont() {
    ChoiceOpenFlag flag;
    ChoiceDialog small(ExitQuestion(QuestionFont::kSmall), flag);
    ChoiceDialog large(ExitQuestion(QuestionFont::kLarge), flag);
    const auto message_height = [](const ChoiceDialog& dialog) {
      return QFontMetrics(dialog.findChild<QPlainTextEdit*>(QStringLiteral("message"))->font())
          .height();
    };
    QVERIFY(message_height(small) <= 16);
    QVERIFY(message_height(large) <= 20);
    QVERIFY(message_height(small) < message_height(large));
    // The buttons always use the larger font.
    QCOMPARE(QFontMetrics(Button(small, "first_button")->font()).height(), message_height(large));
  }

  void GeometryFollowsTheTemplateInDialogUnits() {
    ChoiceOpenFlag flag;
    ChoiceDialog dialog(ExitQuestion(), flag);
    const ChoiceLayout layout = ComputeChoiceLayout(dialog.base_units());
    QCOMPARE(dialog.size(), QSize(layout.client.width, layout.client.height));
    const QRect first = Button(dialog, "first_button")->geometry();
    const QRect second = Button(dialog, "second_button")->geometry();
    QCOMPARE(first.size(), second.size());
    QVERIFY(first.bottom() < second.top());
    QVERIFY(dialog.rect().contains(second));
    // A readable dialog: units from a real font, not the 1-pixel floor.
    QVERIFY(dialog.base_units().x >= 4);
    QVERIFY(dialog.base_units().y >= 8);
  }
};

}  // namespace tolvi

QTEST_MAIN(tolvi::ChoiceDialogTest)
#include "choice_dialog_test.moc"
