// ScriptedRandom: a RandomSource for tests that hands out the queued values
// in order, then reports failure; one never given a value is a source that
// always fails. Not thread-safe: one test thread owns it.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

#include "platform/random_source.h"

namespace tolvi {

class ScriptedRandom final : public RandomSource {
 public:
  void Queue(std::uint32_t value) { values_.push_back(value); }
  std::optional<std::uint32_t> Next() override {
    if (values_.empty()) return std::nullopt;
    const std::uint32_t value = values_.front();
    values_.pop_front();
    return value;
  }

 private:
  std::deque<std::uint32_t> values_;
};

}  // namespace tolvi
