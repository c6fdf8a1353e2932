// DialogFixture: a CoreContext on fakes (clock, recording Ui, in-memory
// files, no random source) with a work-type database at /data/TlvDB.lbf and
// first-run settings, for the tests of the dialog models.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "accounting/work_type_record.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "settings/settings.h"
#include "state/core_context.h"

namespace tolvi {

class NoRandomSource : public RandomSource {
 public:
  std::optional<std::uint32_t> Next() override { return std::nullopt; }
};

class DialogFixture : public ::testing::Test {
 protected:
  DialogFixture() {
    clock_.SetLocalTime(2026, 12, 6, 14, 3, 27);  // a Sunday
    clock_.SetFileTimeHigh(31'000'000);
    SetDefaultSettings(data(), clock_);
    EXPECT_TRUE(CreateWorkTypeDatabase(records(), "/data/TlvDB.lbf").ok());
    // The placeholder record of a new database goes, as at first start.
    EXPECT_TRUE(records().SetRecordStatus(kPlaceholderSlot, SlotStatus::kDeleted).ok());
  }

  // A new record with the given name, maximum, total and today's time.
  std::int32_t AddWorkType(std::string_view name, std::uint32_t maximum_ms = kDefaultMaximumMs,
                           std::uint32_t total = 0, std::uint32_t today_ms = 0) {
    const std::int32_t id = records().NewRecord();
    EXPECT_GE(id, 0);
    EXPECT_TRUE(InitWorkType(records(), id, /*named=*/false).ok());
    EXPECT_TRUE(records().WriteText(id, work_type_field::kName, name).ok());
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kMaximum, maximum_ms).ok());
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kTotal, total).ok());
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kToday, today_ms).ok());
    EXPECT_TRUE(records().WriteText(id, work_type_field::kNotes, "").ok());
    return id;
  }

  std::string Name(std::int32_t id) {
    return records().ReadText(id, work_type_field::kName).value_or("(none)");
  }
  std::uint32_t Field(std::int32_t id, std::uint32_t number) {
    return records().ReadNumber(id, number).value_or(0xFFFFFFFF);
  }

  RecordDatabase& records() { return context_.records; }
  ProgramData& data() { return context_.state.data; }
  ActivityState& activity() { return context_.state.activity; }

  FakeClock clock_;
  RecordingUi ui_;
  FakeFileSystem files_;
  NoRandomSource random_;
  CoreContext context_{CorePorts{clock_, ui_, files_, random_}, "/data", "/program"};
};

}  // namespace tolvi
