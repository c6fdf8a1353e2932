#include "dialogs/qt/work_details_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "worklog/log_import.h"

namespace tolvi {
namespace {

namespace wc = work_details_control;

constexpr int kNotesHeight = 70;
constexpr int kMaximumWidth = 70;
constexpr int kImportTextWidth = 460;
constexpr int kImportTextHeight = 300;

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Name(std::uint32_t id) {
  return QStringLiteral("control_%1").arg(id);
}

void SetTooltips(QWidget& dialog) {
  for (const WorkDetailsTooltip& tooltip : kWorkDetailsTooltips) {
    if (auto* widget = dialog.findChild<QWidget*>(Name(tooltip.control))) {
      widget->setToolTip(Text(tooltip.text));
    }
  }
}

QStringList Entries(const std::vector<std::string>& names) {
  QStringList entries;
  for (const std::string& name : names) entries << QString::fromStdString(name);
  return entries;
}

QPushButton* PlainButton(const QString& caption, std::uint32_t id, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(Name(id));
  button->setAutoDefault(false);
  return button;
}

// The import's report asks for room to read it but may shrink to fit a
// small screen, where a minimum size would push the buttons off it.
class ReportView final : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;
  [[nodiscard]] QSize sizeHint() const override { return {kImportTextWidth, kImportTextHeight}; }
};

}  // namespace

// ---- Work Details -------------------------------------------------------------

WorkDetailsDialog::WorkDetailsDialog(WorkDetailsModel& model, QWidget* owner)
    : QDialog(owner), model_(model) {
  setWindowTitle(Text(kWorkDetailsTitle));
  setObjectName(QLatin1String(kWorkDetailsDialogName));
  Build();
  SetTooltips(*this);
  Refresh();
}

QPushButton* WorkDetailsDialog::AddButton(std::uint32_t id, const char* caption,
                                          void (*action)(WorkDetailsModel& model)) {
  QPushButton* button = PlainButton(QString::fromLatin1(caption), id, this);
  buttons_[id] = button;
  connect(button, &QPushButton::clicked, this, [this, action] {
    action(model_);
    Refresh();
    if (model_.closed()) accept();
  });
  return button;
}

void WorkDetailsDialog::Build() {
  auto* form = new QGridLayout;
  names_ = new QComboBox(this);
  names_->setObjectName(Name(wc::kName));
  names_->setEditable(true);
  names_->setInsertPolicy(QComboBox::NoInsert);
  names_->lineEdit()->setMaxLength(static_cast<int>(kWorkNameMaxBytes));
  connect(names_, &QComboBox::activated, this, [this](int index) {
    model_.SelectEntry(index);
    Refresh();
  });
  connect(names_->lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.SetName(text.toStdString()); });
  form->addWidget(new QLabel(QStringLiteral("Name:"), this), 0, 0);
  form->addWidget(names_, 0, 1, 1, 3);

  maximum_ = new QLineEdit(this);
  maximum_->setObjectName(Name(wc::kMaximum));
  maximum_->setMaximumWidth(kMaximumWidth);
  connect(maximum_, &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.SetMaximum(text.toStdString()); });
  form->addWidget(new QLabel(QStringLiteral("Max Time (Min):"), this), 1, 0);
  form->addWidget(maximum_, 1, 1);

  notes_ = new QPlainTextEdit(this);
  notes_->setObjectName(Name(wc::kNotes));
  notes_->setFixedHeight(kNotesHeight);
  connect(notes_, &QPlainTextEdit::textChanged, this,
          [this] { model_.SetNotes(notes_->toPlainText().toStdString()); });
  form->addWidget(new QLabel(QStringLiteral("Notes:"), this), 2, 0, Qt::AlignTop);
  form->addWidget(notes_, 2, 1, 1, 3);

  // The week: today, yesterday and five day names, each with its figure.
  auto* week = new QGridLayout;
  for (std::uint32_t day = 0; day < 7; ++day) {
    QLabel* label = nullptr;
    if (day == 0) {
      label = new QLabel(QStringLiteral("Today"), this);
    } else if (day == 1) {
      label = new QLabel(QStringLiteral("Yesterday"), this);
    } else {
      label = new QLabel(this);
      const std::uint32_t label_id = wc::kFirstDayLabel + (day - 2);
      label->setObjectName(Name(label_id));
      texts_[label_id] = label;
    }
    auto* value = new QLabel(this);
    value->setObjectName(Name(wc::kToday + day));
    texts_[wc::kToday + day] = value;
    const int row = static_cast<int>(day);
    week->addWidget(label, row, 0);
    week->addWidget(value, row, 1, Qt::AlignRight);
  }
  const std::pair<std::uint32_t, const char*> kFigures[] = {
      {wc::kTotal, "Total"}, {wc::kAverage, "Average"}, {wc::kShare, "%"}};
  int row = 0;
  for (const auto& [id, caption] : kFigures) {
    auto* value = new QLabel(this);
    value->setObjectName(Name(id));
    texts_[id] = value;
    week->addWidget(new QLabel(QString::fromLatin1(caption), this), row, 3);
    week->addWidget(value, row, 4, Qt::AlignRight);
    ++row;
  }
  week->setColumnMinimumWidth(2, 30);

  auto* browse = new QHBoxLayout;
  browse->addWidget(
      AddButton(wc::kPrevious, "<", [](WorkDetailsModel& model) { model.Previous(); }));
  browse->addWidget(AddButton(wc::kNext, ">", [](WorkDetailsModel& model) { model.Next(); }));
  browse->addStretch(1);
  browse->addWidget(
      AddButton(wc::kDelete, "Delete", [](WorkDetailsModel& model) { model.Delete(); }));
  browse->addWidget(AddButton(wc::kCopy, "Copy", [](WorkDetailsModel& model) { model.Copy(); }));
  browse->addWidget(AddButton(wc::kNew, "New", [](WorkDetailsModel& model) { model.New(); }));

  auto* close = new QHBoxLayout;
  close->addWidget(
      AddButton(wc::kSelect, "Select", [](WorkDetailsModel& model) { model.Select(); }));
  close->addStretch(1);
  close->addWidget(AddButton(wc::kOk, "OK", [](WorkDetailsModel& model) { model.Ok(); }));
  close->addWidget(
      AddButton(wc::kCancel, "Cancel", [](WorkDetailsModel& model) { model.Cancel(); }));

  auto* main = new QVBoxLayout(this);
  main->addLayout(form);
  main->addLayout(week);
  main->addLayout(browse);
  main->addLayout(close);
}

void WorkDetailsDialog::Refresh() {
  const WorkDetailsView& view = model_.view();
  const bool has_record = model_.has_record();
  {
    const QSignalBlocker blocker(names_);
    const QStringList entries = Entries(view.names);
    QStringList shown;
    for (int i = 0; i < names_->count(); ++i) shown << names_->itemText(i);
    if (shown != entries) {
      names_->clear();
      names_->addItems(entries);
    }
    names_->setCurrentIndex(view.shown);
    names_->setEditText(QString::fromStdString(view.name));
    names_->setEnabled(has_record);
  }
  if (maximum_->text() != QString::fromStdString(view.maximum)) {
    maximum_->setText(QString::fromStdString(view.maximum));
  }
  maximum_->setEnabled(has_record);
  if (notes_->toPlainText() != QString::fromStdString(view.notes)) {
    const QSignalBlocker blocker(notes_);
    notes_->setPlainText(QString::fromStdString(view.notes));
  }
  notes_->setEnabled(has_record);
  for (std::uint32_t day = 0; day < view.days.size(); ++day) {
    texts_[wc::kToday + day]->setText(QString::fromStdString(view.days[day]));
  }
  for (std::uint32_t i = 0; i < view.day_labels.size(); ++i) {
    texts_[wc::kFirstDayLabel + i]->setText(QString::fromStdString(view.day_labels[i]));
  }
  texts_[wc::kTotal]->setText(QString::fromStdString(view.total));
  texts_[wc::kAverage]->setText(QString::fromStdString(view.average));
  texts_[wc::kShare]->setText(QString::fromStdString(view.share));
  buttons_[wc::kPrevious]->setEnabled(view.can_previous);
  buttons_[wc::kNext]->setEnabled(view.can_next);
  for (const std::uint32_t id : {wc::kDelete, wc::kCopy, wc::kSelect}) {
    buttons_[id]->setEnabled(has_record);
  }
}

void WorkDetailsDialog::reject() {
  model_.Cancel();
  QDialog::reject();
}

// ---- Select Work ---------------------------------------------------------------

SelectWorkDialog::SelectWorkDialog(SelectWorkModel& model, QWidget* owner)
    : QDialog(owner), model_(model) {
  setWindowTitle(Text(kSelectWorkTitle));
  setObjectName(QLatin1String(kSelectWorkDialogName));
  auto* names = new QComboBox(this);
  names->setObjectName(Name(work_details_control::kName));
  names->addItems(Entries(model_.names()));
  names->setCurrentIndex(model_.selection());
  names->setToolTip(Text(kWorkDetailsTooltips[2].text));
  connect(names, &QComboBox::activated, this, [this](int index) { model_.SelectEntry(index); });

  QPushButton* ok = PlainButton(QStringLiteral("OK"), work_details_control::kOk, this);
  QPushButton* cancel = PlainButton(QStringLiteral("Cancel"), work_details_control::kCancel, this);
  connect(ok, &QPushButton::clicked, this, [this] {
    model_.Ok();
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &SelectWorkDialog::reject);

  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Name:"), this));
  row->addWidget(names, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* main = new QVBoxLayout(this);
  main->addLayout(row);
  main->addLayout(buttons);
}

void SelectWorkDialog::reject() {
  model_.Cancel();
  QDialog::reject();
}

// ---- Import Work from log file ----------------------------------------------

ImportWorkDialog::ImportWorkDialog(const ImportConfirmation& confirmation, QWidget* owner)
    : QDialog(owner) {
  setWindowTitle(Text(kImportTitle));
  setObjectName(QStringLiteral("import_work_dialog"));
  auto* heading = new QLabel(QString::fromStdString(confirmation.heading), this);
  auto* text = new ReportView(this);
  text->setObjectName(Name(work_details_control::kNotes));
  text->setReadOnly(true);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setLineWrapMode(QPlainTextEdit::NoWrap);
  QString body = QString::fromStdString(confirmation.text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text->setPlainText(body);

  QPushButton* ok = PlainButton(Text(kImportConfirm), work_details_control::kOk, this);
  QPushButton* cancel = PlainButton(Text(kImportCancel), work_details_control::kCancel, this);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* main = new QVBoxLayout(this);
  main->addWidget(heading);
  main->addWidget(text, 1);
  main->addLayout(buttons);
}

}  // namespace tolvi
