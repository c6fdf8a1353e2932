#include "reminders/reminder_sound.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "settings/settings.h"

namespace tolvi {
namespace {

std::vector<std::string> Calls(std::string_view call) {
  return call.empty() ? std::vector<std::string>{} : std::vector<std::string>{std::string(call)};
}

TEST(ReminderSound, EachKindDoesItsOneThingAndOnlyTheWindowKindsAsk) {
  struct Case {
    std::uint32_t kind;
    std::string_view call;  // with a file, or a folder for the random kinds
    bool window;
  };
  const Case cases[] = {
      {0, "", true},
      {1, "beep", true},
      {2, "play /x/gong.mp3", true},
      {3, "play /sounds/chime.wav", true},
      {4, "beep", false},
      {5, "play /sounds/chime.wav", false},
      {6, "play /x/gong.mp3", false},
      {7, "open /x/gong.mp3", true},
      {8, "open /x/gong.mp3", false},
      {9, "", false},
      {0xFFFF'FFFF, "", false},
  };
  FakeFileSystem files;
  files.SetFile("/sounds/chime.wav", "riff");
  const RandomDraw draw = [](std::uint32_t) { return 1u; };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    RecordingUi ui;
    const bool random = AlertSoundFor(c.kind) == AlertSound::kPlayRandomFile;
    PlayReminderSound(ui, files, draw, c.kind, random ? "/sounds" : "/x/gong.mp3");
    EXPECT_EQ(ui.calls(), Calls(c.call));
    EXPECT_EQ(ShowsReminderWindow(static_cast<ReminderAction>(c.kind)), c.window);
    // An empty setting plays and opens nothing; a beep needs none.
    RecordingUi unset;
    PlayReminderSound(unset, files, draw, c.kind, "");
    EXPECT_EQ(unset.calls(), Calls(c.call == "beep" ? "beep" : ""));
  }
}

}  // namespace
}  // namespace tolvi
