#include "shell/qt/display_painter.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

namespace tolvi {
namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;

QColor Colour(Rgb rgb) {
  return {rgb.red, rgb.green, rgb.blue};
}

QRect Rect(const DisplayRect& rect) {
  return {QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)};
}

// The largest pixel size whose line height fits the cell.
int PixelSizeForCell(QFont font) {
  int size = kDisplayFontCellHeight;
  for (; size > 8; --size) {
    font.setPixelSize(size);
    if (QFontMetrics(font).height() <= kDisplayFontCellHeight) break;
  }
  return size;
}

QFont MakeFont(bool bold) {
  QFont font(QString::fromLatin1(kDisplayFontFace));
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(bold ? QFont::ExtraBold : QFont::Normal);
  font.setPixelSize(PixelSizeForCell(font));
  return font;
}

QString TrimmedRight(const QString& line) {
  qsizetype end = line.size();
  while (end > 0 && line.at(end - 1).isSpace()) --end;
  return line.left(end);
}

void PaintPanel(QPainter& painter, const DisplayPanel& panel) {
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Colour(panel.fill));
  const qreal radius = kPanelCornerDiameter / 2.0;
  painter.drawRoundedRect(QRectF(Rect(panel.rect)).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
}

void PaintText(QPainter& painter, const DisplayText& text, const QColor& background) {
  if (text.text.empty()) return;
  const QRect rect = Rect(text.rect);
  const QString line = QString::fromStdString(text.text);
  painter.setFont(DisplayQFont(text.font));
  painter.save();
  painter.setClipRect(rect);
  painter.fillRect(painter.boundingRect(rect, kTextFlags, line) & rect, background);
  painter.setPen(Colour(text.colour));
  QRectF area(rect);
  // Trailing spaces need no room; the colon before them does.
  const qreal needed = QFontMetricsF(painter.font()).horizontalAdvance(TrimmedRight(line));
  if (text.fit_to_box && needed > area.width()) {
    // Narrowed about the left edge so that the whole label fits the box.
    painter.translate(area.left(), 0);
    painter.scale(area.width() / needed, 1);
    painter.translate(-area.left(), 0);
    area.setWidth(needed);
  }
  painter.drawText(area, kTextFlags, line);
  painter.restore();
}

}  // namespace

QFont DisplayQFont(DisplayFont font) {
  static const QFont bold = MakeFont(true);
  static const QFont regular = MakeFont(false);
  return font == DisplayFont::kBold ? bold : regular;
}

void PaintDisplayList(QPainter& painter, const DisplayList& list) {
  painter.fillRect(QRect(0, 0, list.width, list.height), Colour(list.background));
  painter.setRenderHint(QPainter::Antialiasing, true);
  for (const DisplayPanel& panel : list.panels) PaintPanel(painter, panel);
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QColor text_background = Colour(list.text_background);
  for (const DisplayText& text : list.texts) PaintText(painter, text, text_background);
}

}  // namespace tolvi
