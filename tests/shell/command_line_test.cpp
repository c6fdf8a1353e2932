#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace tolvi {
namespace {

struct Case {
  std::vector<std::string> arguments;
  std::optional<std::filesystem::path> data_dir;
  bool help;
  bool version;
  bool error;
};

TEST(CommandLineTest, ReadsEachOptionAndReportsWhatItDoesNotKnow) {
  const std::vector<Case> cases = {
      {{}, std::nullopt, false, false, false},
      {{"--data-dir", "/d"}, "/d", false, false, false},
      {{"--data-dir=/d e"}, "/d e", false, false, false},
      {{"--data-dir", "--version"}, "--version", false, false, false},
      {{"-v"}, std::nullopt, false, true, false},
      {{"--help", "--version"}, std::nullopt, true, true, false},
      {{"--data-dir"}, std::nullopt, false, false, true},
      {{"--data-dir="}, std::nullopt, false, false, true},
      // Qt's own options are still there on the first reading: help and
      // version are found all the same.
      {{"-platform", "xcb", "-h"}, std::nullopt, true, false, true},
  };
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.arguments);
    const std::string label = c.arguments.empty() ? "(none)" : c.arguments.front();
    EXPECT_EQ(line.data_dir, c.data_dir) << label;
    EXPECT_EQ(line.help, c.help) << label;
    EXPECT_EQ(line.version, c.version) << label;
    EXPECT_EQ(!line.error.empty(), c.error) << label;
  }
  EXPECT_EQ(ParseCommandLine({"-x"}).error, "unknown argument '-x'");
}

}  // namespace
}  // namespace tolvi
