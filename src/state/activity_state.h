// ActivityState: the running state that is not saved in ProgramData (the
// saved counters live there). Guarded by the shared-state lock.
#pragma once

#include <cstdint>
#include <string>

namespace tolvi {

// Once kExit is set nothing changes the mode again.
enum class WorkingFlag : std::uint32_t { kOnBreak = 0, kWorking = 1, kExit = 666 };
enum class MaxBreakState : std::uint32_t { kNotArmed, kArmed, kFired };

inline constexpr std::uint32_t kMicroCountdownOff = 99'999'999;

enum class ActivityMode { kWorking, kOnBreak, kAway, kAtMeeting };

struct ActivityState {
  WorkingFlag working_flag = WorkingFlag::kOnBreak;
  bool away = false;
  bool meeting = false;
  MaxBreakState max_break_state = MaxBreakState::kNotArmed;
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
  // The same for a write to the work-type records (write_failures.h).
  bool record_write_failure_reported = false;
};

inline ActivityMode ModeOf(const ActivityState& state) {
  if (state.meeting) return ActivityMode::kAtMeeting;
  if (state.away) return ActivityMode::kAway;
  if (state.working_flag == WorkingFlag::kOnBreak) return ActivityMode::kOnBreak;
  return ActivityMode::kWorking;
}

}  // namespace tolvi
