#include "shell/win/display_painter.h"

#include <algorithm>
#include <string>

#include "platform/win/wide_text.h"

namespace tolvi::win {
namespace {

constexpr UINT kTextFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

COLORREF Colour(Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

RECT Rect(const DisplayRect& rect) {
  return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

// Owns one GDI object and deletes it with itself.
class GdiObject {
 public:
  explicit GdiObject(HGDIOBJ object) : object_(object) {}
  ~GdiObject() {
    if (object_ != nullptr) ::DeleteObject(object_);
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  HGDIOBJ get() const { return object_; }

 private:
  HGDIOBJ object_;
};

HFONT MakeFont(DisplayFont font, LONG width) {
  LOGFONTW face{};
  face.lfHeight = kDisplayFontCellHeight;  // positive: the cell height
  face.lfWidth = width;
  face.lfWeight = font == DisplayFont::kBold ? kBoldFontWeight : FW_NORMAL;
  face.lfCharSet = DEFAULT_CHARSET;
  face.lfQuality = DEFAULT_QUALITY;
  const std::wstring name = WideFromUtf8(kDisplayFontFace);
  name.copy(face.lfFaceName, LF_FACESIZE - 1);
  return ::CreateFontIndirectW(&face);
}

void PaintPanel(HDC dc, const DisplayPanel& panel) {
  const GdiObject brush(::CreateSolidBrush(Colour(panel.fill)));
  const HGDIOBJ old_brush = ::SelectObject(dc, brush.get());
  const HGDIOBJ old_pen = ::SelectObject(dc, ::GetStockObject(BLACK_PEN));
  const RECT r = Rect(panel.rect);
  ::RoundRect(dc, r.left, r.top, r.right, r.bottom, kPanelCornerDiameter, kPanelCornerDiameter);
  ::SelectObject(dc, old_pen);
  ::SelectObject(dc, old_brush);
}

// Trailing spaces need no room; the colon before them does.
std::wstring TrimmedRight(std::wstring line) {
  while (!line.empty() && line.back() == L' ') line.pop_back();
  return line;
}

void PaintText(HDC dc, const DisplayText& text) {
  if (text.text.empty()) return;
  const std::wstring line = WideFromUtf8(text.text);
  RECT box = Rect(text.rect);
  GdiObject font(MakeFont(text.font, 0));
  HGDIOBJ old_font = ::SelectObject(dc, font.get());
  const std::wstring trimmed = TrimmedRight(line);
  SIZE needed{};
  ::GetTextExtentPoint32W(dc, trimmed.c_str(), static_cast<int>(trimmed.size()), &needed);
  const LONG width = box.right - box.left;
  if (text.fit_to_box && needed.cx > width && width > 0) {
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const LONG narrowed = std::max<LONG>(1, metrics.tmAveCharWidth * width / needed.cx);
    ::SelectObject(dc, old_font);
    GdiObject narrow(MakeFont(text.font, narrowed));
    old_font = ::SelectObject(dc, narrow.get());
    ::SetTextColor(dc, Colour(text.colour));
    ::DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &box, kTextFormat);
    ::SelectObject(dc, old_font);
    return;
  }
  ::SetTextColor(dc, Colour(text.colour));
  ::DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &box, kTextFormat);
  ::SelectObject(dc, old_font);
}

}  // namespace

void PaintBuffered(HDC target, const RECT& client, const DisplayList& list) {
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  HDC dc = ::CreateCompatibleDC(target);
  const GdiObject bitmap(::CreateCompatibleBitmap(target, width, height));
  const HGDIOBJ old_bitmap = ::SelectObject(dc, bitmap.get());

  const GdiObject background(::CreateSolidBrush(Colour(list.background)));
  ::FillRect(dc, &client, static_cast<HBRUSH>(background.get()));
  for (const DisplayPanel& panel : list.panels) PaintPanel(dc, panel);
  ::SetBkMode(dc, OPAQUE);
  ::SetBkColor(dc, Colour(list.text_background));
  for (const DisplayText& text : list.texts) PaintText(dc, text);

  ::BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
  ::SelectObject(dc, old_bitmap);
  ::DeleteDC(dc);
}

}  // namespace tolvi::win
