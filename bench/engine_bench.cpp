// Benchmarks of the activity engine: one monitor tick without I/O, the
// housekeeping refresh over 1,000 work types, and tolvi-sim running 30 days
// of a working month.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "accounting/recent_work.h"
#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "bench_ports.h"
#include "engine/tick.h"
#include "platform/posix/posix_file_system.h"
#include "settings/settings.h"
#include "state/core_context.h"

namespace tolvi {
namespace {

// A clock that moves only when told; the user is always active.
class ManualClock final : public Clock {
 public:
  void Advance(std::uint32_t ms) { tick_ += ms; }
  std::uint32_t TickCount() override { return tick_; }
  std::uint32_t LastInputTick() override { return tick_; }
  LocalTime Now() override { return LocalTime{2026, 12, 7, 1, 10, 0, 0}; }
  std::uint32_t FileTimeHigh() override { return 31'000'000; }
  std::string LongDate(const LocalTime&) override { return "Monday, 7 December 2026"; }

 private:
  std::uint32_t tick_ = 1'000'000;
};

using bench::NoRandom;

std::filesystem::path ScratchDirectory(const std::string& name) {
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  auto dir = std::filesystem::temp_directory_path() /
             ("tolvi-bench-" + name + "-" + std::to_string(stamp));
  std::filesystem::create_directories(dir);
  return dir;
}

// A context with the given number of work types in a scratch database
// (memory-mapped: no file I/O per field), the user working.
struct Bench {
  explicit Bench(int work_types) {
    SetDefaultSettings(context.state.data, clock);
    bench::MustSucceed(CreateWorkTypeDatabase(context.records, context.DataFile("TlvDB.lbf")));
    for (int i = 0; i < work_types; ++i) {
      const std::int32_t id = NewWorkType(context.records);
      bench::MustSucceed(
          context.records.WriteText(id, work_type_field::kName, "Work " + std::to_string(i)));
      bench::MustSucceed(context.records.WriteNumber(id, work_type_field::kToday,
                                                     static_cast<std::uint32_t>(i * 977 % 50'000)));
    }
    bench::MustSucceed(context.records.SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted));
    ActivityState& activity = context.state.activity;
    LoadCurrentWorkType(context.state, context.records);
    activity.working_flag = WorkingFlag::kWorking;
    activity.break_countdown_ms = 0xFFFF'FFFF;
    activity.current_maximum_ms = 0xFFFF'FFFF;
    activity.last_tick_count = clock.TickCount();
  }
  ~Bench() {
    context.records.Close();
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
  }

  std::filesystem::path directory = ScratchDirectory("engine");
  ManualClock clock;
  bench::SilentUi ui{2};
  PosixFileSystem files;
  NoRandom random;
  CoreContext context{CorePorts{clock, ui, files, random}, directory, directory};
};

void BM_Tick(benchmark::State& state) {
  Bench bench(10);
  ActivityState& activity = bench.context.state.activity;
  for (auto _ : state) {
    bench.clock.Advance(6'000);
    activity.phase = 10;  // an ordinary tick, no housekeeping
    std::lock_guard lock(bench.context.state.mutex);
    RunTick(bench.context);
  }
  benchmark::DoNotOptimize(activity.current_today_ms);
}
BENCHMARK(BM_Tick);

void BM_PhaseOneRefresh(benchmark::State& state) {
  Bench bench(static_cast<int>(state.range(0)));
  SharedState& shared = bench.context.state;
  for (auto _ : state) {
    std::lock_guard lock(shared.mutex);
    bench::MustSucceed(FlushCurrentWorkType(shared, bench.context.records));
    ComputeTotals(shared, bench.context.records, GrandTotal::kCompute);
    RebuildRecentWork(shared, bench.context.records);
  }
  benchmark::DoNotOptimize(shared.recent[0].today_ms);
}
BENCHMARK(BM_PhaseOneRefresh)->Arg(1'000)->Unit(benchmark::kMicrosecond);

// tolvi-sim sits in the build directory, one level above this program.
std::filesystem::path SimulatorPath() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return self.parent_path().parent_path() / "tolvi-sim";
}

std::string MonthScript() {
  std::string script = "answer 1\nstart\nset AutoCont 1\n";
  for (int day = 0; day < 30; ++day) {
    script +=
        "active\ncommand 2008\nrun 4h\ninactive\nrun 1h\n"  // a morning, lunch away
        "active\nrun 4h\ninactive\nrun 15h\n";              // an afternoon, the night
  }
  return script + "stop\n";
}

void BM_SimulateThirtyDays(benchmark::State& state) {
  const std::filesystem::path sim = SimulatorPath();
  if (sim.empty() || !std::filesystem::exists(sim)) {
    state.SkipWithError("tolvi-sim not found beside the benchmarks");
    return;
  }
  const std::filesystem::path dir = ScratchDirectory("sim");
  const std::filesystem::path script = dir / "month.sim";
  std::ofstream(script) << MonthScript();
  const std::string command = "\"" + sim.string() + "\" --data-dir \"" + (dir / "data").string() +
                              "\" \"" + script.string() + "\" > /dev/null";
  for (auto _ : state) {
    std::filesystem::remove_all(dir / "data");
    if (std::system(command.c_str()) != 0) state.SkipWithError("tolvi-sim failed");
  }
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SimulateThirtyDays)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tolvi
