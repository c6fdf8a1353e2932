#include "dialogs/qt/options_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>
#include <vector>

#include "dialogs/number_box.h"
#include "platform/linux/xdg_autostart.h"

namespace tolvi {
namespace {

namespace oc = options_control;
using Kind = OptionsControlKind;

// What a spin box accepts when typed; its arrows keep to the control's range.
constexpr int kTypedMaximum = 999'999'999;
constexpr int kNumberBoxWidth = 70;
constexpr int kSliderWidth = 130;
constexpr int kColumnSpacing = 10;

// The option groups scroll when the screen is too small for them (a large
// scale factor); otherwise the area asks for all the room they need, where
// a plain QScrollArea would ask for a fixed fraction of it.
class GroupsArea final : public QScrollArea {
 public:
  explicit GroupsArea(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
  }

  [[nodiscard]] QSize sizeHint() const override {
    return widget() != nullptr ? widget()->sizeHint() : QScrollArea::sizeHint();
  }
};

// A number box whose arrows move within a range while any number can be
// typed (the dialog limits what it stores, not what it shows).
class ArrowRangeSpinBox final : public QSpinBox {
 public:
  ArrowRangeSpinBox(int minimum, int maximum, QWidget* parent)
      : QSpinBox(parent), minimum_(minimum), maximum_(maximum) {
    setRange(0, kTypedMaximum);
  }

  void stepBy(int steps) override {
    const int from = std::clamp(value(), minimum_, maximum_);
    setValue(std::clamp(from + steps, minimum_, maximum_));
    selectAll();
  }

 protected:
  [[nodiscard]] StepEnabled stepEnabled() const override {
    StepEnabled enabled = StepNone;
    if (value() < maximum_) enabled |= StepUpEnabled;
    if (value() > minimum_) enabled |= StepDownEnabled;
    return enabled;
  }

 private:
  int minimum_;
  int maximum_;
};

struct GroupLayout {
  std::string_view group;
  int column;
  std::vector<std::vector<std::uint32_t>> rows;
};

// The groups in their columns; each inner list is one row of controls.
const std::vector<GroupLayout>& Layout() {
  static const std::vector<GroupLayout> layout = {
      {"Work Logging",
       0,
       {{oc::kAwayToggle}, {oc::kAwayTime}, {oc::kFileLog, oc::kShowReport}, {oc::kViewLog}}},
      {"Target", 0, {{oc::kTargetMode}, {oc::kManualTarget, oc::kRecalc}, {oc::kTargetText}}},
      {"Work notes for today", 0, {{oc::kWorkNotes}}},
      {"Function", 0, {{oc::kFunction, oc::kGo}}},
      {"Break Reminder",
       1,
       {{oc::kEnable},
        {oc::kIntervalSlider, oc::kIntervalBox},
        {oc::kReminderAction, oc::kReminderTest},
        {oc::kReminderFile, oc::kReminderFilePick},
        {oc::kReminderText},
        {oc::kRandomPhrase},
        {oc::kResetMode},
        {oc::kSnooze},
        {oc::kAutoCont, oc::kAutoBegin}}},
      {"Micro Breaks",
       2,
       {{oc::kMicroBreakMode},
        {oc::kMicroBreakAction, oc::kMicroBreakTest},
        {oc::kMicroBreakFile, oc::kMicroBreakFilePick}}},
      {"Maximum Break",
       2,
       {{oc::kMaxBreakAction},
        {oc::kMaxBreakSeconds, oc::kMaxBreakTest},
        {oc::kMaxBreakFile, oc::kMaxBreakFilePick}}},
      {"Misc",
       2,
       {{oc::kConfirmQuit, oc::kAutoStart},
        {oc::kDecimalHours, oc::kOnTopAlert},
        {oc::kLockScreen, oc::kLongMeeting},
        {oc::kAutoShow},
        {oc::kLockNote}}},
      {"Transparency", 2, {{oc::kTransparency}}},
  };
  return layout;
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Controls whose caption is shown as a label in front of them.
bool HasLabel(const OptionsControlInfo& info) {
  if (info.caption.empty() || info.id == oc::kIntervalBox) return false;
  return info.kind != Kind::kCheckBox && info.kind != Kind::kButton && info.kind != Kind::kText;
}

QStringList EntriesOf(const OptionsControlState& state) {
  QStringList entries;
  for (const std::string& entry : state.entries) entries << QString::fromStdString(entry);
  return entries;
}

}  // namespace

OptionsDialog::OptionsDialog(OptionsModel& model, QWidget* owner) : QDialog(owner), model_(model) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(Text(kOptionsTitle));
  setObjectName(QLatin1String(kOptionsDialogName));
  Build();
  Refresh();
}

QWidget* OptionsDialog::ControlWidget(std::uint32_t id) const {
  const auto found = widgets_.find(id);
  return found == widgets_.end() ? nullptr : found->second;
}

void OptionsDialog::Build() {
  auto* area = new GroupsArea(this);
  auto* groups = new QWidget(area);
  auto* columns = new QHBoxLayout(groups);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->setSpacing(kColumnSpacing);
  std::vector<QVBoxLayout*> column_layouts;
  for (int i = 0; i < 3; ++i) {
    column_layouts.push_back(new QVBoxLayout);
    columns->addLayout(column_layouts.back(), i == 1 ? 4 : 3);
  }
  for (const GroupLayout& group : Layout()) {
    auto* box = new QGroupBox(Text(group.group), groups);
    auto* rows = new QVBoxLayout(box);
    for (const std::vector<std::uint32_t>& row_ids : group.rows) {
      auto* row = new QHBoxLayout;
      for (const std::uint32_t id : row_ids) {
        const OptionsControlInfo& info = *FindOptionsControl(id);
        if (HasLabel(info)) {
          auto* label = new QLabel(Text(info.caption), box);
          label->setObjectName(QStringLiteral("label_%1").arg(id));
          labels_[id] = label;
          row->addWidget(label);
        }
        QWidget* widget = MakeControl(info);
        row->addWidget(widget, info.kind == Kind::kButton ? 0 : 1);
      }
      rows->addLayout(row);
    }
    column_layouts[static_cast<std::size_t>(group.column)]->addWidget(box);
  }
  for (QVBoxLayout* column : column_layouts) column->addStretch(1);
  area->setWidget(groups);

  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(MakeControl(*FindOptionsControl(oc::kHelp)));
  bottom->addWidget(MakeControl(*FindOptionsControl(oc::kOk)));

  auto* main = new QVBoxLayout(this);
  main->addWidget(area, 1);
  main->addLayout(bottom);
}

QWidget* OptionsDialog::MakeControl(const OptionsControlInfo& info) {
  QWidget* widget = nullptr;
  const OptionsControlState& state = model_.Control(info.id);
  switch (info.kind) {
    case Kind::kCheckBox:
      widget = new QCheckBox(Text(info.caption), this);
      break;
    case Kind::kNumberBox:
      if (info.range_maximum > 0) {
        widget = new ArrowRangeSpinBox(static_cast<int>(info.range_minimum),
                                       static_cast<int>(info.range_maximum), this);
      } else {
        widget = new QLineEdit(this);
      }
      widget->setMaximumWidth(kNumberBoxWidth);
      break;
    case Kind::kSlider: {
      auto* slider = new QSlider(Qt::Horizontal, this);
      slider->setRange(static_cast<int>(info.range_minimum), static_cast<int>(info.range_maximum));
      slider->setTickInterval(static_cast<int>(info.tick_interval));
      slider->setTickPosition(QSlider::TicksBelow);
      slider->setMinimumWidth(kSliderWidth);
      widget = slider;
      break;
    }
    case Kind::kList:
    case Kind::kEditableList: {
      auto* list = new QComboBox(this);
      list->setEditable(info.kind == Kind::kEditableList);
      list->setInsertPolicy(QComboBox::NoInsert);
      list->addItems(EntriesOf(state));
      list->setSizeAdjustPolicy(list->isEditable()
                                    ? QComboBox::AdjustToMinimumContentsLengthWithIcon
                                    : QComboBox::AdjustToContents);
      widget = list;
      break;
    }
    case Kind::kEdit: {
      auto* edit = new QLineEdit(this);
      edit->setMaxLength(static_cast<int>(info.max_bytes));
      widget = edit;
      break;
    }
    case Kind::kButton: {
      auto* button = new QPushButton(Text(info.caption), this);
      button->setAutoDefault(false);
      widget = button;
      break;
    }
    case Kind::kText: {
      auto* text = new QLabel(this);
      text->setWordWrap(true);
      widget = text;
      break;
    }
  }
  widget->setObjectName(QStringLiteral("control_%1").arg(info.id));
  // "Auto Start" says what it does on this desktop, not on Windows.
  const std::string_view tooltip =
      info.id == oc::kAutoStart ? std::string_view(kXdgAutostartTooltip) : info.tooltip;
  if (!tooltip.empty()) widget->setToolTip(Text(tooltip));
  widgets_[info.id] = widget;
  Connect(info, widget);
  return widget;
}

void OptionsDialog::Connect(const OptionsControlInfo& info, QWidget* widget) {
  const std::uint32_t id = info.id;
  if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    connect(check, &QCheckBox::toggled, this, [this, id](bool on) {
      model_.SetChecked(id, on);
      AfterAction();
    });
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    connect(spin, &QSpinBox::valueChanged, this,
            [this, id](int value) { model_.SetText(id, std::to_string(value)); });
  } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
    connect(slider, &QSlider::valueChanged, this, [this](int position) {
      model_.MoveSlider(static_cast<std::uint32_t>(position));
      AfterAction();
    });
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    connect(list, &QComboBox::activated, this, [this, id](int index) {
      model_.Select(id, index);
      AfterAction();
    });
    if (list->isEditable()) {
      connect(list->lineEdit(), &QLineEdit::textEdited, this,
              [this, id](const QString& text) { model_.SetText(id, text.toStdString()); });
    }
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textEdited, this,
            [this, id](const QString& text) { model_.SetText(id, text.toStdString()); });
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    connect(button, &QPushButton::clicked, this, [this, id] {
      model_.Press(id);
      AfterAction();
    });
  }
}

void OptionsDialog::AfterAction() {
  Refresh();
  if (model_.closed()) accept();
}

void OptionsDialog::Refresh() {
  for (const OptionsControlInfo& info : OptionsControls()) {
    if (QWidget* widget = ControlWidget(info.id)) Refresh(info, widget);
  }
}

void OptionsDialog::Refresh(const OptionsControlInfo& info, QWidget* widget) {
  const OptionsControlState& state = model_.Control(info.id);
  const QSignalBlocker blocker(widget);
  widget->setEnabled(state.enabled);
  if (const auto label = labels_.find(info.id); label != labels_.end()) {
    label->second->setEnabled(state.enabled);
  }
  const QString text = QString::fromStdString(state.text);
  if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    check->setChecked(state.checked);
  } else if (auto* spin = qobject_cast<QSpinBox*>(widget)) {
    const int value =
        static_cast<int>(std::min<std::uint32_t>(ReadNumberBox(state.text), kTypedMaximum));
    if (spin->value() != value) spin->setValue(value);
  } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
    slider->setValue(static_cast<int>(state.position));
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    if (!list->isEditable()) {
      list->setCurrentIndex(state.selection);
    } else if (list->currentText() != text) {
      const QSignalBlocker edit_blocker(list->lineEdit());
      list->setCurrentIndex(state.selection);
      list->setEditText(text);
    }
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    if (edit->text() != text) edit->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(text);
  }
}

// Neither Escape nor the close box leaves the dialog: only "OK" does.
void OptionsDialog::reject() {
  if (model_.closed()) QDialog::reject();
}

void OptionsDialog::closeEvent(QCloseEvent* event) {
  if (model_.closed()) {
    QDialog::closeEvent(event);
  } else {
    event->ignore();
  }
}

}  // namespace tolvi
