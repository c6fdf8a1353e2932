// X11IdleSource: idle time from the X screen-saver extension, on a display
// connection of its own (Qt's connection is never touched). Calls are
// serialised by a mutex, so any thread may ask.
#pragma once

#include <memory>
#include <mutex>

#include "platform/idle_source.h"

namespace tolvi {

class X11IdleSource final : public IdleSource {
 public:
  // Nothing when there is no X display or it lacks the extension.
  static std::unique_ptr<X11IdleSource> Open();
  ~X11IdleSource() override;
  X11IdleSource(const X11IdleSource&) = delete;
  X11IdleSource& operator=(const X11IdleSource&) = delete;

  std::optional<std::uint64_t> IdleMilliseconds() override;
  [[nodiscard]] std::string_view name() const override { return "X11 screen saver extension"; }

 private:
  struct Connection;
  explicit X11IdleSource(std::unique_ptr<Connection> connection);

  std::mutex mutex_;
  std::unique_ptr<Connection> connection_;
};

}  // namespace tolvi
