#include "platform/data_directory.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

const std::filesystem::path kProgram = "/home/u/apps/tolvi";

class DataDirectoryTest : public ::testing::Test {
 protected:
  DataDirectoryTest() {
    facts_.program_directory = kProgram;
    facts_.program_directory_writable = true;
    facts_.home = "/home/u";
  }
  void AddMarker() { files_.SetFile(kProgram / "DefSet.txt", ""); }
  std::optional<DataDirectoryChoice> Choose() { return ChooseDataDirectory(files_, facts_); }

  DirectoryFacts facts_;
  FakeFileSystem files_;
};

TEST_F(DataDirectoryTest, WritableFolderWithoutMarkerKeepsDataBesideTheProgram) {
  const auto choice = Choose();
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->directory, kProgram);
  EXPECT_EQ(choice->kind, DataDirectoryKind::kBesideProgram);
}

TEST_F(DataDirectoryTest, MarkerMovesDataToTheUserDataFolder) {
  AddMarker();
  const auto choice = Choose();
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->directory, "/home/u/.local/share/Drovik/Tolvi");
  EXPECT_EQ(choice->kind, DataDirectoryKind::kUserData);
}

TEST_F(DataDirectoryTest, XdgDataHomeReplacesTheDefaultWhenAbsolute) {
  AddMarker();
  facts_.xdg_data_home = "/data/xdg";
  EXPECT_EQ(Choose()->directory, "/data/xdg/Drovik/Tolvi");
  facts_.xdg_data_home = "relative/xdg";
  EXPECT_EQ(Choose()->directory, "/home/u/.local/share/Drovik/Tolvi");
}

TEST_F(DataDirectoryTest, RemovableDriveKeepsDataBesideTheProgramDespiteTheMarker) {
  AddMarker();
  facts_.program_on_removable_drive = true;
  EXPECT_EQ(Choose()->kind, DataDirectoryKind::kBesideProgram);
}

TEST_F(DataDirectoryTest, ReadOnlyOrInstalledProgramUsesTheUserDataFolder) {
  facts_.program_directory_writable = false;
  EXPECT_EQ(Choose()->kind, DataDirectoryKind::kUserData);
  facts_.program_directory_writable = true;
  facts_.program_installed = true;
  EXPECT_EQ(Choose()->kind, DataDirectoryKind::kUserData);
}

TEST_F(DataDirectoryTest, OptionOverridesEverything) {
  facts_.data_dir_option = "/tmp/tolvi-test";
  EXPECT_EQ(Choose()->directory, "/tmp/tolvi-test");
  EXPECT_EQ(Choose()->kind, DataDirectoryKind::kOption);
}

TEST_F(DataDirectoryTest, WithoutAHomeOnlyAWritableProgramFolderRemains) {
  AddMarker();
  facts_.home.reset();
  EXPECT_EQ(Choose()->directory, kProgram);
  facts_.program_directory_writable = false;
  EXPECT_EQ(Choose(), std::nullopt);
  facts_.program_directory.clear();
  EXPECT_EQ(Choose(), std::nullopt);
}

TEST_F(DataDirectoryTest, PrepareCreatesTheFolderAndReportsFailure) {
  const DataDirectoryChoice choice{"/home/u/.local/share/Drovik/Tolvi",
                                   DataDirectoryKind::kUserData};
  EXPECT_TRUE(PrepareDataDirectory(files_, choice).ok());
  EXPECT_TRUE(files_.Exists("/home/u/.local/share/Drovik/Tolvi"));
  files_.FailAccess("/home/u/.local/share/Drovik/Tolvi");
  EXPECT_FALSE(PrepareDataDirectory(files_, choice).ok());
}

}  // namespace
}  // namespace tolvi
