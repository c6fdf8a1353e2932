// ProgramData: the 6,500-byte block of settings and saved running state,
// stored raw behind the magic "TOLV1320" in "dTolvi.dat". The struct IS the
// byte layout: every field sits at its file offset (asserted below), integers
// are little-endian u32, texts are zero-terminated UTF-8 in fixed fields.
// Reserved and legacy ranges are kept byte for byte so a save writes back
// exactly what was read.
//
// One instance lives inside the shared state; it is read and written under
// the shared-state lock only. Copy it out with memcpy (it is trivially
// copyable), never by casting pointers into a byte buffer.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace tolvi {

// The main window placement (a Windows WINDOWPLACEMENT, 44 bytes). A
// min_position_x of kPlacementNeverSaved means no placement was saved yet.
struct WindowPlacement {
  std::uint32_t length = 44;
  std::uint32_t flags = 0;
  std::uint32_t show_command = 0;
  std::int32_t min_position_x = 0;
  std::int32_t min_position_y = 0;
  std::int32_t max_position_x = 0;
  std::int32_t max_position_y = 0;
  std::int32_t normal_left = 0;
  std::int32_t normal_top = 0;
  std::int32_t normal_right = 0;
  std::int32_t normal_bottom = 0;
};
inline constexpr std::int32_t kPlacementNeverSaved = 989898;

inline constexpr std::size_t kNameBytes = 60;
inline constexpr std::size_t kNotesBytes = 300;
inline constexpr std::size_t kPathBytes = 600;
inline constexpr std::size_t kLegacyWorkTypes = 5;
inline constexpr std::size_t kLegacyNameBytes = 50;

struct ProgramData {
  std::uint32_t auto_start;
  std::uint32_t old_reset_flag;  // obsolete; only seeds the ResetMode default
  std::uint32_t break_interval;  // ms
  std::uint32_t reminder_enabled;
  std::uint32_t auto_show;
  std::uint32_t max_break_action;
  std::uint32_t show_report;
  std::uint32_t away_time;  // ms
  std::uint32_t away_toggle_method;
  std::uint32_t day_of_month;  // 99 = no day open yet
  std::uint32_t work_today_ms;
  std::uint32_t break_today_ms;
  std::uint32_t away_today_ms;
  std::uint32_t work_yesterday_ms;
  std::uint32_t max_break_seconds;
  char today_text[50];
  char legacy_names[kLegacyWorkTypes][kLegacyNameBytes];  // version-250 upgrade only
  std::uint32_t legacy_maxima[kLegacyWorkTypes];           // minutes
  std::uint32_t legacy_today[kLegacyWorkTypes];            // tenths of a minute
  std::byte reserved_400[20];
  std::uint32_t total_days;
  std::byte reserved_424[4];
  std::uint32_t current_work_type;  // record id
  std::uint32_t legacy_yesterday[kLegacyWorkTypes];  // tenths of a minute
  std::uint32_t away_yesterday_ms;
  std::uint32_t away_total;  // tenths of a minute
  std::uint32_t break_yesterday_ms;
  std::uint32_t break_total;  // tenths of a minute
  std::byte reserved_468[4];
  std::uint32_t file_log;
  std::uint32_t manual_target;  // ms
  std::uint32_t auto_begin;
  std::uint32_t auto_cont;
  std::uint32_t reminder_action;
  std::byte reserved_492[4];
  char reminder_file[kPathBytes];
  std::uint32_t reset_mode;
  std::uint32_t confirm_quit;
  std::uint32_t micro_break_mode;
  std::uint32_t micro_break_action;
  std::uint32_t snooze_time;  // ms
  std::uint32_t random_phrase;
  std::uint32_t on_top_alert;
  std::uint32_t lock_screen;
  std::byte reserved_1128[8];
  char reminder_text[100];
  std::byte reserved_1236[3400];
  std::uint32_t suspended_today_ms;
  std::uint32_t suspended_yesterday_ms;
  std::uint32_t suspended_total;  // tenths of a minute
  std::uint32_t transparent;
  std::uint32_t on_top;
  std::uint32_t window_alpha;
  std::uint32_t target_mode;
  std::uint32_t last_close_stamp;  // high 32 bits of a UTC file time
  char current_name[kNameBytes];
  char work_notes[256];
  char micro_break_file[kPathBytes];
  WindowPlacement window_placement;
  std::uint32_t decimal_hours;
  std::uint32_t long_meeting;
  char max_break_file[kPathBytes];
  std::byte reserved_6236[264];
};

inline constexpr std::size_t kProgramDataBytes = 6500;

static_assert(std::endian::native == std::endian::little,
              "ProgramData is stored as a raw little-endian image");
static_assert(std::is_standard_layout_v<ProgramData>);
static_assert(std::is_trivially_copyable_v<ProgramData>);
static_assert(sizeof(WindowPlacement) == 44);
static_assert(sizeof(ProgramData) == kProgramDataBytes);
static_assert(offsetof(ProgramData, auto_start) == 0);
static_assert(offsetof(ProgramData, old_reset_flag) == 4);
static_assert(offsetof(ProgramData, break_interval) == 8);
static_assert(offsetof(ProgramData, reminder_enabled) == 12);
static_assert(offsetof(ProgramData, auto_show) == 16);
static_assert(offsetof(ProgramData, max_break_action) == 20);
static_assert(offsetof(ProgramData, show_report) == 24);
static_assert(offsetof(ProgramData, away_time) == 28);
static_assert(offsetof(ProgramData, away_toggle_method) == 32);
static_assert(offsetof(ProgramData, day_of_month) == 36);
static_assert(offsetof(ProgramData, work_today_ms) == 40);
static_assert(offsetof(ProgramData, break_today_ms) == 44);
static_assert(offsetof(ProgramData, away_today_ms) == 48);
static_assert(offsetof(ProgramData, work_yesterday_ms) == 52);
static_assert(offsetof(ProgramData, max_break_seconds) == 56);
static_assert(offsetof(ProgramData, today_text) == 60);
static_assert(offsetof(ProgramData, legacy_names) == 110);
static_assert(offsetof(ProgramData, legacy_maxima) == 360);
static_assert(offsetof(ProgramData, legacy_today) == 380);
static_assert(offsetof(ProgramData, reserved_400) == 400);
static_assert(offsetof(ProgramData, total_days) == 420);
static_assert(offsetof(ProgramData, reserved_424) == 424);
static_assert(offsetof(ProgramData, current_work_type) == 428);
static_assert(offsetof(ProgramData, legacy_yesterday) == 432);
static_assert(offsetof(ProgramData, away_yesterday_ms) == 452);
static_assert(offsetof(ProgramData, away_total) == 456);
static_assert(offsetof(ProgramData, break_yesterday_ms) == 460);
static_assert(offsetof(ProgramData, break_total) == 464);
static_assert(offsetof(ProgramData, reserved_468) == 468);
static_assert(offsetof(ProgramData, file_log) == 472);
static_assert(offsetof(ProgramData, manual_target) == 476);
static_assert(offsetof(ProgramData, auto_begin) == 480);
static_assert(offsetof(ProgramData, auto_cont) == 484);
static_assert(offsetof(ProgramData, reminder_action) == 488);
static_assert(offsetof(ProgramData, reserved_492) == 492);
static_assert(offsetof(ProgramData, reminder_file) == 496);
static_assert(offsetof(ProgramData, reset_mode) == 1096);
static_assert(offsetof(ProgramData, confirm_quit) == 1100);
static_assert(offsetof(ProgramData, micro_break_mode) == 1104);
static_assert(offsetof(ProgramData, micro_break_action) == 1108);
static_assert(offsetof(ProgramData, snooze_time) == 1112);
static_assert(offsetof(ProgramData, random_phrase) == 1116);
static_assert(offsetof(ProgramData, on_top_alert) == 1120);
static_assert(offsetof(ProgramData, lock_screen) == 1124);
static_assert(offsetof(ProgramData, reserved_1128) == 1128);
static_assert(offsetof(ProgramData, reminder_text) == 1136);
static_assert(offsetof(ProgramData, reserved_1236) == 1236);
static_assert(offsetof(ProgramData, suspended_today_ms) == 4636);
static_assert(offsetof(ProgramData, suspended_yesterday_ms) == 4640);
static_assert(offsetof(ProgramData, suspended_total) == 4644);
static_assert(offsetof(ProgramData, transparent) == 4648);
static_assert(offsetof(ProgramData, on_top) == 4652);
static_assert(offsetof(ProgramData, window_alpha) == 4656);
static_assert(offsetof(ProgramData, target_mode) == 4660);
static_assert(offsetof(ProgramData, last_close_stamp) == 4664);
static_assert(offsetof(ProgramData, current_name) == 4668);
static_assert(offsetof(ProgramData, work_notes) == 4728);
static_assert(offsetof(ProgramData, micro_break_file) == 4984);
static_assert(offsetof(ProgramData, window_placement) == 5584);
static_assert(offsetof(ProgramData, decimal_hours) == 5628);
static_assert(offsetof(ProgramData, long_meeting) == 5632);
static_assert(offsetof(ProgramData, max_break_file) == 5636);
static_assert(offsetof(ProgramData, reserved_6236) == 6236);

}  // namespace tolvi
