// IdleSource: how long the keyboard and mouse have been idle, from whatever
// the desktop offers (the X screen-saver extension, a compositor's D-Bus
// idle monitor). The clock turns it into the tick of the last input.
//
// Implementations must be callable from the monitor thread and the GUI
// thread; they serialise their own access to the display or bus.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tolvi {

class IdleSource {
 public:
  virtual ~IdleSource() = default;
  // Milliseconds since the last input, or nothing when the query failed.
  virtual std::optional<std::uint64_t> IdleMilliseconds() = 0;
  // A short name for messages ("X11 screen saver", ...).
  [[nodiscard]] virtual std::string_view name() const = 0;
};

}  // namespace tolvi
