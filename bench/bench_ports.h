// Ports for benchmarks: the shared recording Ui, quiet (nothing kept) and
// answering every question with a fixed button, a random source that always
// fails (so the built-in generator runs), and MustSucceed for setup steps.
// Single-threaded benchmark use only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "fakes/recording_ui.h"
#include "platform/random_source.h"
#include "platform/status.h"

namespace tolvi::bench {

// A benchmark whose setup failed would measure nothing: it stops the run.
inline void MustSucceed(const Status& status) {
  if (status.ok()) return;
  std::fprintf(stderr, "benchmark setup failed: %s\n", status.message().c_str());
  std::abort();
}

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
