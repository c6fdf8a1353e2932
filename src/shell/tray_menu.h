// The popup menu as a model: the entries of the tray icon's menu and of the
// main window's right-click menu, built afresh from the running state each
// time the menu opens. A front end turns the entries into its own menu and
// reports the chosen entry's id as a main-window command.
//
// Pure functions of a state the caller holds still (a snapshot, or the
// shared state under its lock); any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "accounting/recent_work.h"
#include "state/activity_state.h"
#include "storage/program_data.h"

namespace tolvi {

// The main window's table rows that a right click maps to Recent Work
// slots: client y above kRecentRowsTop and below kRecentRowsBottom, 20 high.
inline constexpr std::uint32_t kRecentRowsTop = 100;
inline constexpr std::uint32_t kRecentRowsBottom = 500;
inline constexpr std::uint32_t kRecentRowHeight = 20;

inline constexpr char kRecentWorkMenuText[] = "Recent Work";
inline constexpr char kChangeWorkToPrefix[] = "Change Work To ";
inline constexpr char kEditPrefix[] = "Edit ";

enum class MenuVariant {
  kTray,    // right click on the tray icon
  kWindow,  // right click in the main window
};

enum class MenuEntryKind { kCommand, kSeparator, kSubmenu };

struct MenuEntry {
  MenuEntryKind kind = MenuEntryKind::kCommand;
  std::uint32_t id = 0;  // the command id; 0 for separators and submenus
  std::string text;
  bool checked = false;
  bool enabled = true;
  std::vector<MenuEntry> submenu;  // kSubmenu only

  friend bool operator==(const MenuEntry&, const MenuEntry&) = default;
};

// What the menu needs beyond the saved and running state.
struct MenuFacts {
  MenuVariant variant = MenuVariant::kTray;
  // The click's client y in the main window (window variant only).
  std::optional<std::uint32_t> click_y;
  bool window_shown = false;
  bool sound_playing = false;
};

// The Recent Work slot under a right click at client y: 0 for y 101 to 119
// up to 19 for y 480 to 499; nothing outside that band.
std::optional<std::uint32_t> RecentWorkRowAt(std::uint32_t client_y);

// The "Recent Work" submenu: every used slot, in slot order.
std::vector<MenuEntry> RecentWorkSubmenu(const RecentWorkTable& recent);

std::vector<MenuEntry> BuildPopupMenu(const ProgramData& data, const ActivityState& activity,
                                      const RecentWorkTable& recent, const MenuFacts& facts);

}  // namespace tolvi
