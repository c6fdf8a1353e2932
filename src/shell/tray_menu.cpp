#include "shell/tray_menu.h"

#include "settings/settings.h"
#include "state/command_ids.h"

namespace tolvi {
namespace {

MenuEntry Command(std::uint32_t id, std::string text, bool checked = false) {
  MenuEntry entry;
  entry.id = id;
  entry.text = std::move(text);
  entry.checked = checked;
  return entry;
}

MenuEntry Separator() {
  MenuEntry entry;
  entry.kind = MenuEntryKind::kSeparator;
  return entry;
}

MenuEntry Submenu(std::string text, std::vector<MenuEntry> entries) {
  MenuEntry entry;
  entry.kind = MenuEntryKind::kSubmenu;
  entry.text = std::move(text);
  entry.submenu = std::move(entries);
  return entry;
}

void AddAboutAndHelp(std::vector<MenuEntry>& menu) {
  menu.push_back(Command(command::kAbout, "About"));
  menu.push_back(Command(command::kHelp, "Help"));
}

// The window variant's head: the row under the click, then the work-type
// commands and the window toggles.
void AddWindowHead(std::vector<MenuEntry>& menu, const ProgramData& data,
                   const RecentWorkTable& recent, std::optional<std::uint32_t> click_y) {
  const std::optional<std::uint32_t> row = click_y ? RecentWorkRowAt(*click_y) : std::nullopt;
  // A row without a work type offers nothing to change to or edit.
  if (row && recent[*row].record_id >= 0) {
    menu.push_back(
        Command(command::kChangeWorkFirst + *row, kChangeWorkToPrefix + recent[*row].name));
    menu.push_back(Command(command::kEditWorkFirst + *row, kEditPrefix + recent[*row].name));
  }
  menu.push_back(Submenu(kRecentWorkMenuText, RecentWorkSubmenu(recent)));
  menu.push_back(Command(command::kSelectWorkType, "Select Work Type..."));
  menu.push_back(Command(command::kAddWorkType, "Add Work Type"));
  menu.push_back(Separator());
  menu.push_back(Command(command::kRefresh, "Refresh"));
  menu.push_back(Command(command::kTransparent, "Transparent", IsOn(data.transparent)));
  menu.push_back(Command(command::kOnTop, "On Top", IsOn(data.on_top)));
}

void AddModeEntries(std::vector<MenuEntry>& menu, const ProgramData& data,
                    const ActivityState& activity, const RecentWorkTable& recent,
                    MenuVariant variant) {
  menu.push_back(Separator());
  if (activity.working_flag == WorkingFlag::kWorking && IsOn(data.reminder_enabled)) {
    menu.push_back(Command(command::kResetReminder, "Reset Reminder "));
  }
  if (variant == MenuVariant::kTray) {
    menu.push_back(Submenu(kRecentWorkMenuText, RecentWorkSubmenu(recent)));
  }
  if (!MonitorsActivity(data) && !activity.away) {
    menu.push_back(Command(command::kAway, "Away"));
  }
  menu.push_back(Command(command::kAtMeeting, "At Meeting", activity.meeting));
  if (activity.working_flag == WorkingFlag::kOnBreak || activity.away) {
    menu.push_back(Command(command::kWorking, "Working"));
  } else {
    menu.push_back(Command(command::kOnBreak, "On Break"));
  }
}

void AddTail(std::vector<MenuEntry>& menu, const MenuFacts& facts) {
  menu.push_back(Separator());
  menu.push_back(Command(command::kOptions, "Options..."));
  if (facts.sound_playing) menu.push_back(Command(command::kTerminateSound, "Terminate Sound"));
  if (!facts.window_shown) menu.push_back(Command(command::kTimeDisplay, "Time Display..."));
  if (facts.variant == MenuVariant::kWindow) AddAboutAndHelp(menu);
  menu.push_back(Command(command::kExit, "Exit"));
}

}  // namespace

std::optional<std::uint32_t> RecentWorkRowAt(std::uint32_t client_y) {
  if (client_y <= kRecentRowsTop || client_y >= kRecentRowsBottom) return std::nullopt;
  return (client_y - kRecentRowsTop) / kRecentRowHeight;
}

std::vector<MenuEntry> RecentWorkSubmenu(const RecentWorkTable& recent) {
  std::vector<MenuEntry> entries;
  for (std::uint32_t slot = 0; slot < recent.size(); ++slot) {
    if (recent[slot].record_id < 0) continue;  // -1 marks an empty slot
    entries.push_back(Command(command::kChangeWorkFirst + slot, recent[slot].name));
  }
  return entries;
}

std::vector<MenuEntry> BuildPopupMenu(const ProgramData& data, const ActivityState& activity,
                                      const RecentWorkTable& recent, const MenuFacts& facts) {
  std::vector<MenuEntry> menu;
  if (facts.variant == MenuVariant::kWindow) {
    AddWindowHead(menu, data, recent, facts.click_y);
  } else {
    AddAboutAndHelp(menu);
  }
  AddModeEntries(menu, data, activity, recent, facts.variant);
  AddTail(menu, facts);
  return menu;
}

}  // namespace tolvi
