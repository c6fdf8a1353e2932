// PixelRect: a rectangle on the screen in device-independent pixels, the
// one geometry the core's layouts and the front ends exchange (a window's
// place, a control's box, a screen's free area). A plain value; any thread.
#pragma once

#include <cstdint>

namespace tolvi {

struct PixelRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace tolvi
