#include "reminders/choice_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace tolvi {
namespace {

constexpr std::int32_t kHorizontalDivisor = 4;
constexpr std::int32_t kVerticalDivisor = 8;
constexpr std::int32_t kAlphabetLetters = 52;
constexpr double kLargestMeasure = 10'000.0;

// value * multiplier / divisor rounded half away from zero, clamped to int32.
std::int32_t MulDiv(std::int32_t value, std::int32_t multiplier, std::int32_t divisor) {
  const std::int64_t product = std::int64_t{value} * multiplier;
  const std::int64_t half = divisor / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / divisor : (product - half) / divisor;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      rounded, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// A font measure rounded up to whole pixels; nonsense (negative, NaN, huge)
// counts as 0.
std::int32_t WholePixels(double measure) {
  if (!(measure > 0.0) || measure > kLargestMeasure) return 0;
  return static_cast<std::int32_t>(std::ceil(measure));
}

}  // namespace

DialogBaseUnits BaseUnitsFromFont(std::int32_t alphabet_width, double ascent, double descent) {
  // (width / 26 + 1) / 2 is the average over 52 letters, rounded.
  const std::int32_t average = (std::max(alphabet_width, 0) / (kAlphabetLetters / 2) + 1) / 2;
  const std::int32_t cell = WholePixels(ascent) + WholePixels(descent);
  return DialogBaseUnits{std::max(average, 1), std::max(cell, 1)};
}

PixelRect DialogRectToPixels(const DialogRect& rect, DialogBaseUnits base) {
  return PixelRect{MulDiv(rect.x, base.x, kHorizontalDivisor),
                   MulDiv(rect.y, base.y, kVerticalDivisor),
                   MulDiv(rect.width, base.x, kHorizontalDivisor),
                   MulDiv(rect.height, base.y, kVerticalDivisor)};
}

ChoiceLayout ComputeChoiceLayout(DialogBaseUnits base) {
  const PixelRect icon_origin =
      DialogRectToPixels(DialogRect{kChoiceIconX, kChoiceIconY, 0, 0}, base);
  return ChoiceLayout{
      .client = DialogRectToPixels(kChoiceClient, base),
      .icon = PixelRect{icon_origin.x, icon_origin.y, kChoiceIconPixels, kChoiceIconPixels},
      .message = DialogRectToPixels(kChoiceMessage, base),
      .first_button = DialogRectToPixels(kChoiceFirstButton, base),
      .second_button = DialogRectToPixels(kChoiceSecondButton, base),
  };
}

std::int32_t FontHeightFor(QuestionFont font) {
  return font == QuestionFont::kSmall ? kChoiceSmallFontHeight : kChoiceLargeFontHeight;
}

}  // namespace tolvi
