#include "platform/data_directory.h"

#include <gtest/gtest.h>

#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

const std::filesystem::path kProgram = "/home/u/apps/tolvi";
const std::filesystem::path kUserFolder = "/home/u/.local/share/Drovik/Tolvi";
using enum DataDirectoryKind;

class DataDirectoryTest : public ::testing::Test {
 protected:
  DataDirectoryTest() {
    facts_.program_directory = kProgram;
    facts_.program_directory_writable = true;
    facts_.home = "/home/u";
  }
  void AddMarker() { files_.SetFile(kProgram / "DefSet.txt", ""); }
  void ExpectChoice(const std::filesystem::path& directory, DataDirectoryKind kind) {
    const std::optional<DataDirectoryChoice> choice = ChooseDataDirectory(files_, facts_);
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->directory, directory);
    EXPECT_EQ(choice->kind, kind);
  }

  DirectoryFacts facts_;
  FakeFileSystem files_;
};

TEST_F(DataDirectoryTest, TheMarkerMovesDataFromBesideTheProgramToTheUserDataFolder) {
  ExpectChoice(kProgram, kBesideProgram);
  AddMarker();
  ExpectChoice(kUserFolder, kUserData);
}

TEST_F(DataDirectoryTest, XdgDataHomeReplacesTheDefaultWhenAbsolute) {
  AddMarker();
  facts_.xdg_data_home = "/data/xdg";
  ExpectChoice("/data/xdg/Drovik/Tolvi", kUserData);
  facts_.xdg_data_home = "relative/xdg";
  ExpectChoice(kUserFolder, kUserData);
}

TEST_F(DataDirectoryTest, RemovableDriveKeepsDataBesideTheProgramDespiteTheMarker) {
  AddMarker();
  facts_.program_on_removable_drive = true;
  ExpectChoice(kProgram, kBesideProgram);
}

TEST_F(DataDirectoryTest, ReadOnlyOrInstalledProgramUsesTheUserDataFolder) {
  facts_.program_directory_writable = false;
  ExpectChoice(kUserFolder, kUserData);
  facts_.program_directory_writable = true;
  facts_.program_installed = true;
  ExpectChoice(kUserFolder, kUserData);
}

TEST_F(DataDirectoryTest, OptionOverridesEverything) {
  AddMarker();
  facts_.data_dir_option = "/tmp/tolvi-test";
  ExpectChoice("/tmp/tolvi-test", kOption);
}

TEST_F(DataDirectoryTest, WithoutAHomeOnlyAWritableProgramFolderRemains) {
  AddMarker();
  facts_.home.reset();
  ExpectChoice(kProgram, kBesideProgram);
  facts_.program_directory_writable = false;
  EXPECT_EQ(ChooseDataDirectory(files_, facts_), std::nullopt);
  facts_.program_directory.clear();
  EXPECT_EQ(ChooseDataDirectory(files_, facts_), std::nullopt);
}

TEST_F(DataDirectoryTest, PrepareCreatesTheFolderAndReportsFailure) {
  const DataDirectoryChoice choice{kUserFolder, kUserData};
  EXPECT_TRUE(PrepareDataDirectory(files_, choice).ok());
  EXPECT_TRUE(files_.Exists(kUserFolder));
  files_.FailAccess(kUserFolder);
  EXPECT_FALSE(PrepareDataDirectory(files_, choice).ok());
}

}  // namespace
}  // namespace tolvi
