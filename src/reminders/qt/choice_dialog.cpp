#include "reminders/qt/choice_dialog.h"

#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>

namespace tolvi {
namespace {

constexpr int kFirstButtonResult = static_cast<int>(ChoiceResult::kFirst);
constexpr int kSecondButtonResult = static_cast<int>(ChoiceResult::kSecond);
constexpr int kDialogFontPoints = 8;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

QFont SansSerif(const QStringList& families) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(QFont::Normal);
  return font;
}

// The template's dialog font, or the closest sans-serif face on this system.
QFont DialogFont() {
  QFont font = SansSerif(
      {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"});
  font.setPointSize(kDialogFontPoints);
  return font;
}

// Arial (or a metric twin) whose line height fits the given cell height, the
// way the cell height of a Windows font is measured.
QFont MessageFont(int cell_height) {
  QFont font = SansSerif({"Arial", "Liberation Sans", "Arimo", "DejaVu Sans"});
  int pixels = cell_height;
  font.setPixelSize(pixels);
  while (pixels > 1 && QFontMetrics(font).height() > cell_height) font.setPixelSize(--pixels);
  return font;
}

// The exact ascent and descent: the integer metrics round the descent down
// and leave the cell a pixel short of the glyphs.
DialogBaseUnits MeasureBaseUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const QFontMetricsF exact(font);
  return BaseUnitsFromFont(metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)),
                           exact.ascent(), exact.descent());
}

QRect ToQRect(const PixelRect& rect) {
  return {rect.x, rect.y, rect.width, rect.height};
}

QPushButton* MakeButton(const std::string& caption, const char* name, const QFont& font,
                        QWidget* parent) {
  auto* button = new QPushButton(QString::fromStdString(caption), parent);
  button->setObjectName(QLatin1String(name));
  button->setFont(font);
  // No default button: a reminder that pops up while the user types must
  // not be answered by a stray Enter.
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

}  // namespace

ChoiceDialog::ChoiceDialog(const ChoiceRequest& request, ChoiceOpenFlag& open_flag,
                           const QIcon& program_icon, QWidget* owner)
    : QDialog(owner) {
  open_scope_.emplace(open_flag);
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
  if (request.on_top) flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
  // Modal to the main window only: the tray icon and its menu stay usable
  // while a reminder waits. Without an owner, nothing else may be used.
  setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  setWindowTitle(QString::fromLatin1(kChoiceCaption));
  if (!program_icon.isNull()) setWindowIcon(program_icon);
  setFont(DialogFont());
  base_units_ = MeasureBaseUnits(font());
  BuildWidgets(request, program_icon);
}

ChoiceDialog::~ChoiceDialog() = default;

void ChoiceDialog::BuildWidgets(const ChoiceRequest& request, const QIcon& program_icon) {
  const ChoiceLayout layout = ComputeChoiceLayout(base_units_);
  const QFont button_font = MessageFont(FontHeightFor(QuestionFont::kLarge));
  setFixedSize(layout.client.width, layout.client.height);

  icon_ = new QLabel(this);
  icon_->setObjectName(QStringLiteral("icon"));
  icon_->setGeometry(ToQRect(layout.icon));
  if (!program_icon.isNull()) {
    icon_->setPixmap(program_icon.pixmap(QSize(kChoiceIconPixels, kChoiceIconPixels)));
  }

  message_ = new QPlainTextEdit(this);
  message_->setObjectName(QStringLiteral("message"));
  message_->setReadOnly(true);
  message_->setPlainText(QString::fromStdString(request.message));
  message_->setFont(MessageFont(FontHeightFor(request.message_font)));
  message_->setGeometry(ToQRect(layout.message));

  first_button_ = MakeButton(request.first_caption, "first_button", button_font, this);
  first_button_->setGeometry(ToQRect(layout.first_button));
  connect(first_button_, &QPushButton::clicked, this, [this] { done(kFirstButtonResult); });

  second_button_ = MakeButton(request.second_caption, "second_button", button_font, this);
  second_button_->setGeometry(ToQRect(layout.second_button));
  connect(second_button_, &QPushButton::clicked, this, [this] { done(kSecondButtonResult); });
}

void ChoiceDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnScreen();
  message_->setFocus();
}

void ChoiceDialog::CentreOnScreen() {
  const QScreen* screen =
      parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  move(frame.topLeft());
}

void ChoiceDialog::done(int result) {
  choice_ = result == kFirstButtonResult ? ChoiceResult::kFirst : ChoiceResult::kSecond;
  open_scope_.reset();
  QDialog::done(static_cast<int>(choice_));
}

// Escape and the close box answer with the second button.
void ChoiceDialog::reject() {
  done(kSecondButtonResult);
}

ChoiceResult AskChoice(const ChoiceRequest& request, ChoiceOpenFlag& open_flag,
                       const QIcon& program_icon, QWidget* owner) {
  ChoiceDialog dialog(request, open_flag, program_icon, owner);
  dialog.exec();
  return dialog.choice();
}

}  // namespace tolvi
