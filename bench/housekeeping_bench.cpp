// Benchmarks of the save made in every housekeeping refresh:
// - the CPU of taking the snapshot under the state lock and building the
//   6,508-byte file image, what the monitor adds to each cycle;
// - the whole save of "dTolvi.dat" on real files (atomic replace with its
//   fsyncs), on disk and in shared memory, to tell the disk wait from the
//   work;
// - the refresh's look for waiting work-log lines when there are none.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "bench_ports.h"
#include "engine/monitor_thread.h"
#include "engine/program_files.h"
#include "platform/posix/posix_file_system.h"
#include "settings/settings.h"
#include "state/core_context.h"
#include "storage/program_data_file.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

class StillClock final : public Clock {
 public:
  std::uint32_t TickCount() override { return 0; }
  std::uint32_t LastInputTick() override { return 0; }
  LocalTime Now() override { return {.year = 2026, .month = 12, .day = 6}; }
  std::uint32_t FileTimeHigh() override { return 31'000'000; }
  std::string LongDate(const LocalTime&) override { return "Sunday, 6 December 2026"; }
};

// Disk: the temporary directory, where each save waits for fsync. Memory:
// /dev/shm (tmpfs), where fsync is nearly free.
enum class Storage : std::int64_t { kDisk = 0, kMemory = 1 };

std::filesystem::path BaseDirectory(Storage storage) {
  return storage == Storage::kMemory ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
}

// A context on real files in a directory of its own, removed afterwards.
class SaveBench {
 public:
  explicit SaveBench(Storage storage)
      : directory_(BaseDirectory(storage) /
                   ("tolvi-housekeeping-" +
                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))),
        context_(CorePorts{clock_, ui_, files_, random_}, MakeDirectory(directory_), directory_) {
    SetDefaultSettings(context_.state.data, clock_);
  }
  ~SaveBench() {
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
  SaveBench(const SaveBench&) = delete;
  SaveBench& operator=(const SaveBench&) = delete;

  CoreContext& context() { return context_; }

 private:
  static std::filesystem::path MakeDirectory(const std::filesystem::path& path) {
    std::filesystem::create_directories(path);
    return path;
  }

  std::filesystem::path directory_;
  StillClock clock_;
  bench::SilentUi ui_{1};
  PosixFileSystem files_;
  bench::NoRandom random_;
  CoreContext context_;
};

// The save builds the image of the live block under the lock, as here.
void BM_HousekeepingImage(benchmark::State& state) {
  SaveBench bench(Storage::kMemory);
  CoreContext& context = bench.context();
  for (auto _ : state) {
    const StateLock lock(context.state.mutex);
    std::string image = ProgramDataFileImage(context.state.data);
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BM_HousekeepingImage);

void BM_HousekeepingSave(benchmark::State& state) {
  const auto storage = static_cast<Storage>(state.range(0));
  if (!std::filesystem::is_directory(BaseDirectory(storage))) {
    state.SkipWithError("no such directory");
    return;
  }
  SaveBench bench(storage);
  CoreContext& context = bench.context();
  for (auto _ : state) {
    SaveProgramFilesOrTell(context);
  }
}
BENCHMARK(BM_HousekeepingSave)
    ->ArgName("memory")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void BM_HousekeepingNoWaitingLogLines(benchmark::State& state) {
  SaveBench bench(Storage::kDisk);
  CoreContext& context = bench.context();
  for (auto _ : state) {
    std::lock_guard lock(context.state.mutex);
    benchmark::DoNotOptimize(ContextWorkLog(context).WritePending());
  }
}
BENCHMARK(BM_HousekeepingNoWaitingLogLines);

}  // namespace
}  // namespace tolvi
