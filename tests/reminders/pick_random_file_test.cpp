#include "reminders/pick_random_file.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

const std::filesystem::path kFolder = "/music/chimes";

class PickRandomFileTest : public ::testing::Test {
 protected:
  PickRandomFileTest() {
    for (const char* name : {"a.wav", "b.mp3", "c.ogg"}) files_.SetFile(kFolder / name, "sound");
  }

  // Picks with a draw that gives the numbers in turn; ranges_ records the
  // ranges it was asked for.
  std::optional<std::filesystem::path> Pick(std::vector<std::uint32_t> numbers,
                                            const std::filesystem::path& folder = kFolder) {
    ranges_.clear();
    std::size_t next = 0;
    return PickRandomFile(files_, folder, [&](std::uint32_t n) {
      ranges_.push_back(n);
      return numbers.at(next++ % numbers.size());
    });
  }

  FakeFileSystem files_;
  std::vector<std::uint32_t> ranges_;
};

TEST_F(PickRandomFileTest, EveryFileOfTheListingCanBeDrawnAndOtherDrawsAreClamped) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {1, "a.wav"}, {2, "b.mp3"}, {3, "c.ogg"}, {0, "a.wav"}, {99, "c.ogg"}};
  for (const auto& [number, name] : cases) {
    EXPECT_EQ(Pick({number}), kFolder / name) << number;
    EXPECT_EQ(ranges_, std::vector<std::uint32_t>{3});
  }
}

TEST_F(PickRandomFileTest, DrawsAgainWhenTheChosenFileVanishedAndGivesUpAfterThreeTries) {
  files_.FailAccess(kFolder / "a.wav");  // listed, but gone when opened
  EXPECT_EQ(Pick({1, 3}), kFolder / "c.ogg");
  EXPECT_EQ(ranges_.size(), 2u);
  for (const char* name : {"b.mp3", "c.ogg"}) files_.FailAccess(kFolder / name);
  EXPECT_EQ(Pick({1, 2, 3}), std::nullopt);
  EXPECT_EQ(ranges_.size(), 3u);
}

TEST_F(PickRandomFileTest, EmptyOrMissingFolderPlaysNothing) {
  EXPECT_EQ(Pick({1}, "/music/empty"), std::nullopt);
  EXPECT_TRUE(ranges_.empty());
}

TEST_F(PickRandomFileTest, DrawsFromTheFirstTenThousandFilesOnly) {
  for (int i = 0; i < 10'005; ++i) files_.SetFile("/music/many/f" + std::to_string(i), "");
  EXPECT_TRUE(Pick({10'000}, "/music/many").has_value());
  EXPECT_EQ(ranges_, std::vector<std::uint32_t>{10'000});
}

}  // namespace
}  // namespace tolvi
