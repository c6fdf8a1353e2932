// Geometry of the question window: its template in dialog units and the
// conversion to pixels from the dialog font's average character size, so the
// window scales with the font the way a dialog template does. Pure
// functions; any thread.
#pragma once

#include <cstdint>

#include "platform/pixel_rect.h"
#include "reminders/choice.h"

namespace tolvi {

// A rectangle in dialog units: x and width in quarters of the average
// character width, y and height in eighths of the character height.
struct DialogRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The dialog font's average character width and height in pixels.
struct DialogBaseUnits {
  std::int32_t x = 1;
  std::int32_t y = 1;
  friend bool operator==(const DialogBaseUnits&, const DialogBaseUnits&) = default;
};

// The template of the question window.
inline constexpr DialogRect kChoiceClient{0, 0, 250, 122};
inline constexpr DialogRect kChoiceMessage{35, 3, 210, 34};
inline constexpr DialogRect kChoiceFirstButton{46, 43, 200, 35};
inline constexpr DialogRect kChoiceSecondButton{46, 83, 200, 35};
inline constexpr std::int32_t kChoiceIconX = 4;
inline constexpr std::int32_t kChoiceIconY = 4;
inline constexpr std::int32_t kChoiceIconPixels = 32;

// Cell heights in pixels of the message and button fonts.
inline constexpr std::int32_t kChoiceLargeFontHeight = 20;
inline constexpr std::int32_t kChoiceSmallFontHeight = 16;

// Base units the way dialog templates measure them: the width of
// "A".."Z" + "a".."z" gives the average character width (rounded), the
// font's character cell the vertical unit: its ascent and descent, each
// rounded up to whole pixels so that the cell holds every glyph (an 8-point
// sans-serif face gives 6 x 13). Sizes below 1 pixel count as 1.
DialogBaseUnits BaseUnitsFromFont(std::int32_t alphabet_width, double ascent, double descent);

// Rounds like the dialog manager: value * base / divisor, halves away from 0.
PixelRect DialogRectToPixels(const DialogRect& rect, DialogBaseUnits base);

struct ChoiceLayout {
  PixelRect client;
  PixelRect icon;
  PixelRect message;
  PixelRect first_button;
  PixelRect second_button;
};

ChoiceLayout ComputeChoiceLayout(DialogBaseUnits base);

std::int32_t FontHeightFor(QuestionFont font);

}  // namespace tolvi
