// Daily targets: today's work target by TargetMode (none, manual, or the
// 3, 5 or 7 day average of ManualTarget), the countdown TargetRemainingMs
// behind the "Target time hit" notice, and the one-line target text the
// Options dialog shows.
//
// Runs with the shared-state lock held (see accounting/work_types.h).
#pragma once

#include <cstdint>
#include <string>

namespace tolvi {

class RecordDatabase;
struct ProgramData;
struct SharedState;

// N, the averaging span of a TargetMode (settings/settings.h): 3, 5, or 7
// for every other value.
std::uint32_t AveragingDays(std::uint32_t target_mode);

// ManualTarget * N less the sum of fields first..last over all records;
// 0 when that sum reaches the goal.
std::uint32_t TargetNeeded(const ProgramData& data, const RecordDatabase& records,
                           std::uint32_t first_field, std::uint32_t last_field);

// Recomputes TargetRemainingMs (and TodayTarget in the average modes) and
// the target text in ActivityState::target_text.
void UpdateTarget(SharedState& state, const RecordDatabase& records);

// The target the "Target time hit" notice names: ManualTarget in manual
// mode, TodayTarget otherwise.
std::uint32_t TargetShownMs(const SharedState& state);

}  // namespace tolvi
