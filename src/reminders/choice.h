// The two-button question window as the core sees it: what a caller asks
// (message, captions, font, topmost), the answer, and the flag that tells
// the alert timers a question is on screen so their alerts wait behind it.
//
// ChoiceRequest and ChoiceResult are plain values, usable on any thread.
// ChoiceOpenFlag is shared between threads (atomic); a ChoiceOpenScope is
// held by whoever shows the window for exactly as long as it is shown.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/ui.h"

namespace tolvi {

inline constexpr char kChoiceCaption[] = "Tolvi 1.91";

// The answer: the first button, or the second button and every other way of
// closing the window (Escape, the close box).
enum class ChoiceResult : std::uint32_t { kFirst = 1, kSecond = 2 };

struct ChoiceRequest {
  std::string message;
  std::string first_caption;
  std::string second_caption;
  QuestionFont message_font = QuestionFont::kSmall;
  bool on_top = true;  // off only for a reminder while OnTopAlert is off
};

// The window for a question of the Ui port, in the font the question names.
ChoiceRequest ChoiceRequestFor(const Question& question, bool on_top);

// Counts the question windows on screen. Alerts read IsOpen() and wait while
// it is true. A count rather than a flag: a second window closing must not
// release the alerts while the first is still up.
class ChoiceOpenFlag {
 public:
  [[nodiscard]] bool IsOpen() const { return open_count_.load() != 0; }

 private:
  friend class ChoiceOpenScope;
  std::atomic<std::uint32_t> open_count_{0};
};

class ChoiceOpenScope {
 public:
  explicit ChoiceOpenScope(ChoiceOpenFlag& flag) : flag_(flag) { ++flag_.open_count_; }
  ~ChoiceOpenScope() { --flag_.open_count_; }
  ChoiceOpenScope(const ChoiceOpenScope&) = delete;
  ChoiceOpenScope& operator=(const ChoiceOpenScope&) = delete;

 private:
  ChoiceOpenFlag& flag_;
};

}  // namespace tolvi
