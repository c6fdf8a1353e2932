// CoreFixture: a CoreContext on fakes (clock, recording Ui, in-memory
// files, no random source) with a work-type database at /data/TlvDB.lbf,
// for the tests of the work log and the day rollover.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "accounting/work_type_record.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "fakes/scripted_random.h"
#include "settings/settings.h"
#include "state/core_context.h"

namespace tolvi {

class CoreFixture : public ::testing::Test {
 protected:
  CoreFixture() {
    clock_.SetLocalTime(2026, 12, 6, 14, 3, 27);
    clock_.SetFileTimeHigh(31'000'000);
    SetDefaultSettings(data(), clock_);
    EXPECT_TRUE(CreateWorkTypeDatabase(records(), "/data/TlvDB.lbf").ok());
  }

  // A new record with the given name, stored total (tenths of a minute) and
  // today's time, its other fields initialised.
  std::int32_t AddWorkType(std::string_view name, std::uint32_t total, std::uint32_t today_ms) {
    const std::int32_t id = records().NewRecord();
    EXPECT_GE(id, 0);
    EXPECT_TRUE(InitWorkType(records(), id, /*named=*/false).ok());
    EXPECT_TRUE(records().WriteText(id, work_type_field::kName, name).ok());
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kTotal, total).ok());
    EXPECT_TRUE(records().WriteNumber(id, work_type_field::kToday, today_ms).ok());
    return id;
  }

  RecordDatabase& records() { return context_.records; }
  ProgramData& data() { return context_.state.data; }
  std::uint32_t Field(std::int32_t id, std::uint32_t number) {
    return records().ReadNumber(id, number).value_or(0xFFFFFFFF);
  }
  std::string Log() { return files_.GetFile("/data/dLog.txt").value_or(""); }

  FakeClock clock_;
  RecordingUi ui_;
  FakeFileSystem files_;
  ScriptedRandom random_;
  CoreContext context_{CorePorts{clock_, ui_, files_, random_}, "/data", "/program"};
};

inline const std::string kLogHeader = "Tolvi v1.91 Work Log\r\n \r\n#C\r\n \r\n";

}  // namespace tolvi
