#include "reminders/pick_random_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

const std::filesystem::path kFolder = "/music/chimes";

// Draws the given numbers in turn and records the ranges asked for.
class ScriptedDraw {
 public:
  explicit ScriptedDraw(std::vector<std::uint32_t> numbers) : numbers_(std::move(numbers)) {}
  RandomDraw AsDraw() {
    return [this](std::uint32_t n) {
      ranges_.push_back(n);
      return numbers_.at(next_++ % numbers_.size());
    };
  }
  const std::vector<std::uint32_t>& ranges() const { return ranges_; }

 private:
  std::vector<std::uint32_t> numbers_;
  std::size_t next_ = 0;
  std::vector<std::uint32_t> ranges_;
};

class PickRandomFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"a.wav", "b.mp3", "c.ogg"}) files_.SetFile(kFolder / name, "sound");
  }
  FakeFileSystem files_;
};

TEST_F(PickRandomFileTest, EveryFileOfTheListingCanBeDrawn) {
  const std::vector<std::string> expected = {"a.wav", "b.mp3", "c.ogg"};
  for (std::uint32_t number = 1; number <= 3; ++number) {
    ScriptedDraw draw({number});
    const auto picked = PickRandomFile(files_, kFolder, draw.AsDraw());
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(*picked, kFolder / expected[number - 1]);
    EXPECT_EQ(draw.ranges(), std::vector<std::uint32_t>{3});
  }
}

TEST_F(PickRandomFileTest, DrawsAgainWhenTheChosenFileVanished) {
  files_.FailAccess(kFolder / "a.wav");  // listed, but gone when opened
  ScriptedDraw draw({1, 3});
  EXPECT_EQ(PickRandomFile(files_, kFolder, draw.AsDraw()), kFolder / "c.ogg");
  EXPECT_EQ(draw.ranges().size(), 2u);
}

TEST_F(PickRandomFileTest, GivesUpAfterThreeFailedTries) {
  for (const char* name : {"a.wav", "b.mp3", "c.ogg"}) files_.FailAccess(kFolder / name);
  ScriptedDraw draw({1, 2, 3});
  EXPECT_EQ(PickRandomFile(files_, kFolder, draw.AsDraw()), std::nullopt);
  EXPECT_EQ(draw.ranges().size(), 3u);
}

TEST_F(PickRandomFileTest, EmptyOrMissingFolderPlaysNothing) {
  ScriptedDraw draw({1});
  EXPECT_EQ(PickRandomFile(files_, "/music/empty", draw.AsDraw()), std::nullopt);
  EXPECT_TRUE(draw.ranges().empty());
}

TEST_F(PickRandomFileTest, DrawOutsideItsRangeIsClamped) {
  ScriptedDraw low({0});
  EXPECT_EQ(PickRandomFile(files_, kFolder, low.AsDraw()), kFolder / "a.wav");
  ScriptedDraw high({99});
  EXPECT_EQ(PickRandomFile(files_, kFolder, high.AsDraw()), kFolder / "c.ogg");
}

TEST_F(PickRandomFileTest, DrawsFromTheFirstTenThousandFilesOnly) {
  FakeFileSystem many;
  for (int i = 0; i < 10'005; ++i) many.SetFile(kFolder / ("f" + std::to_string(i)), "");
  ScriptedDraw draw({10'000});
  ASSERT_TRUE(PickRandomFile(many, kFolder, draw.AsDraw()).has_value());
  EXPECT_EQ(draw.ranges(), std::vector<std::uint32_t>{10'000});
}

}  // namespace
}  // namespace tolvi
