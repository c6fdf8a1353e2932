// The Win32 shell's own rules that need no display: the Ui port's hand-off
// to the GUI thread and the native menu built from the menu model.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "shell/win/tray.h"
#include "shell/win/win_ui.h"

namespace tolvi::win {
namespace {

class RecordingTarget final : public UiTarget {
 public:
  void OnClose() override { Record("close"); }
  void OnRepaint() override { Record("repaint"); }
  void OnSetTray(TrayIcon icon, const std::string& tooltip) override {
    Record("tray " + std::to_string(static_cast<int>(icon)) + " " + tooltip);
  }
  bool OnAddTray(TrayIcon, const std::string&) override { return true; }
  void OnBalloon(const std::string& title, const std::string&, TrayIcon) override {
    Record("balloon " + title);
  }
  int OnAsk(const Question&) override { return 1; }
  void OnNotice(const std::string& text) override { Record("notice " + text); }

  std::vector<std::string> calls;
  std::vector<DWORD> threads;

 private:
  void Record(std::string call) {
    calls.push_back(std::move(call));
    threads.push_back(::GetCurrentThreadId());
  }
};

TEST(WinUiTest, CallsFromAnotherThreadRunInOrderOnTheGuiThread) {
  WinUi ui;
  RecordingTarget target;
  ui.SetTarget(nullptr, &target);
  ui.SetTray(TrayIcon::kAway, "here");  // on the GUI thread: at once
  EXPECT_EQ(target.calls, std::vector<std::string>{"tray 503 here"});

  std::thread([&ui] {
    ui.SetTray(TrayIcon::kWorking, "a");
    ui.ShowBalloon("Micro Break", "stretch", TrayIcon::kWorking);
    ui.PostClose();
  }).join();
  EXPECT_EQ(target.calls.size(), 1u);  // nothing ran on the calling thread

  ui.RunQueued();
  EXPECT_EQ(target.calls, (std::vector<std::string>{"tray 503 here", "tray 504 a",
                                                    "balloon Micro Break", "close"}));
  for (const DWORD thread : target.threads) EXPECT_EQ(thread, ::GetCurrentThreadId());
}

TEST(WinUiTest, RepaintRequestsCoalesceUntilTheyRun) {
  WinUi ui;
  RecordingTarget target;
  ui.SetTarget(nullptr, &target);
  std::thread([&ui] {
    for (int i = 0; i < 3; ++i) ui.RequestRepaint();
  }).join();
  ui.RunQueued();
  EXPECT_EQ(target.calls, std::vector<std::string>{"repaint"});
  std::thread([&ui] { ui.RequestRepaint(); }).join();
  ui.RunQueued();
  EXPECT_EQ(target.calls, (std::vector<std::string>{"repaint", "repaint"}));
}

TEST(WinUiTest, NoticesToldBeforeTheTargetReachItOnceSet) {
  WinUi ui;
  ui.Notify("kept aside");
  RecordingTarget target;
  ui.SetTarget(nullptr, &target);
  EXPECT_EQ(target.calls, std::vector<std::string>{"notice kept aside"});
}

std::wstring ItemText(HMENU menu, UINT position) {
  wchar_t text[64] = {};
  ::GetMenuStringW(menu, position, text, 64, MF_BYPOSITION);
  return text;
}

TEST(NativeMenuTest, KeepsNamesTickStatesAndSubmenus) {
  MenuEntry named{MenuEntryKind::kCommand, 2200, "R&D", true, true, {}};
  MenuEntry greyed{MenuEntryKind::kCommand, 2011, "Terminate Sound", false, false, {}};
  MenuEntry separator{MenuEntryKind::kSeparator, 0, "", false, true, {}};
  MenuEntry submenu{MenuEntryKind::kSubmenu, 0, "Recent Work", false, true, {named}};
  HMENU menu = BuildNativeMenu({named, greyed, separator, submenu});
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(::GetMenuItemCount(menu), 4);
  EXPECT_EQ(ItemText(menu, 0), L"R&&D");  // shown as written, no shortcut
  EXPECT_EQ(::GetMenuItemID(menu, 0), 2200u);
  EXPECT_NE(::GetMenuState(menu, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
  EXPECT_NE(::GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED, 0u);
  EXPECT_EQ(::GetMenuState(menu, 1, MF_BYPOSITION) & MF_CHECKED, 0u);
  EXPECT_NE(::GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  HMENU recent = ::GetSubMenu(menu, 3);
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(::GetMenuItemID(recent, 0), 2200u);
  ::DestroyMenu(menu);
}

}  // namespace
}  // namespace tolvi::win
