#include "reminders/reminder_sound.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/fake_file_system.h"
#include "fakes/recording_ui.h"
#include "settings/settings.h"

namespace tolvi {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct KindCase {
  std::uint32_t kind;
  std::vector<std::string> calls;
  bool window;  // the reminder also asks in a window
};

class PlayReminderSoundTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(PlayReminderSoundTest, EachKindDoesItsOneThingAndOnlyTheWindowKindsAsk) {
  RecordingUi ui;
  FakeFileSystem files;
  files.SetFile("/sounds/chime.wav", "riff");
  const std::filesystem::path setting =
      AlertSoundFor(GetParam().kind) == AlertSound::kPlayRandomFile ? "/sounds" : "/x/gong.mp3";
  PlayReminderSound(
      ui, files, [](std::uint32_t) { return 1u; }, GetParam().kind, setting);
  EXPECT_EQ(ui.calls(), GetParam().calls);
  EXPECT_EQ(ShowsReminderWindow(static_cast<ReminderAction>(GetParam().kind)), GetParam().window);
}

INSTANTIATE_TEST_SUITE_P(ReminderSound, PlayReminderSoundTest,
                         ::testing::Values(KindCase{0, {}, true}, KindCase{1, {"beep"}, true},
                                           KindCase{2, {"play /x/gong.mp3"}, true},
                                           KindCase{3, {"play /sounds/chime.wav"}, true},
                                           KindCase{4, {"beep"}, false},
                                           KindCase{5, {"play /sounds/chime.wav"}, false},
                                           KindCase{6, {"play /x/gong.mp3"}, false},
                                           KindCase{7, {"open /x/gong.mp3"}, true},
                                           KindCase{8, {"open /x/gong.mp3"}, false},
                                           KindCase{9, {}, false},
                                           KindCase{0xFFFF'FFFF, {}, false}));

TEST(ReminderSound, EmptySettingPlaysAndOpensNothingButStillBeeps) {
  RecordingUi ui;
  FakeFileSystem files;
  const RandomDraw draw = [](std::uint32_t) { return 1u; };
  for (std::uint32_t kind = 0; kind <= 8; ++kind) PlayReminderSound(ui, files, draw, kind, "");
  EXPECT_THAT(ui.calls(), ElementsAre("beep", "beep"));
}

TEST(ReminderSound, RandomFolderWithoutFilesPlaysNothing) {
  RecordingUi ui;
  FakeFileSystem files;
  PlayReminderSound(
      ui, files, [](std::uint32_t) { return 1u; }, 5, "/empty");
  EXPECT_THAT(ui.calls(), IsEmpty());
}

}  // namespace
}  // namespace tolvi
