#include "shell/main_window_commands.h"

#include <algorithm>
#include <mutex>

#include "engine/mode_commands.h"
#include "state/command_ids.h"
#include "settings/settings.h"

namespace tolvi {
namespace {

constexpr std::int32_t kClickBandTop = 5;
constexpr std::int32_t kClickBandBottom = 100;
constexpr std::uint32_t kShowNormal = 1;
constexpr std::uint32_t kShowMinimized = 2;
constexpr std::int32_t kNoPosition = -1;

void SetWindowShown(CoreContext& context, bool shown) {
  const StateLock lock(context.state.mutex);
  context.state.activity.window_shown = shown;
}

// Flips a 0/1 window option and returns the opacity or on-top flag to apply.
std::uint32_t ToggleTransparent(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  ProgramData& data = context.state.data;
  data.transparent = StoredSwitch(!IsOn(data.transparent));
  return WindowOpacity(data);
}

bool ToggleOnTop(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  ProgramData& data = context.state.data;
  data.on_top = StoredSwitch(!IsOn(data.on_top));
  return IsOn(data.on_top);
}

// The commands that only the window can carry out; false for the others.
bool DispatchWindowCommand(CoreContext& context, std::uint32_t command_id, WindowActions& actions) {
  switch (command_id) {
    case command::kHelp:
      actions.OpenReadMe();
      return true;
    case command::kOptions:
      actions.OpenOptions();
      return true;
    case command::kAbout:
      actions.OpenAbout();
      return true;
    case command::kTimeDisplay:
      actions.ShowMainWindow();
      SetWindowShown(context, true);
      return true;
    case command::kTerminateSound:
      actions.TerminateSound();
      return true;
    case command::kDestroyWindow:
      actions.DestroyMainWindow();
      return true;
    case command::kTransparent:
      actions.ApplyOpacity(ToggleTransparent(context));
      return true;
    case command::kOnTop:
      actions.ApplyOnTop(ToggleOnTop(context));
      return true;
    case command::kWorkTypeDialog:
      actions.RunWorkTypeDialog();
      return true;
    default:
      return false;
  }
}

}  // namespace

bool DispatchCommand(CoreContext& context, std::uint32_t command_id, WindowActions& actions) {
  if (DispatchWindowCommand(context, command_id, actions)) return true;
  return DispatchEngineCommand(context, command_id, [&actions] { actions.ServeWhileWaiting(); });
}

bool OpensWorkTypeDialog(std::uint32_t command_id) {
  return command_id == command::kAddWorkType || command_id == command::kSelectWorkType ||
         (command_id >= command::kEditWorkFirst &&
          command_id < command::kEditWorkFirst + command::kWorkSlotCount);
}

std::uint32_t WindowOpacity(const ProgramData& data) {
  if (!IsOn(data.transparent)) return kOpaqueWindowAlpha;
  return std::clamp(data.window_alpha, kLowestWindowAlpha, kOpaqueWindowAlpha);
}

bool InClickBand(std::int32_t client_y) {
  return client_y > kClickBandTop && client_y < kClickBandBottom;
}

WindowGeometry CentredGeometry(std::int32_t screen_width, std::int32_t screen_height) {
  WindowGeometry geometry;
  geometry.x = std::max(0, (screen_width - kMainWindowWidth) / 2);
  geometry.y = std::max(0, (screen_height - kMainWindowHeight) / 2);
  return geometry;
}

WindowGeometry LimitSize(WindowGeometry geometry) {
  geometry.width = std::min(geometry.width, kMainWindowMaxWidth);
  geometry.height = std::min(geometry.height, kMainWindowMaxHeight);
  return geometry;
}

WindowPlacement PlacementOf(const WindowGeometry& geometry, bool minimized) {
  WindowPlacement placement;
  placement.show_command = minimized ? kShowMinimized : kShowNormal;
  placement.min_position_x = kNoPosition;
  placement.min_position_y = kNoPosition;
  placement.max_position_x = kNoPosition;
  placement.max_position_y = kNoPosition;
  placement.normal_left = geometry.x;
  placement.normal_top = geometry.y;
  placement.normal_right = geometry.x + geometry.width;
  placement.normal_bottom = geometry.y + geometry.height;
  return placement;
}

std::optional<WindowGeometry> RestoredGeometry(const WindowPlacement& placement) {
  if (placement.min_position_x == kPlacementNeverSaved) return std::nullopt;
  if (placement.length != sizeof(WindowPlacement)) return std::nullopt;
  // Widened so that a hostile record cannot overflow the subtraction.
  const std::int64_t width = std::int64_t{placement.normal_right} - placement.normal_left;
  const std::int64_t height = std::int64_t{placement.normal_bottom} - placement.normal_top;
  if (width <= 0 || height <= 0) return std::nullopt;
  WindowGeometry geometry;
  geometry.x = placement.normal_left;
  geometry.y = placement.normal_top;
  geometry.width = static_cast<std::int32_t>(std::min<std::int64_t>(width, kMainWindowMaxWidth));
  geometry.height = static_cast<std::int32_t>(std::min<std::int64_t>(height, kMainWindowMaxHeight));
  return geometry;
}

bool PlacementMinimized(const WindowPlacement& placement) {
  return placement.show_command == kShowMinimized;
}

}  // namespace tolvi
