// Keeping a window on its screen: the size and place a window gets so that
// all of it, frame included, lies inside the screen's free area (the screen
// less its panels), whatever the scale factor or the size its contents ask
// for. Then "OK" and "Cancel" of a dialog are always within reach.
//
// Pure functions; any thread.
#pragma once

#include <cstdint>

#include "platform/pixel_rect.h"

namespace tolvi {

// The window manager's frame around the client area.
struct FrameMargins {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct ClientSize {
  std::int32_t width = 1;
  std::int32_t height = 1;
};

// The client rectangle for a window that wants `client`: no larger than the
// free area less the frame (and no smaller than `minimum`, which wins), then
// moved the shortest way to lie inside. A window still larger than the area
// keeps its top-left corner on it, so its title bar can be grabbed.
PixelRect FitWindow(const PixelRect& client, const FrameMargins& frame, const PixelRect& available,
                    ClientSize minimum = {});

}  // namespace tolvi
