// Fuzz target: the bytes of a work log "dLog.txt". Every line goes through
// the line parser with its invariants checked; then the whole import runs
// over a new work-type database, cancelled once (the records must come back
// as they were) and confirmed once.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "accounting/work_type_record.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "fuzz_support.h"
#include "settings/settings.h"
#include "state/core_context.h"
#include "worklog/log_import.h"
#include "worklog/log_import_parser.h"

namespace tolvi::fuzz {
namespace {

class NoRandom final : public RandomSource {
 public:
  std::optional<std::uint32_t> Next() override { return std::nullopt; }
};

void CheckTimeParse(std::string_view line) {
  std::string_view text = line;
  const std::optional<std::uint32_t> time = ParseLogTime(text);
  if (time) {
    TOLVI_FUZZ_CHECK(text.size() < line.size());
    TOLVI_FUZZ_CHECK(line.substr(line.size() - text.size()) == text);
  } else {
    TOLVI_FUZZ_CHECK(text == line);
  }
}

void CheckNameSplit(std::string_view line) {
  std::string_view text = line;
  const std::optional<std::string> name = SplitWorkName(text);
  if (!name) {
    TOLVI_FUZZ_CHECK(text == line);
    return;
  }
  TOLVI_FUZZ_CHECK(line.substr(0, name->size()) == *name);
  TOLVI_FUZZ_CHECK(line.substr(line.size() - text.size()) == text);
  TOLVI_FUZZ_CHECK(name->size() + 2 + text.size() == line.size());
}

void CheckLine(std::string_view line) {
  CheckTimeParse(line);
  CheckNameSplit(line);
  const ParsedLogLine parsed = ParseLogLine(line);
  if (line.size() > kImportLineLimit) TOLVI_FUZZ_CHECK(parsed.kind == LogLineKind::kTooLong);
  if (parsed.kind != LogLineKind::kDayLine) return;
  TOLVI_FUZZ_CHECK(IsDayLineCandidate(line));
  TOLVI_FUZZ_CHECK(line.size() - line.find(':') - 1 <= kImportRemainderLimit);
  TOLVI_FUZZ_CHECK(parsed.day.entries.size() <= 5);
  TOLVI_FUZZ_CHECK(parsed.day.work <= kMaxDayWork);
  TOLVI_FUZZ_CHECK(parsed.day.break_time <= kMaxDayBreak);
  TOLVI_FUZZ_CHECK(parsed.day.away <= kMaxDayAway);
  for (const LoggedWork& entry : parsed.day.entries) TOLVI_FUZZ_CHECK(!entry.name.empty());
}

struct Names {
  std::vector<std::string> names;
  std::vector<std::uint32_t> totals;
  bool operator==(const Names&) const = default;
};

Names NamesOf(const RecordDatabase& records) {
  Names names;
  for (const std::int32_t slot : records.LiveRecords()) {
    names.names.push_back(records.ReadText(slot, work_type_field::kName).value_or("?"));
    names.totals.push_back(records.ReadNumber(slot, work_type_field::kTotal).value_or(0));
  }
  return names;
}

// The import as the version upgrade runs it; answer 1 confirms, 2 cancels.
void RunImport(std::string_view log, int answer) {
  FakeClock clock;
  clock.SetLocalTime(2026, 12, 7, 10, 15, 0);
  RecordingUi ui;
  ui.QueueAnswers({answer});
  FakeFileSystem files;
  NoRandom random;
  CoreContext context(CorePorts{clock, ui, files, random}, "/data", "/program", Collator{});
  SetDefaultSettings(context.state.data, clock);
  if (!CreateWorkTypeDatabase(context.records, "/data/TlvDB.lbf").ok()) return;
  files.SetFile("/data/dLog.txt", std::string(log));

  const Names before = NamesOf(context.records);
  const bool kept = RunImportDialog(context);
  TOLVI_FUZZ_CHECK(kept == (answer == 1));
  TOLVI_FUZZ_CHECK(context.records.is_open());
  const auto& records = context.records;
  TOLVI_FUZZ_CHECK(records.LiveRecords().size() == records.live_count());
  if (!kept) TOLVI_FUZZ_CHECK(NamesOf(records) == before);
}

void Run(std::string_view log) {
  for (const std::string_view raw : SplitAt(log, "\n")) {
    CheckLine(raw.ends_with('\r') ? raw.substr(0, raw.size() - 1) : raw);
  }
  RunImport(log, 2);
  RunImport(log, 1);
}

}  // namespace
}  // namespace tolvi::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tolvi::fuzz::Run(tolvi::fuzz::AsText(data, size));
  return 0;
}
