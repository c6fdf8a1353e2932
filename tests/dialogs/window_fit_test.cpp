#include "dialogs/window_fit.h"

#include <gtest/gtest.h>

namespace tolvi {
namespace {

// A 640 x 400 screen (1280 x 800 at scale 2) with a 24-pixel panel on top,
// and a frame with a 20-pixel title bar.
constexpr PixelRect kFreeArea{0, 24, 640, 376};
constexpr FrameMargins kFrame{2, 20, 2, 2};

TEST(FitWindow, KeepsTheWholeFrameOnTheFreeArea) {
  const struct {
    const char* what;
    PixelRect client;
    ClientSize minimum;
    PixelRect expected;
  } cases[] = {
      {"fits: unchanged", {100, 100, 300, 200}, {}, {100, 100, 300, 200}},
      {"too large: shrunk into the area", {50, 0, 869, 522}, {}, {2, 44, 636, 354}},
      {"past the right and bottom edges: moved back",
       {500, 300, 300, 200},
       {},
       {338, 198, 300, 200}},
      {"above the panel: moved below it", {10, 0, 300, 200}, {}, {10, 44, 300, 200}},
      {"minimum larger than the area: top-left corner stays on it",
       {100, 100, 300, 200},
       {700, 500},
       {2, 44, 700, 500}},
      {"hostile size: no overflow",
       {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
       {},
       {2, 44, 636, 354}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FitWindow(c.client, kFrame, kFreeArea, c.minimum), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace tolvi
