// Fuzz target: the whole start-up load. The first byte chooses which files
// exist; the rest is split at kFileMark into the bytes of "dTolvi.dat",
// "TlvDB.lbf" and "dLog.txt" in that order. Questions are answered 1 and 2
// alternately. A load that goes on must leave an open database and a state
// that saves and loads back unchanged; one that stops must not have
// overwritten the data file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/program_files.h"
#include "engine/standard_hooks.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "fuzz_support.h"
#include "state/core_context.h"

namespace tolvi::fuzz {
namespace {

constexpr std::string_view kFileMark = "\n#~FILE~#\n";
constexpr const char* kDataDirectory = "/data";
constexpr const char* kProgramDirectory = "/program";

// Layout bits of the first byte.
constexpr std::uint8_t kHasDataFile = 1;
constexpr std::uint8_t kHasDatabase = 2;
constexpr std::uint8_t kHasLog = 4;
// The data file lies in the program directory instead.
constexpr std::uint8_t kDataFileInProgramDirectory = 8;

class NoRandom final : public RandomSource {
 public:
  std::optional<std::uint32_t> Next() override { return std::nullopt; }
};

struct Machine {
  Machine() {
    clock.SetLocalTime(2026, 12, 7, 10, 15, 0);
    clock.SetFileTimeHigh(0x01DD8579);
    int asked = 0;
    ui.SetAnswerer([asked](const Question&) mutable { return ++asked % 2 == 1 ? 1 : 2; });
  }
  FakeClock clock;
  RecordingUi ui;
  FakeFileSystem files;
  NoRandom random;
};

struct Loaded {
  LoadResult result;
  bool database_open = false;
};

Loaded Load(Machine& machine) {
  CoreContext context(CorePorts{machine.clock, machine.ui, machine.files, machine.random},
                      kDataDirectory, kProgramDirectory, Collator{});
  InstallStandardHooks(context);
  Loaded loaded{LoadProgramFiles(context), false};
  loaded.database_open = context.records.is_open();
  if (loaded.result.outcome == LoadOutcome::kReady && loaded.database_open) {
    const auto& records = context.records;
    TOLVI_FUZZ_CHECK(records.LiveRecords().size() == records.live_count());
    TOLVI_FUZZ_CHECK(SaveProgramFiles(context).ok());
  }
  return loaded;
}

void Run(std::string_view input) {
  if (input.empty()) return;
  const auto layout = static_cast<std::uint8_t>(input[0]);
  std::vector<std::string_view> parts = SplitAt(input.substr(1), kFileMark);
  parts.resize(3);

  Machine machine;
  const std::string data_path =
      std::string(layout & kDataFileInProgramDirectory ? kProgramDirectory : kDataDirectory) +
      "/dTolvi.dat";
  if (layout & kHasDataFile) machine.files.SetFile(data_path, std::string(parts[0]));
  if (layout & kHasDatabase) machine.files.SetFile("/data/TlvDB.lbf", std::string(parts[1]));
  if (layout & kHasLog) machine.files.SetFile("/data/dLog.txt", std::string(parts[2]));

  const Loaded first = Load(machine);
  if (first.result.outcome == LoadOutcome::kQuit) {
    if (layout & kHasDataFile) {
      TOLVI_FUZZ_CHECK(machine.files.GetFile(data_path) == std::string(parts[0]));
    }
    return;
  }
  TOLVI_FUZZ_CHECK(first.database_open);

  // What was saved loads back without a question and saves the same bytes.
  const std::optional<std::string> saved = machine.files.GetFile("/data/dTolvi.dat");
  TOLVI_FUZZ_CHECK(saved.has_value());
  machine.ui.Clear();
  const Loaded second = Load(machine);
  TOLVI_FUZZ_CHECK(second.result.outcome == LoadOutcome::kReady && second.database_open);
  TOLVI_FUZZ_CHECK(machine.ui.CallsStartingWith("ask ").empty());
  TOLVI_FUZZ_CHECK(machine.files.GetFile("/data/dTolvi.dat") == saved);
}

}  // namespace
}  // namespace tolvi::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tolvi::fuzz::Run(tolvi::fuzz::AsText(data, size));
  return 0;
}
