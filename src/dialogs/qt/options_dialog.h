// OptionsDialog: "Tolvi Options" drawn from the OptionsModel: one widget per
// control of the model's table, grouped and laid out in three columns so
// the dialog fits a 1024 x 700 screen. Every user action goes to the model;
// afterwards every widget is set again from the model. There is no Cancel
// and no close box: Escape and the window's close command do nothing, and
// the dialog ends when the model says "OK" closed it.
//
// GUI thread only. Borrows the model, which must outlive the dialog.
#pragma once

#include <QDialog>
#include <cstdint>
#include <map>

#include "dialogs/options_model.h"

class QLabel;

namespace tolvi {

// The object name by which the open dialog is found.
inline constexpr char kOptionsDialogName[] = "options_dialog";

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  OptionsDialog(OptionsModel& model, QWidget* owner = nullptr);

  // The widget of a control (object name "control_ID"); nullptr if unknown.
  [[nodiscard]] QWidget* ControlWidget(std::uint32_t id) const;

  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Build();
  QWidget* MakeControl(const OptionsControlInfo& info);
  void Connect(const OptionsControlInfo& info, QWidget* widget);
  void Refresh();
  void Refresh(const OptionsControlInfo& info, QWidget* widget);
  void AfterAction();

  OptionsModel& model_;
  std::map<std::uint32_t, QWidget*> widgets_;
  std::map<std::uint32_t, QLabel*> labels_;
};

}  // namespace tolvi
