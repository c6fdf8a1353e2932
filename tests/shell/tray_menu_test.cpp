#include "shell/tray_menu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text/text.h"

namespace tolvi {
namespace {

// One line per entry: "ID TEXT", "ID TEXT [x]" when checked, "-" for a
// separator, "> TEXT: a, b" for a submenu with its entries' texts.
std::vector<std::string> Lines(const std::vector<MenuEntry>& menu) {
  std::vector<std::string> lines;
  for (const MenuEntry& entry : menu) {
    switch (entry.kind) {
      case MenuEntryKind::kSeparator:
        lines.push_back("-");
        break;
      case MenuEntryKind::kSubmenu: {
        std::string line = "> " + entry.text + ":";
        for (const MenuEntry& sub : entry.submenu) {
          line += " " + std::to_string(sub.id) + "=" + sub.text;
        }
        lines.push_back(line);
        break;
      }
      case MenuEntryKind::kCommand:
        lines.push_back(std::to_string(entry.id) + " " + entry.text +
                        (entry.checked ? " [x]" : ""));
        break;
    }
  }
  return lines;
}

// The submenu of the fixture's Recent Work table.
const std::string kRecentLine = "> Recent Work: 2200=Writing 2201=Mail & news 2219=Last";

class TrayMenuTest : public ::testing::Test {
 protected:
  TrayMenuTest() {
    data_.reminder_enabled = 1;
    data_.away_toggle_method = 1;
    activity_.working_flag = WorkingFlag::kWorking;
    recent_[0].record_id = 4;
    recent_[0].name = "Writing";
    recent_[1].record_id = 7;
    recent_[1].name = "Mail & news";
    recent_[19].record_id = 9;
    recent_[19].name = "Last";
  }
  std::vector<std::string> Menu(MenuFacts facts) const {
    return Lines(BuildPopupMenu(data_, activity_, recent_, facts));
  }
  static MenuFacts Window(std::uint32_t y) {
    MenuFacts facts;
    facts.variant = MenuVariant::kWindow;
    facts.click_y = y;
    facts.window_shown = true;
    return facts;
  }

  ProgramData data_{};
  ActivityState activity_;
  RecentWorkTable recent_;
};

TEST_F(TrayMenuTest, WindowVariantStartsWithTheClickedRowAndTheWindowToggles) {
  data_.transparent = 1;
  data_.on_top = 1;
  const std::vector<std::string> expected = {
      "2201 Change Work To Mail & news",
      "2301 Edit Mail & news",
      kRecentLine,
      "2016 Select Work Type...",
      "2015 Add Work Type",
      "-",
      "2017 Refresh",
      "2013 Transparent [x]",
      "2014 On Top [x]",
      "-",
      "2004 Reset Reminder ",
      "2006 Away",
      "2010 At Meeting",
      "2007 On Break",
      "-",
      "2001 Options...",
      "2003 About",
      "2000 Help",
      "2002 Exit",
  };
  EXPECT_EQ(Menu(Window(125)), expected);
}

TEST_F(TrayMenuTest, RightClickRowsMapToRecentWorkSlots) {
  struct Case {
    std::uint32_t y;
    std::optional<std::uint32_t> row;
  };
  for (const Case& c :
       {Case{0, std::nullopt}, Case{99, std::nullopt}, Case{100, std::nullopt}, Case{101, 0u},
        Case{119, 0u}, Case{120, 1u}, Case{479, 18u}, Case{480, 19u}, Case{499, 19u},
        Case{500, std::nullopt}, Case{4'000'000'000u, std::nullopt}}) {
    EXPECT_EQ(RecentWorkRowAt(c.y), c.row) << "y " << c.y;
  }
  EXPECT_EQ(Menu(Window(150))[0], kRecentLine);  // a row without a work type
}

TEST_F(TrayMenuTest, ModeEntriesFollowTheFlags) {
  struct Case {
    std::uint32_t working_flag, away, meeting, away_toggle, reminders;
    std::vector<std::string> mode_lines;  // between the first two separators
  };
  const std::string reset = "2004 Reset Reminder ";
  const std::vector<Case> cases = {
      {1, 0, 0, 0, 1, {reset, kRecentLine, "2010 At Meeting", "2007 On Break"}},
      {0, 0, 0, 1, 1, {kRecentLine, "2006 Away", "2010 At Meeting", "2008 Working"}},
      {1, 1, 0, 1, 1, {reset, kRecentLine, "2010 At Meeting", "2008 Working"}},
      {1, 0, 1, 1, 0, {kRecentLine, "2006 Away", "2010 At Meeting [x]", "2007 On Break"}},
  };
  for (const Case& c : cases) {
    activity_.working_flag = static_cast<WorkingFlag>(c.working_flag);
    activity_.away = c.away;
    activity_.meeting = c.meeting;
    data_.away_toggle_method = c.away_toggle;
    data_.reminder_enabled = c.reminders;
    const std::vector<std::string> menu = Menu(MenuFacts{});
    const auto first = std::find(menu.begin(), menu.end(), "-") + 1;
    EXPECT_EQ(std::vector<std::string>(first, std::find(first, menu.end(), "-")), c.mode_lines)
        << "flag " << c.working_flag << " away " << c.away << " meeting " << c.meeting;
  }
}

TEST_F(TrayMenuTest, TerminateSoundOnlyWhileASoundPlaysAndTimeDisplayOnlyWhileHidden) {
  MenuFacts facts;
  facts.sound_playing = true;
  facts.window_shown = true;
  const std::vector<std::string> menu = Menu(facts);
  const std::vector<std::string> tail(menu.end() - 3, menu.end());
  EXPECT_EQ(tail,
            (std::vector<std::string>{"2001 Options...", "2011 Terminate Sound", "2002 Exit"}));
}

}  // namespace
}  // namespace tolvi
