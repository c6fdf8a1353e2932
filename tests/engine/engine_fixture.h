// EngineFixture: a CoreContext on fakes (manual clock, recording Ui,
// in-memory files, a scripted random source) with ten "New Work" types in
// a fresh database, the default settings, and the user working. The tick
// tests move the clock by hand and call the engine with the lock held.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "engine/tick.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "fakes/scripted_random.h"
#include "settings/settings.h"
#include "state/core_context.h"

namespace tolvi {

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
  ScriptedRandom random_;
  CoreContext context_{CorePorts{clock_, ui_, files_, random_}, "/data", "/program"};
};

}  // namespace tolvi
