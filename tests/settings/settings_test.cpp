#include "settings/settings.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fakes/fake_clock.h"

namespace tolvi {
namespace {

std::array<std::byte, sizeof(ProgramData)> BytesOf(const ProgramData& data) {
  std::array<std::byte, sizeof(ProgramData)> bytes;
  std::memcpy(bytes.data(), &data, sizeof data);
  return bytes;
}

ProgramData FilledWith(std::uint8_t value) {
  std::array<std::uint8_t, sizeof(ProgramData)> bytes;
  bytes.fill(value);
  ProgramData data;
  std::memcpy(&data, bytes.data(), sizeof data);
  return data;
}

TEST(Settings, DefaultsClearTheRunningStateAndLeaveWhatTheyDoNotNameAlone) {
  FakeClock clock;
  const ProgramData before = FilledWith(0xA5);
  ProgramData data = before;
  SetDefaultSettings(data, clock);
  // By hand: the written settings as they came out, the running state
  // cleared, and every other byte as it was.
  ProgramData expected = before;
  for (const SettingInfo& info : SettingsTable()) {
    if (info.rule == DefaultRule::kNotWritten) continue;
    if (info.number != nullptr) expected.*info.number = data.*info.number;
    if (info.kind == SettingKind::kText) {
      std::ranges::copy(info.text.const_field(data), info.text.field(expected).begin());
    }
  }
  expected.work_today_ms = expected.break_today_ms = expected.away_today_ms = 0;
  expected.work_yesterday_ms = expected.break_yesterday_ms = expected.away_yesterday_ms = 0;
  expected.away_total = expected.break_total = expected.total_days = 0;
  expected.suspended_today_ms = expected.suspended_yesterday_ms = expected.suspended_total = 0;
  expected.current_work_type = 0;
  expected.today_text[0] = '\0';  // only the first byte of the date
  expected.day_of_month = kNoDayOpen;
  expected.last_close_stamp = MidnightCloseStamp(clock.FileTimeHigh(), clock.Now());
  expected.window_placement.length = sizeof(WindowPlacement);
  expected.window_placement.min_position_x = kPlacementNeverSaved;
  EXPECT_EQ(BytesOf(data), BytesOf(expected));
  // A text field is written whole: the text, then zeros.
  EXPECT_EQ(std::string_view(data.reminder_text, sizeof data.reminder_text),
            "Take a Break!" + std::string(sizeof data.reminder_text - 13, '\0'));
}

TEST(Settings, TheFreshCloseStampIsTheLastMidnightInWholeStampUnits) {
  // One stamp unit is 2^32 x 100 ns, 429.4967296 s.
  struct Case {
    int hour, minute, second;
    std::uint32_t units_back;
  };
  for (const Case c : {Case{0, 0, 0, 0}, Case{0, 7, 9, 0}, Case{0, 7, 10, 1}, Case{9, 0, 0, 75},
                       Case{23, 59, 59, 201}}) {
    const LocalTime now{.hour = c.hour, .minute = c.minute, .second = c.second};
    EXPECT_EQ(MidnightCloseStamp(0x01DD8579, now), 0x01DD8579u - c.units_back)
        << c.hour << ":" << c.minute << ":" << c.second;
  }
}

TEST(Settings, TheOldResetWordChoosesTheResetModeOfDefaultsAndRangeRepair) {
  FakeClock clock;
  for (const std::uint32_t old_reset : {0u, 7u}) {
    SCOPED_TRACE(old_reset);
    ProgramData data{};
    data.old_reset_flag = old_reset;
    data.reset_mode = 3;
    (void)ResetOutOfRangeSettings(data);
    EXPECT_EQ(data.reset_mode, old_reset != 0 ? 1u : 0u);
    data.reset_mode = 1 - data.reset_mode;
    SetDefaultSettings(data, clock);
    EXPECT_EQ(data.reset_mode, old_reset != 0 ? 1u : 0u);
  }
}

TEST(Settings, DefaultsEndWithTheDayCheckAfterTheNewerDefaults) {
  FakeClock clock;
  ProgramData data{};
  std::vector<std::uint32_t> seen;
  SetDefaultSettings(data, clock, [&](ProgramData& checked) {
    seen.push_back(checked.auto_show);
    seen.push_back(checked.max_break_seconds);
    checked.day_of_month = 6;
  });
  EXPECT_EQ(seen, (std::vector<std::uint32_t>{1, 300}));
  EXPECT_EQ(data.day_of_month, 6u);
}

TEST(Settings, TransparencyPercentageConvertsBothWays) {
  const std::array<std::pair<std::uint32_t, std::uint32_t>, 6> entered = {
      {{0, 255}, {1, 255}, {71, 76}, {99, 5}, {100, 5}, {250, 5}}};
  for (const auto& [percent, alpha] : entered) {
    EXPECT_EQ(WindowAlphaFromPercent(percent), alpha) << percent;
  }
  EXPECT_EQ(TransparencyPercentShown(75), 71u);
  EXPECT_EQ(TransparencyPercentShown(255), 0u);
  EXPECT_EQ(TransparencyPercentShown(5), 99u);
  EXPECT_EQ(TransparencyPercentShown(4000), 0u) << "a value past opaque shows as opaque";
}

TEST(Settings, MinutesAreShownTruncatedAndEnteredSaturated) {
  EXPECT_EQ(MinutesShown(1800000), 30u);
  EXPECT_EQ(MinutesShown(119999), 1u);
  EXPECT_EQ(MinutesToMs(30), 1800000u);
  EXPECT_EQ(MinutesToMs(71582), 4294920000u);
  EXPECT_EQ(MinutesToMs(100000), 4294920000u) << "no wrap-around to a tiny value";
}

struct SetCase {
  std::string_view name;
  std::string_view value;
  bool accepted;
  std::string_view stored;  // as text afterwards
};

TEST(Settings, SetFromTextValidatesByKind) {
  const std::array<SetCase, 13> cases = {{
      {"ReminderEnabled", "0", true, "0"},
      {"ReminderEnabled", "2", false, "1"},
      {"ReminderAction", "Sound File", true, "6"},
      {"ReminderAction", "6", true, "6"},
      {"ReminderAction", "9", false, "1"},
      {"ReminderAction", "sound file", false, "1"},
      {"BreakInterval", "2700000", true, "2700000"},
      {"BreakInterval", "45m", false, "1800000"},
      {"BreakInterval", "4294967296", false, "1800000"},
      {"BreakInterval", "", false, "1800000"},
      {"MaxBreakSeconds", "4294967295", true, "4294967295"},
      {"WorkNotes", "Called the bank", true, "Called the bank"},
      {"WindowAlpha", "130", true, "130"},
  }};
  FakeClock clock;
  for (const SetCase& c : cases) {
    ProgramData data{};
    SetDefaultSettings(data, clock);
    const SettingInfo* info = FindSetting(c.name);
    ASSERT_NE(info, nullptr) << c.name;
    EXPECT_EQ(SetSettingFromText(*info, data, c.value).ok(), c.accepted)
        << c.name << " = " << c.value;
    EXPECT_EQ(SettingValueText(*info, data), c.stored) << c.name << " = " << c.value;
  }
}

struct RangeCase {
  std::string_view name;
  std::uint32_t stored;
  std::uint32_t after;  // the stored value, or the default when reset
  bool reset;
};

// Each kind's limits at and just past their edges.
TEST(Settings, OutOfRangeValuesTakeTheirDefaultAndAreNamed) {
  const std::array<RangeCase, 11> cases = {{
      {"AutoStart", 1, 1, false},
      {"AutoStart", 2, 0, true},
      {"TargetMode", 4, 4, false},
      {"TargetMode", 5, 1, true},
      {"BreakInterval", 5 * kMsPerMinute, 5 * kMsPerMinute, false},
      {"BreakInterval", 5 * kMsPerMinute - 1, 1800000, true},
      {"BreakInterval", 120 * kMsPerMinute + 1, 1800000, true},
      {"WindowAlpha", 4, 75, true},
      {"WindowAlpha", 255, 255, false},
      {"AwayTime", 0, 300000, true},  // an active user would be Away at every tick
      {"AwayTime", kMsPerMinute, kMsPerMinute, false},
  }};
  FakeClock clock;
  for (const RangeCase& c : cases) {
    ProgramData data{};
    SetDefaultSettings(data, clock);
    const SettingInfo& info = *FindSetting(c.name);
    data.*info.number = c.stored;
    const std::vector<const SettingInfo*> reset = ResetOutOfRangeSettings(data);
    EXPECT_EQ(data.*info.number, c.after) << c.name << " " << c.stored;
    EXPECT_EQ(reset,
              c.reset ? std::vector<const SettingInfo*>{&info} : std::vector<const SettingInfo*>{})
        << c.name << " " << c.stored;
  }
}

TEST(Settings, RangeResetLeavesStateFieldsTextsAndUnlimitedSettingsAlone) {
  const ProgramData before = FilledWith(0xFF);
  ProgramData data = before;
  const std::vector<const SettingInfo*> reset = ResetOutOfRangeSettings(data);
  ProgramData expected = before;
  for (const SettingInfo* info : reset) expected.*info->number = data.*info->number;
  EXPECT_EQ(BytesOf(data), BytesOf(expected));
  for (auto unlimited :
       {&ProgramData::away_time, &ProgramData::manual_target, &ProgramData::max_break_seconds}) {
    EXPECT_EQ(data.*unlimited, before.*unlimited);
  }
  for (const SettingInfo& info : SettingsTable()) {
    EXPECT_TRUE(SettingInRange(info, data)) << info.name;
  }
}

}  // namespace
}  // namespace tolvi
