#include "dialogs/window_fit.h"

#include <algorithm>

namespace tolvi {
namespace {

// Widened so that hostile sizes (a placement read from disk) cannot
// overflow.
std::int64_t Wide(std::int32_t value) {
  return value;
}

// The start of a span of `length` (frame included) moved into [low, high):
// the shortest move that brings its end inside, then its start.
std::int64_t Into(std::int64_t start, std::int64_t length, std::int64_t low, std::int64_t high) {
  return std::max(std::min(start, high - length), low);
}

std::int32_t Narrow(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

PixelRect FitWindow(const PixelRect& client, const FrameMargins& frame, const PixelRect& available,
                    ClientSize minimum) {
  const std::int64_t frame_width = Wide(frame.left) + frame.right;
  const std::int64_t frame_height = Wide(frame.top) + frame.bottom;
  const std::int64_t room_width = Wide(available.width) - frame_width;
  const std::int64_t room_height = Wide(available.height) - frame_height;
  const std::int64_t width =
      std::max({std::min(Wide(client.width), room_width), Wide(minimum.width), std::int64_t{1}});
  const std::int64_t height =
      std::max({std::min(Wide(client.height), room_height), Wide(minimum.height), std::int64_t{1}});
  const std::int64_t left = Into(Wide(client.x) - frame.left, width + frame_width, available.x,
                                 Wide(available.x) + available.width);
  const std::int64_t top = Into(Wide(client.y) - frame.top, height + frame_height, available.y,
                                Wide(available.y) + available.height);
  return PixelRect{Narrow(left + frame.left), Narrow(top + frame.top), Narrow(width),
                   Narrow(height)};
}

}  // namespace tolvi
