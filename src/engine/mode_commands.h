// The main window's commands that the engine serves, for the GUI thread:
// the mode switches (Working, On Break, Away, At Meeting), Reset Reminder,
// the tray icon's mouse events, the work-type commands that go through the
// request slot, and the Exit command's handshake.
//
// Each function takes the shared-state lock itself and releases it before
// it waits (PostRequest's slot, the exit question) or sets WakeEvent.
// Call them on the GUI thread only (tolvi-sim plays that thread itself).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "state/core_context.h"

namespace tolvi {

void CommandWorking(CoreContext& context);
void CommandOnBreak(CoreContext& context);
void CommandAway(CoreContext& context);
void CommandAtMeeting(CoreContext& context);
void CommandResetReminder(CoreContext& context);

// A left click on the tray icon (or in the main window's top band).
void TrayLeftClick(CoreContext& context);
// Any other mouse event over the tray icon: refreshes a stale tooltip.
void TrayMouseMove(CoreContext& context);

enum class ExitStep {
  kDeclined,        // the confirmation was answered "No, keep running"
  kHandshakeBegun,  // the exit flag is set and the monitor was woken
  kDestroyNow,      // Exit chosen again: command 2012 was posted at once
};
// The Exit command: the optional confirmation, then the exit flag that no
// later mode change undoes.
ExitStep CommandExit(CoreContext& context);

// The request a work-type command hands to the monitor, by command id
// (2015, 2016, 2017, 2200..2219, 2300..2319); nullopt for other ids or an
// empty RecentWork slot. Takes the state lock for the slot's record id.
struct RequestOrder {
  std::uint32_t code = 0;
  std::int32_t value = 0;
};
std::optional<RequestOrder> RequestForCommand(CoreContext& context, std::uint32_t command_id);

// Carries out every command above by id (the request commands through
// PostRequest). False for ids the engine does not serve (Help, Options,
// About, Time Display, Terminate Sound, 2012, Transparent, On Top, 2018).
// wait_step is handed to PostRequest.
bool DispatchEngineCommand(CoreContext& context, std::uint32_t command_id,
                           const std::function<void()>& wait_step = {});

}  // namespace tolvi
