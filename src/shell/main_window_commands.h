// The main window's command dispatcher and its small rules, as core code:
// which command does what, the click band that toggles the mode, the size
// limit, the first position, and the placement kept in WindowPlacement.
// The toolkit side implements WindowActions for what only a window can do
// and reports every menu choice and posted command to DispatchCommand.
//
// DispatchCommand runs on the GUI thread and takes the shared-state lock
// itself for each change (never while an action runs). The geometry
// helpers are pure; any thread.
#pragma once

#include <cstdint>
#include <optional>

#include "state/core_context.h"
#include "storage/program_data.h"

namespace tolvi {

// The first size of the main window and its largest size.
inline constexpr std::int32_t kMainWindowWidth = 420;
inline constexpr std::int32_t kMainWindowHeight = 452;
inline constexpr std::int32_t kMainWindowMaxWidth = 570;
inline constexpr std::int32_t kMainWindowMaxHeight = 652;

// The lowest opacity the window is given, whatever the file says: a window
// at alpha 0 would be invisible and unclickable.
inline constexpr std::uint32_t kLowestWindowAlpha = 5;
inline constexpr std::uint32_t kOpaqueWindowAlpha = 255;

// What only the window can do. GUI thread.
class WindowActions {
 public:
  virtual ~WindowActions() = default;
  virtual void OpenReadMe() = 0;                       // 2000
  virtual void OpenOptions() = 0;                      // 2001
  virtual void OpenAbout() = 0;                        // 2003
  virtual void ShowMainWindow() = 0;                   // 2009
  virtual void TerminateSound() = 0;                   // 2011
  virtual void DestroyMainWindow() = 0;                // 2012
  virtual void ApplyOpacity(std::uint32_t alpha) = 0;  // 2013, alpha 5..255
  virtual void ApplyOnTop(bool on_top) = 0;            // 2014
  virtual void RunWorkTypeDialog() = 0;                // 2018
  // Called while a command waits for the request slot, so the window can
  // go on serving what the monitor asks of it meanwhile.
  virtual void ServeWhileWaiting() {}
};

// Carries out a command id; false for ids that are no command.
bool DispatchCommand(CoreContext& context, std::uint32_t command_id, WindowActions& actions);

// "Edit ...", "Select Work Type..." and "Add Work Type": the commands that
// end in a work-type dialog.
bool OpensWorkTypeDialog(std::uint32_t command_id);

// The opacity to apply for the Transparent and WindowAlpha settings.
std::uint32_t WindowOpacity(const ProgramData& data);

// A left click at client y 6 to 99 acts as a left click on the tray icon.
bool InClickBand(std::int32_t client_y);

struct WindowGeometry {
  std::int32_t x = 0;  // the window's position on the desktop
  std::int32_t y = 0;
  std::int32_t width = kMainWindowWidth;  // its client size
  std::int32_t height = kMainWindowHeight;
  friend bool operator==(const WindowGeometry&, const WindowGeometry&) = default;
};

// Centred on a screen of that size; at its left or top edge when the screen
// is smaller than the window.
WindowGeometry CentredGeometry(std::int32_t screen_width, std::int32_t screen_height);

// Clamps a client size to the largest size.
WindowGeometry LimitSize(WindowGeometry geometry);

// The placement record for the window as it is now (which replaces the
// never-saved marker).
WindowPlacement PlacementOf(const WindowGeometry& geometry, bool minimized);
// The geometry a stored placement restores; nothing when none was stored
// or the record is not plausible (wrong length, empty or inverted rectangle).
std::optional<WindowGeometry> RestoredGeometry(const WindowPlacement& placement);
bool PlacementMinimized(const WindowPlacement& placement);

}  // namespace tolvi
