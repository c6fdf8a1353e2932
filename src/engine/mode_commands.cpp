#include "engine/mode_commands.h"

#include "engine/requests.h"
#include "engine/tick.h"
#include "engine/tray_updates.h"
#include "settings/settings.h"
#include "state/command_ids.h"

namespace tolvi {
namespace {

// Runs a change of mode under the lock, then wakes the monitor. Once exit
// has been asked for, no mode command may undo it.
template <typename Change>
void ChangeMode(CoreContext& context, Change change) {
  {
    const StateLock lock(context.state.mutex);
    if (context.state.activity.working_flag == WorkingFlag::kExit) return;
    change(context.state.activity);
  }
  context.events.wake.Set();
}

Question ExitQuestion() {
  Question question;
  question.message = "Are you sure that you want to exit Tolvi?";
  question.first_button = "Yes, close please";
  question.second_button = "No, keep running";
  question.font = QuestionFont::kSmall;
  return question;
}

}  // namespace

void CommandWorking(CoreContext& context) {
  ChangeMode(context, [&](ActivityState& activity) REQUIRES(context.state.mutex) {
    activity.meeting = false;
    StartWork(context);
  });
}

void CommandOnBreak(CoreContext& context) {
  ChangeMode(context, [&](ActivityState&) REQUIRES(context.state.mutex) { StartBreak(context); });
}

void CommandAway(CoreContext& context) {
  ChangeMode(context, [&](ActivityState& activity) REQUIRES(context.state.mutex) {
    activity.away = true;
    activity.meeting = false;
    RefreshTrayTip(context);
  });
}

void CommandAtMeeting(CoreContext& context) {
  ChangeMode(context, [&](ActivityState& activity) REQUIRES(context.state.mutex) {
    activity.meeting = !activity.meeting;
    if (activity.meeting) {
      activity.working_flag = WorkingFlag::kWorking;
      activity.away = false;
    }
    RefreshTrayTip(context);
  });
}

void CommandResetReminder(CoreContext& context) {
  // The monitor is not woken: the new countdown shows at its next tick.
  const StateLock lock(context.state.mutex);
  ActivityState& activity = context.state.activity;
  activity.break_countdown_ms = context.state.data.break_interval;
  RearmMicroCountdown(context.state.data, activity);
  activity.tray_refresh_pending = true;
}

void TrayLeftClick(CoreContext& context) {
  ChangeMode(context, [&](ActivityState& activity) REQUIRES(context.state.mutex) {
    // From a break the click goes back to work; from work it starts a break;
    // away, it counts as a return only while activity is watched.
    const bool to_work = activity.working_flag == WorkingFlag::kOnBreak ||
                         (activity.away && MonitorsActivity(context.state.data));
    if (to_work) {
      StartWork(context);
    } else {
      StartBreak(context);
    }
  });
}

void TrayMouseMove(CoreContext& context) {
  ChangeMode(context, [&](ActivityState& activity) REQUIRES(context.state.mutex) {
    if (activity.tray_refresh_pending) RefreshTrayTip(context);
  });
}

ExitStep CommandExit(CoreContext& context) {
  bool confirm = false;
  {
    const StateLock lock(context.state.mutex);
    confirm = IsOn(context.state.data.confirm_quit);
  }
  // Asked without the lock: the monitor keeps ticking while the user thinks.
  if (confirm && context.ui.Ask(ExitQuestion()) != 1) return ExitStep::kDeclined;
  bool first_time = false;
  {
    const StateLock lock(context.state.mutex);
    ActivityState& activity = context.state.activity;
    first_time = activity.working_flag != WorkingFlag::kExit;
    activity.working_flag = WorkingFlag::kExit;
  }
  // Woken after the flag is set, so the monitor cannot miss it and wait
  // another six seconds.
  context.events.wake.Set();
  if (first_time) return ExitStep::kHandshakeBegun;
  context.ui.PostCommand(command::kDestroyWindow);
  return ExitStep::kDestroyNow;
}

std::optional<RequestOrder> RequestForCommand(CoreContext& context, std::uint32_t command_id) {
  switch (command_id) {
    case command::kAddWorkType:
      return RequestOrder{request::kAddWorkType, 0};
    case command::kSelectWorkType:
      return RequestOrder{request::kSelectWorkType, 0};
    case command::kRefresh:
      return RequestOrder{request::kRefresh, 0};
    default:
      break;
  }
  std::uint32_t code = 0;
  std::uint32_t slot = 0;
  if (command_id >= command::kChangeWorkFirst &&
      command_id < command::kChangeWorkFirst + command::kWorkSlotCount) {
    code = request::kChangeWorkType;
    slot = command_id - command::kChangeWorkFirst;
  } else if (command_id >= command::kEditWorkFirst &&
             command_id < command::kEditWorkFirst + command::kWorkSlotCount) {
    code = request::kEditWorkType;
    slot = command_id - command::kEditWorkFirst;
  } else {
    return std::nullopt;
  }
  const StateLock lock(context.state.mutex);
  const std::int32_t record_id = context.state.recent[slot].record_id;
  // An empty slot names no work type; switching to "record -1" would book
  // the day's work nowhere.
  if (record_id < 0) return std::nullopt;
  return RequestOrder{code, record_id};
}

bool DispatchEngineCommand(CoreContext& context, std::uint32_t command_id,
                           const std::function<void()>& wait_step) {
  switch (command_id) {
    case command::kResetReminder:
      CommandResetReminder(context);
      return true;
    case command::kAway:
      CommandAway(context);
      return true;
    case command::kOnBreak:
      CommandOnBreak(context);
      return true;
    case command::kWorking:
      CommandWorking(context);
      return true;
    case command::kAtMeeting:
      CommandAtMeeting(context);
      return true;
    case command::kExit:
      CommandExit(context);
      return true;
    default:
      break;
  }
  const bool slot_command = (command_id >= command::kChangeWorkFirst &&
                             command_id < command::kChangeWorkFirst + command::kWorkSlotCount) ||
                            (command_id >= command::kEditWorkFirst &&
                             command_id < command::kEditWorkFirst + command::kWorkSlotCount);
  if (const std::optional<RequestOrder> order = RequestForCommand(context, command_id)) {
    // Dropped when a work-type dialog holds the slot (see PostRequest).
    PostRequest(context, order->code, order->value, wait_step);
    return true;
  }
  return slot_command;  // an empty Recent Work slot: nothing to do
}

}  // namespace tolvi
