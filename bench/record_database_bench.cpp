// Record database speed at 10, 1,000 and 100,000 work-type records, on a real
// memory-mapped file in a temporary directory, collating in the user's locale.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "bench_ports.h"
#include "platform/posix/posix_file_system.h"
#include "storage/record_database.h"

namespace tolvi {
namespace {

constexpr std::array<std::uint32_t, 14> kWorkTypeFields = {12, 2, 2, 2, 2, 2, 2,
                                                           2,  2, 2, 2, 2, 2, 13};
constexpr std::uint32_t kName = 1;
constexpr std::uint32_t kTotal = 2;

// A small deterministic generator, so every run sorts the same data.
class Lcg {
 public:
  std::uint32_t Next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<std::uint32_t>(state_ >> 33);
  }

 private:
  std::uint64_t state_ = 42;
};

std::string NameFor(std::uint32_t value) {
  std::string name = "Work type ";
  name.append(std::to_string(value));
  return name;
}

// A database of `count` live records with shuffled names, removed at the end.
class BenchDatabase {
 public:
  explicit BenchDatabase(std::int64_t count) : db_(files_) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvi-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    directory_ = pattern;
    const std::filesystem::path path = directory_ / "TlvDB.lbf";
    if (!db_.Create(path, kWorkTypeFields).ok() || !db_.Open(path, true).ok()) return;
    for (std::int64_t i = 0; i < count; ++i) {
      const std::int32_t slot = db_.NewRecord();
      bench::MustSucceed(db_.WriteText(slot, kName, NameFor(random_.Next())));
      bench::MustSucceed(db_.WriteNumber(slot, kTotal, random_.Next()));
    }
  }
  ~BenchDatabase() {
    db_.Close();
    std::error_code ignored;
    if (!directory_.empty()) std::filesystem::remove_all(directory_, ignored);
  }
  BenchDatabase(const BenchDatabase&) = delete;
  BenchDatabase& operator=(const BenchDatabase&) = delete;

  RecordDatabase& db() { return db_; }
  Lcg& random() { return random_; }
  void ShuffleNames() {
    for (const std::int32_t slot : db_.LiveRecords()) {
      bench::MustSucceed(db_.WriteText(slot, kName, NameFor(random_.Next())));
    }
  }

 private:
  PosixFileSystem files_;
  RecordDatabase db_;
  Lcg random_;
  std::filesystem::path directory_;
};

void BM_NewRecordAndDelete(benchmark::State& state) {
  BenchDatabase bench(state.range(0));
  for (auto _ : state) {
    const std::int32_t slot = bench.db().NewRecord();
    benchmark::DoNotOptimize(slot);
    bench::MustSucceed(bench.db().SetRecordStatus(slot, SlotStatus::kDeleted));
  }
}

void BM_SortByName(benchmark::State& state) {
  BenchDatabase bench(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    bench.ShuffleNames();
    state.ResumeTiming();
    benchmark::DoNotOptimize(bench.db().SortRecords(kName));
  }
}

void BM_FindRecordScan(benchmark::State& state) {
  BenchDatabase bench(state.range(0));
  for (auto _ : state) {
    // Matches nothing, so every live record and field is examined.
    benchmark::DoNotOptimize(bench.db().FindRecord(-1, "zq"));
  }
}

void BM_ReadNumber(benchmark::State& state) {
  BenchDatabase bench(state.range(0));
  const auto count = static_cast<std::uint32_t>(state.range(0));
  std::uint32_t slot = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench.db().ReadNumber(static_cast<std::int32_t>(slot), kTotal));
    slot = (slot + 7919) % count;
  }
}

void BM_WriteNumber(benchmark::State& state) {
  BenchDatabase bench(state.range(0));
  const auto count = static_cast<std::uint32_t>(state.range(0));
  std::uint32_t slot = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench.db().WriteNumber(static_cast<std::int32_t>(slot), kTotal, slot));
    slot = (slot + 7919) % count;
  }
}

void BM_ReadText(benchmark::State& state) {
  BenchDatabase bench(state.range(0));
  const auto count = static_cast<std::uint32_t>(state.range(0));
  std::uint32_t slot = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench.db().ReadText(static_cast<std::int32_t>(slot), kName));
    slot = (slot + 7919) % count;
  }
}

void BM_WriteText(benchmark::State& state) {
  BenchDatabase bench(state.range(0));
  const auto count = static_cast<std::uint32_t>(state.range(0));
  std::uint32_t slot = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(bench.db().WriteText(static_cast<std::int32_t>(slot), kName, "Name"));
    slot = (slot + 7919) % count;
  }
}

#define TOLVI_RECORD_COUNTS Arg(10)->Arg(1000)->Arg(100000)
BENCHMARK(BM_NewRecordAndDelete)->TOLVI_RECORD_COUNTS;
BENCHMARK(BM_SortByName)->TOLVI_RECORD_COUNTS->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindRecordScan)->TOLVI_RECORD_COUNTS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadNumber)->TOLVI_RECORD_COUNTS;
BENCHMARK(BM_WriteNumber)->TOLVI_RECORD_COUNTS;
BENCHMARK(BM_ReadText)->TOLVI_RECORD_COUNTS;
BENCHMARK(BM_WriteText)->TOLVI_RECORD_COUNTS;

}  // namespace
}  // namespace tolvi
