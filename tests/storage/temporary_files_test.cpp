#include "storage/temporary_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "fakes/fake_file_system.h"

namespace tolvi {
namespace {

namespace fs = std::filesystem;

const fs::path kDir = "/home/user/.tolvi";

TEST(TemporaryFiles, RemovesOnlyTheTemporariesOfOurOwnFiles) {
  FakeFileSystem files;
  const std::vector<std::string> stale = {
      ".dTolvi.dat.tmp-Ab3xYz",
      ".TlvDB.lbf Bak.tmp-000000",
      ".dLog.txt Pending.tmp-q9Q9q9",
      ".TlvClose.jnl.tmp-zzzzzz",
  };
  const std::vector<std::string> kept = {
      ".dTolvi.dat.tmp-12",            // suffix too short
      ".dTolvi.dat.tmp-1234567",       // suffix too long
      ".dTolvi.dat.tmp-ab de",         // not what mkostemp writes
      ".notes.txt.tmp-abcdef",         // not one of ours
      "xdTolvi.dat.tmp-abcdef",        // not hidden
      ".dTolvi.dat.bak-abcdef",        // another infix
      ".TlvClose.jnl Bak.tmp-abcdef",  // no such backup
      ".x",                            // shorter than any temporary
  };
  for (const auto& name : stale) files.SetFile(kDir / name, "x");
  for (const auto& name : kept) files.SetFile(kDir / name, "x");

  std::vector<fs::path> removed = RemoveStaleTemporaryFiles(files, kDir);

  std::vector<fs::path> expected;
  for (const auto& name : stale) expected.push_back(kDir / name);
  std::sort(removed.begin(), removed.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(removed, expected);
  for (const auto& name : stale) EXPECT_FALSE(files.Exists(kDir / name)) << name;
  for (const auto& name : kept) EXPECT_TRUE(files.Exists(kDir / name)) << name;
}

TEST(TemporaryFiles, OneThatCannotBeRemovedIsNotReported) {
  FakeFileSystem files;
  files.SetFile(kDir / ".dLog.txt.tmp-aaaaaa", "x");
  files.SetFile(kDir / ".Text.txt.tmp-bbbbbb", "x");
  files.FailAccess(kDir / ".dLog.txt.tmp-aaaaaa");
  EXPECT_EQ(RemoveStaleTemporaryFiles(files, kDir),
            std::vector<fs::path>{kDir / ".Text.txt.tmp-bbbbbb"});
  EXPECT_TRUE(files.GetFile(kDir / ".dLog.txt.tmp-aaaaaa").has_value());
}

}  // namespace
}  // namespace tolvi
