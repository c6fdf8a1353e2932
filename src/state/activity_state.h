// ActivityState: the running state that is not saved in ProgramData (the
// saved counters live there). Guarded by the shared-state lock.
#pragma once

#include <cstdint>
#include <string>

namespace tolvi {

inline constexpr std::uint32_t kWorkingFlagOnBreak = 0;
inline constexpr std::uint32_t kWorkingFlagWorking = 1;
inline constexpr std::uint32_t kWorkingFlagExit = 666;

inline constexpr std::uint32_t kMicroCountdownOff = 99'999'999;

enum class ActivityMode { kWorking, kOnBreak, kAway, kAtMeeting };

struct ActivityState {
  std::uint32_t working_flag = kWorkingFlagOnBreak;
  std::uint32_t away = 0;
  std::uint32_t meeting = 0;
  std::uint32_t max_break_state = 0;  // 0 not armed, 1 armed, 2 fired
  std::uint32_t break_countdown_ms = 0;
  std::uint32_t micro_countdown_ms = kMicroCountdownOff;
  std::uint32_t break_mark = 0;
  std::uint32_t away_mark = 0;

  // The current work type's working copy (see accounting/).
  std::uint32_t current_today_ms = 0;
  std::uint32_t current_maximum_ms = 0;
  std::uint32_t current_total = 0;  // tenths of a minute
  std::string current_notes;
  std::int32_t current_slot = -1;  // index into RecentWork, -1 if absent

  std::uint32_t grand_total = 0;   // tenths of a minute
  std::uint32_t today_target = 0;  // ms, modes 2 to 4
  std::uint32_t target_remaining_ms = 0;
  std::string target_text;

  std::uint32_t phase = 0;
  std::uint32_t last_tick_count = 0;
  std::uint32_t tick_elapsed_ms = 0;

  std::uint32_t request_code = 0;
  std::int32_t request_value = 0;

  bool tray_refresh_pending = false;
  bool window_shown = false;
  // The user has been told that "dTolvi.dat" cannot be saved; cleared by
  // the next save that succeeds.
  bool data_save_failure_reported = false;
};

inline ActivityMode ModeOf(const ActivityState& state) {
  if (state.meeting != 0) return ActivityMode::kAtMeeting;
  if (state.away != 0) return ActivityMode::kAway;
  if (state.working_flag == kWorkingFlagOnBreak) return ActivityMode::kOnBreak;
  return ActivityMode::kWorking;
}

}  // namespace tolvi
