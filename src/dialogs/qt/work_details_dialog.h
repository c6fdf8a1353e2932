// The work-type dialogs drawn from their models: "Work Details" (browse,
// edit, delete, copy, add, select), "Select Work" (pick the current work
// type) and "Import Work from log file" (confirm the log import). Each maps
// its widgets to the model and sets them again after every action; Escape
// and the close box count as "Cancel" (for the import: "Cancel and close").
//
// GUI thread only. The dialogs borrow their models, which must outlive them.
#pragma once

#include <QDialog>
#include <cstdint>
#include <map>

#include "dialogs/work_details_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tolvi {

// The object names by which the open dialogs are found.
inline constexpr char kWorkDetailsDialogName[] = "work_details_dialog";
inline constexpr char kSelectWorkDialogName[] = "select_work_dialog";

class WorkDetailsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit WorkDetailsDialog(WorkDetailsModel& model, QWidget* owner = nullptr);

  void reject() override;

 private:
  void Build();
  QPushButton* AddButton(std::uint32_t id, const char* caption,
                         void (*action)(WorkDetailsModel& model));
  void Refresh();

  WorkDetailsModel& model_;
  QComboBox* names_ = nullptr;
  QLineEdit* maximum_ = nullptr;
  QPlainTextEdit* notes_ = nullptr;
  std::map<std::uint32_t, QLabel*> texts_;
  std::map<std::uint32_t, QPushButton*> buttons_;
};

class SelectWorkDialog : public QDialog {
  Q_OBJECT

 public:
  explicit SelectWorkDialog(SelectWorkModel& model, QWidget* owner = nullptr);

  void reject() override;

 private:
  SelectWorkModel& model_;
};

// "Import Work from log file": accepted means "OK, import work".
class ImportWorkDialog : public QDialog {
  Q_OBJECT

 public:
  ImportWorkDialog(const ImportConfirmation& confirmation, QWidget* owner = nullptr);
};

}  // namespace tolvi
