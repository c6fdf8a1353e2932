// Benchmarks of the work log and the day close, on real files in a
// temporary directory:
// - the import of a generated 1,000,000-byte work log (about 5,000 day
//   lines over 40 work types) into a new work-type database;
// - a day close (day line, history shift, seeding, backup and save) with
//   1,000 work types.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "accounting/work_type_record.h"
#include "bench_ports.h"
#include "engine/day_rollover.h"
#include "platform/posix/posix_file_system.h"
#include "settings/settings.h"
#include "state/core_context.h"
#include "text/text.h"
#include "worklog/log_import.h"
#include "worklog/work_log.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kStamp = 31'000'000;

class FixedClock final : public Clock {
 public:
  std::uint32_t TickCount() override { return 0; }
  std::uint32_t LastInputTick() override { return 0; }
  LocalTime Now() override {
    return {.year = 2026, .month = 12, .day = 6, .day_of_week = 0, .hour = 0, .minute = 0};
  }
  std::uint32_t FileTimeHigh() override { return kStamp; }
  std::string LongDate(const LocalTime&) override { return "Sunday, 6 December 2026"; }
};

using bench::NoRandom;

// Where the files live: the temporary directory (a disk, where every save
// and backup waits for fsync), or shared memory (tmpfs, where fsync is
// nearly free), to tell the waiting from the work.
enum class Storage : std::int64_t { kDisk = 0, kMemory = 1 };

std::filesystem::path BaseDirectory(Storage storage) {
  return storage == Storage::kMemory ? std::filesystem::path("/dev/shm")
                                     : std::filesystem::temp_directory_path();
}

// A context on real files in a directory of its own, removed afterwards.
class BenchContext {
 public:
  explicit BenchContext(Storage storage = Storage::kDisk)
      : directory_(BaseDirectory(storage) /
                   ("tolvi-bench-" +
                    std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))),
        context_(CorePorts{clock_, ui_, files_, random_}, MakeDirectory(directory_), directory_) {
    SetDefaultSettings(context_.state.data, clock_);
  }
  ~BenchContext() {
    context_.records.Close();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  CoreContext& context() { return context_; }
  FileSystem& files() { return files_; }
  void NewDatabase() {
    if (!CreateWorkTypeDatabase(context_.records, context_.DataFile("TlvDB.lbf")).ok()) {
      std::fprintf(stderr, "cannot create the work-type database\n");
    }
  }

 private:
  static std::filesystem::path MakeDirectory(const std::filesystem::path& path) {
    std::filesystem::create_directories(path);
    return path;
  }

  std::filesystem::path directory_;
  FixedClock clock_;
  bench::SilentUi ui_{1};
  PosixFileSystem files_;
  NoRandom random_;
  CoreContext context_;
};

// Day lines as the writer produces them, over 40 work types, until the log
// reaches `bytes`.
std::string GenerateLog(std::size_t bytes) {
  std::string log(kWorkLogHeader);
  for (int day = 0; log.size() < bytes; ++day) {
    std::string line = "Monday, " + std::to_string(1 + day % 28) + " December 2026";
    PadRight(line, 30);
    line += " : Work: 7:30, Break: 0:45, Away: 1:10, (";
    for (int entry = 0; entry < 5; ++entry) {
      if (entry != 0) line += ", ";
      line += "Project number " + std::to_string((day * 7 + entry * 3) % 40) + ": 1:30";
    }
    line += ")";
    if (day % 10 == 0) line += " notes of the day";
    log += line + "\r\n";
  }
  return log;
}

void BM_ImportMegabyteLog(benchmark::State& state) {
  BenchContext bench;
  CoreContext& context = bench.context();
  const std::string log = GenerateLog(1'000'000);
  (void)bench.files().WriteFileAtomic(context.DataFile(kWorkLogFileName), log);
  for (auto _ : state) {
    state.PauseTiming();
    bench.NewDatabase();
    state.ResumeTiming();
    StateLock lock(context.state.mutex);
    benchmark::DoNotOptimize(ImportWorkFromLog(context));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * log.size()));
}
BENCHMARK(BM_ImportMegabyteLog)->Unit(benchmark::kMillisecond);

void BM_DayCloseWithThousandWorkTypes(benchmark::State& state) {
  const auto storage = static_cast<Storage>(state.range(0));
  if (storage == Storage::kMemory && !std::filesystem::is_directory(BaseDirectory(storage))) {
    state.SkipWithError("no /dev/shm");
    return;
  }
  BenchContext bench(storage);
  CoreContext& context = bench.context();
  bench.NewDatabase();
  for (std::uint32_t i = 0; i < 1'000; ++i) {
    const std::int32_t id = context.records.NewRecord();
    bench::MustSucceed(InitWorkType(context.records, id, /*named=*/false));
    bench::MustSucceed(
        context.records.WriteText(id, work_type_field::kName, "Work type " + std::to_string(i)));
    bench::MustSucceed(context.records.WriteNumber(id, work_type_field::kToday, 60'000 * (i % 97)));
  }
  ProgramData& data = context.state.data;
  data.last_close_stamp = kStamp - kStampUnitsPerDay;
  const QuitProgram never = [] {};
  for (auto _ : state) {
    state.PauseTiming();
    data.day_of_month = 5;
    SetFieldText(data.today_text, "Saturday, 5 December 2026");
    state.ResumeTiming();
    StateLock lock(context.state.mutex);
    DayRolloverCheck(context, lock, never);
  }
}
BENCHMARK(BM_DayCloseWithThousandWorkTypes)
    ->ArgName("memory")
    ->Arg(static_cast<std::int64_t>(Storage::kDisk))
    ->Arg(static_cast<std::int64_t>(Storage::kMemory))
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tolvi
