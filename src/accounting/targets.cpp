#include "accounting/targets.h"

#include <algorithm>
#include <cstdint>

#include "accounting/work_types.h"
#include "settings/settings.h"
#include "state/shared_state.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr std::uint32_t kFirstHistoryField = 5;  // yesterday
constexpr std::uint32_t kTodayField = 4;

std::string TargetDuration(std::uint32_t milliseconds) {
  if (milliseconds == 0) return "None!";
  return FormatDuration(milliseconds, /*short_form=*/true);
}

}  // namespace

std::uint32_t AveragingDays(std::uint32_t target_mode) {
  switch (static_cast<TargetMode>(target_mode)) {
    case TargetMode::kThreeDayAverage:
      return 3;
    case TargetMode::kFiveDayAverage:
      return 5;
    default:
      return 7;
  }
}

std::uint32_t TargetNeeded(const ProgramData& data, const RecordDatabase& records,
                           std::uint32_t first_field, std::uint32_t last_field) {
  // Wide sums: a huge ManualTarget from a damaged file must not wrap the goal.
  const std::uint64_t goal = std::uint64_t{data.manual_target} * AveragingDays(data.target_mode);
  std::uint64_t sum = 0;
  for (std::uint32_t field = first_field; field <= last_field; ++field) {
    sum += SumField(records, field);
  }
  if (sum >= goal) return 0;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(goal - sum, UINT32_MAX));
}

void UpdateTarget(SharedState& state, const RecordDatabase& records) REQUIRES(state.mutex) {
  const ProgramData& data = state.data;
  ActivityState& activity = state.activity;
  const std::uint32_t work_today = data.work_today_ms;
  switch (TargetModeOf(data)) {
    case TargetMode::kNoTarget:
      activity.target_text = "No target";
      activity.target_remaining_ms = 0;
      return;
    case TargetMode::kManual:
      activity.target_text = FormatDuration(data.manual_target, /*short_form=*/true);
      activity.target_remaining_ms =
          work_today < data.manual_target ? data.manual_target - work_today : 0;
      return;
    default:
      break;
  }
  const std::uint32_t days = AveragingDays(data.target_mode);
  activity.today_target = TargetNeeded(data, records, kFirstHistoryField, days + 3);
  activity.target_remaining_ms =
      work_today < activity.today_target ? activity.today_target - work_today : 0;
  const std::uint32_t tomorrow = TargetNeeded(data, records, kTodayField, days + 2);
  activity.target_text =
      "Today: " + TargetDuration(activity.today_target) + ", Tomorrow: " + TargetDuration(tomorrow);
}

std::uint32_t TargetShownMs(const SharedState& state) REQUIRES(state.mutex) {
  if (TargetModeOf(state.data) == TargetMode::kManual) {
    return state.data.manual_target;
  }
  return state.activity.today_target;
}

}  // namespace tolvi
