// Ports for benchmarks: the shared recording Ui, quiet (nothing kept) and
// answering every question with a fixed button, and a random source that
// always fails (so the built-in generator runs). Single-threaded benchmark
// use only.
#pragma once

#include <cstdint>
#include <optional>

#include "fakes/recording_ui.h"
#include "platform/random_source.h"

namespace tolvi::bench {

class SilentUi final : public RecordingUi {
 public:
  explicit SilentUi(int answer) {
    KeepCalls(false);
    SetAnswerer([answer](const Question&) { return answer; });
  }
};

class NoRandom final : public RandomSource {
 public:
  std::optional<std::uint32_t> Next() override { return std::nullopt; }
};

}  // namespace tolvi::bench
