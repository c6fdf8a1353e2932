#include "shell/main_window_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine_fixture.h"
#include "state/command_ids.h"

namespace tolvi {
namespace {

class RecordingActions : public WindowActions {
 public:
  void OpenReadMe() override { calls.push_back("readme"); }
  void OpenOptions() override { calls.push_back("options"); }
  void OpenAbout() override { calls.push_back("about"); }
  void ShowMainWindow() override { calls.push_back("show"); }
  void TerminateSound() override { calls.push_back("terminate sound"); }
  void DestroyMainWindow() override { calls.push_back("destroy"); }
  void ApplyOpacity(std::uint32_t alpha) override {
    calls.push_back("opacity " + std::to_string(alpha));
  }
  void ApplyOnTop(bool on_top) override { calls.push_back(on_top ? "on top" : "not on top"); }
  void RunWorkTypeDialog() override { calls.push_back("work type dialog"); }

  std::vector<std::string> calls;
};

class MainWindowCommandsTest : public EngineFixture {
 protected:
  bool Dispatch(std::uint32_t id) { return DispatchCommand(context_, id, actions_); }
  RecordingActions actions_;
};

TEST_F(MainWindowCommandsTest, WindowCommandsReachTheWindow) {
  struct Case {
    std::uint32_t id;
    const char* call;
  };
  for (const Case& c :
       {Case{command::kHelp, "readme"}, Case{command::kOptions, "options"},
        Case{command::kAbout, "about"}, Case{command::kTerminateSound, "terminate sound"},
        Case{command::kDestroyWindow, "destroy"},
        Case{command::kWorkTypeDialog, "work type dialog"}, Case{command::kTimeDisplay, "show"}}) {
    actions_.calls.clear();
    activity().window_shown = false;
    EXPECT_TRUE(Dispatch(c.id));
    EXPECT_EQ(actions_.calls, std::vector<std::string>{c.call}) << c.id;
  }
  EXPECT_TRUE(activity().window_shown);  // the time display marks it shown
}

TEST_F(MainWindowCommandsTest, TransparentAndOnTopToggleAndApply) {
  data().window_alpha = 75;
  Dispatch(command::kTransparent);
  Dispatch(command::kOnTop);
  EXPECT_EQ(data().transparent, 1u);
  EXPECT_EQ(data().on_top, 1u);
  Dispatch(command::kTransparent);
  Dispatch(command::kOnTop);
  EXPECT_EQ(data().transparent, 0u);
  EXPECT_EQ(data().on_top, 0u);
  EXPECT_EQ(actions_.calls,
            (std::vector<std::string>{"opacity 75", "on top", "opacity 255", "not on top"}));
}

TEST_F(MainWindowCommandsTest, AnInvisibleWindowAlphaFromTheFileIsRaised) {
  data().window_alpha = 0;
  data().transparent = 1;
  EXPECT_EQ(WindowOpacity(data()), kLowestWindowAlpha);
  data().window_alpha = 4'000;
  EXPECT_EQ(WindowOpacity(data()), 255u);
}

TEST_F(MainWindowCommandsTest, AWaitingCommandServesTheWindowMeanwhile) {
  // The slot is taken; the monitor, asking a question meanwhile, frees it
  // only after the window has served it a few times.
  context_.events.request_free.Reset();
  context_.events.request_free.BeginCalling();
  activity().request_code = request::kRefresh;
  struct ServingActions : RecordingActions {
    CoreContext* context = nullptr;
    int waits = 0;
    void ServeWhileWaiting() override {
      if (++waits == 3) {
        std::lock_guard lock(context->state.mutex);
        context->state.activity.request_code = request::kNone;
        context->events.request_free.EndCalling();
        context->events.request_free.Set();
      }
    }
  } serving;
  serving.context = &context_;
  EXPECT_TRUE(DispatchCommand(context_, command::kAddWorkType, serving));
  EXPECT_EQ(serving.waits, 3);
  EXPECT_EQ(activity().request_code, request::kAddWorkType);
}

TEST_F(MainWindowCommandsTest, IdsThatAreNoCommandAreRefused) {
  for (const std::uint32_t id : {0u, 1999u, 2005u, 2019u, 2199u, 2220u, 2320u}) {
    EXPECT_FALSE(Dispatch(id)) << id;
  }
  EXPECT_TRUE(actions_.calls.empty());
}

TEST(ClickBand, CoversClientRowsSixToNinetyNine) {
  for (const int y : {6, 99}) EXPECT_TRUE(InClickBand(y)) << y;
  for (const int y : {-3, 5, 100}) EXPECT_FALSE(InClickBand(y)) << y;
}

TEST(WindowGeometry, FirstPlaceIsCentredAndNeverOffTheScreen) {
  EXPECT_EQ(CentredGeometry(1280, 800), (WindowGeometry{430, 174, 420, 452}));
  EXPECT_EQ(CentredGeometry(300, 200), (WindowGeometry{0, 0, 420, 452}));
  EXPECT_EQ(LimitSize(WindowGeometry{1, 2, 900, 700}), (WindowGeometry{1, 2, 570, 652}));
}

TEST(WindowGeometry, PlacementRoundTripsAndReplacesTheNeverSavedMarker) {
  const WindowGeometry geometry{100, 50, 430, 500};
  const WindowPlacement placement = PlacementOf(geometry, /*minimized=*/false);
  EXPECT_EQ(placement.length, 44u);
  EXPECT_EQ(placement.normal_right, 530);
  EXPECT_EQ(placement.normal_bottom, 550);
  EXPECT_EQ(RestoredGeometry(placement), geometry);
  EXPECT_FALSE(PlacementMinimized(placement));
  EXPECT_TRUE(PlacementMinimized(PlacementOf(geometry, /*minimized=*/true)));
}

TEST(WindowGeometry, ImplausiblePlacementsRestoreNothing) {
  WindowPlacement never;
  never.min_position_x = kPlacementNeverSaved;
  EXPECT_EQ(RestoredGeometry(never), std::nullopt);

  WindowPlacement placement = PlacementOf(WindowGeometry{10, 10, 400, 400}, false);
  WindowPlacement bad = placement;
  bad.length = 40;
  EXPECT_EQ(RestoredGeometry(bad), std::nullopt);
  bad = placement;
  bad.normal_right = bad.normal_left;
  EXPECT_EQ(RestoredGeometry(bad), std::nullopt);
  bad = placement;
  bad.normal_left = INT32_MIN;
  bad.normal_right = INT32_MAX;  // a width that overflows 32 bits
  ASSERT_TRUE(RestoredGeometry(bad).has_value());
  EXPECT_EQ(RestoredGeometry(bad)->width, kMainWindowMaxWidth);
  bad.normal_left = INT32_MAX;
  bad.normal_right = INT32_MIN;
  EXPECT_EQ(RestoredGeometry(bad), std::nullopt);
}

}  // namespace
}  // namespace tolvi
