// ChoiceDialog: the two-button question window, drawn from the template
// geometry of reminders/choice_layout.h with the dialog font's character
// size. The first button answers 1; the second button, Escape and the close
// box answer 2. While the window exists it counts in the ChoiceOpenFlag, so
// alert timers wait until it is answered.
//
// GUI thread only. Owns its child widgets; borrows the flag, which must
// outlive it.
#pragma once

#include <QDialog>
#include <QIcon>
#include <optional>

#include "reminders/choice.h"
#include "reminders/choice_layout.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tolvi {

class ChoiceDialog : public QDialog {
  Q_OBJECT

 public:
  ChoiceDialog(const ChoiceRequest& request, ChoiceOpenFlag& open_flag,
               const QIcon& program_icon = QIcon(), QWidget* owner = nullptr);
  ~ChoiceDialog() override;

  // The answer so far: kSecond until the first button is pressed.
  [[nodiscard]] ChoiceResult choice() const { return choice_; }

  // The dialog font's units, from which the geometry was computed.
  [[nodiscard]] DialogBaseUnits base_units() const { return base_units_; }

  void done(int result) override;
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void BuildWidgets(const ChoiceRequest& request, const QIcon& program_icon);
  void CentreOnScreen();

  std::optional<ChoiceOpenScope> open_scope_;
  ChoiceResult choice_ = ChoiceResult::kSecond;
  DialogBaseUnits base_units_;
  QLabel* icon_ = nullptr;
  QPlainTextEdit* message_ = nullptr;
  QPushButton* first_button_ = nullptr;
  QPushButton* second_button_ = nullptr;
};

// Shows the question modally and returns the answer.
ChoiceResult AskChoice(const ChoiceRequest& request, ChoiceOpenFlag& open_flag,
                       const QIcon& program_icon = QIcon(), QWidget* owner = nullptr);

}  // namespace tolvi
