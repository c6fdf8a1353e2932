// EngineFixture: a CoreContext on fakes (manual clock, recording Ui,
// in-memory files, a scripted random source) with ten "New Work" types in
// a fresh database, the default settings, and the user working. The tick
// tests move the clock by hand and call the engine with the lock held. The
// context reaches the fake files through WatchedFileSystem, so a test can
// look at what the engine holds while an atomic write happens.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "engine/tick.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "settings/settings.h"
#include "state/core_context.h"

namespace tolvi {

// Hands out queued values, then reports failure.
class ScriptedRandom : public RandomSource {
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

// Forwards every call to a FakeFileSystem; calls the watcher, if any, on
// each atomic write before it is made.
class WatchedFileSystem final : public FileSystem {
 public:
  using Watcher = std::function<void(const std::filesystem::path&)>;
  explicit WatchedFileSystem(FakeFileSystem& files) : files_(files) {}
  void Watch(Watcher watcher) { watcher_ = std::move(watcher); }

  bool Exists(const std::filesystem::path& p) override { return files_.Exists(p); }
  std::optional<std::uint64_t> FileSize(const std::filesystem::path& p) override {
    return files_.FileSize(p);
  }
  Status ReadFile(const std::filesystem::path& p, std::string* contents) override {
    return files_.ReadFile(p, contents);
  }
  Status WriteFileAtomic(const std::filesystem::path& p, std::string_view contents) override {
    if (watcher_) watcher_(p);
    return files_.WriteFileAtomic(p, contents);
  }
  Status AppendFile(const std::filesystem::path& p, std::string_view contents) override {
    return files_.AppendFile(p, contents);
  }
  Status CopyFile(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return files_.CopyFile(from, to);
  }
  Status Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return files_.Rename(from, to);
  }
  Status Remove(const std::filesystem::path& p) override { return files_.Remove(p); }
  Status TouchModified(const std::filesystem::path& p) override { return files_.TouchModified(p); }
  Status CreateDirectories(const std::filesystem::path& p) override {
    return files_.CreateDirectories(p);
  }
  std::vector<std::string> ListFiles(const std::filesystem::path& directory) override {
    return files_.ListFiles(directory);
  }
  std::unique_ptr<MappedFile> OpenMapped(const std::filesystem::path& p, bool writable,
                                         Status* status) override {
    return files_.OpenMapped(p, writable, status);
  }

 private:
  FakeFileSystem& files_;
  Watcher watcher_;
};

class EngineFixture : public ::testing::Test {
 protected:
  static constexpr std::uint32_t kStartTick = 1'000'000;

  EngineFixture() {
    clock_.SetTickCount(kStartTick);
    clock_.SetLastInputTick(kStartTick);
    SetDefaultSettings(data(), clock_);
    EXPECT_TRUE(CreateWorkTypeDatabase(context_.records, "/data/TlvDB.lbf").ok());
    EXPECT_TRUE(CreateInitialWorkTypes(context_.records).ok());
    LoadCurrentWorkType(state(), context_.records);
    activity().last_tick_count = kStartTick;
    activity().working_flag = WorkingFlag::kWorking;
    activity().break_countdown_ms = data().break_interval;
    activity().phase = 10;  // away from the housekeeping phases
    ui_.Clear();
  }

  // One tick `elapsed` ms after the previous one; the user gave input at
  // the tick unless told otherwise.
  void Tick(std::uint32_t elapsed, bool input = true) {
    if (input) {
      clock_.AdvanceWithInput(elapsed);
    } else {
      clock_.Advance(elapsed);
    }
    std::lock_guard lock(context_.state.mutex);
    RunTick(context_);
  }
  void Locked(const std::function<void()>& action) {
    std::lock_guard lock(context_.state.mutex);
    action();
  }

  SharedState& state() { return context_.state; }
  ProgramData& data() { return context_.state.data; }
  ActivityState& activity() { return context_.state.activity; }
  std::vector<std::string> Balloons() const { return ui_.CallsStartingWith("balloon "); }
  std::vector<std::string> Timers() const { return ui_.CallsStartingWith("timer "); }

  FakeClock clock_;
  RecordingUi ui_;
  FakeFileSystem files_;
  WatchedFileSystem watched_files_{files_};
  ScriptedRandom random_;
  CoreContext context_{CorePorts{clock_, ui_, watched_files_, random_}, "/data", "/program"};
};

}  // namespace tolvi
