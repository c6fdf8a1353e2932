// Ports for benchmarks: a Ui that shows nothing and answers every question
// with a fixed button, and a random source that always fails (so the
// built-in generator runs), and MustSucceed for setup steps. Single-threaded
// benchmark use only.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/random_source.h"
#include "platform/status.h"
#include "platform/ui.h"

namespace tolvi::bench {

// A benchmark whose setup failed would measure nothing: it stops the run.
inline void MustSucceed(const Status& status) {
  if (status.ok()) return;
  std::fprintf(stderr, "benchmark setup failed: %s\n", status.message().c_str());
  std::abort();
}

class SilentUi final : public Ui {
 public:
  explicit SilentUi(int answer) : answer_(answer) {}
  void ArmTimer(TimerId, std::uint32_t) override {}
  void KillTimer(TimerId) override {}
  void PostCommand(std::uint32_t) override {}
  void PostClose() override {}
  void RequestRepaint() override {}
  void SetTray(TrayIcon, const std::string&) override {}
  bool AddTray(TrayIcon, const std::string&) override { return true; }
  void ShowBalloon(const std::string&, const std::string&, TrayIcon) override {}
  void Notify(const std::string&) override {}
  int Ask(const Question&) override { return answer_; }
  void Beep() override {}
  void PlaySoundFile(const std::filesystem::path&) override {}
  void StopSound() override {}
  void OpenWithDefaultApp(const std::filesystem::path&) override {}

 private:
  int answer_;
};

class NoRandom final : public RandomSource {
 public:
  std::optional<std::uint32_t> Next() override { return std::nullopt; }
};

}  // namespace tolvi::bench
