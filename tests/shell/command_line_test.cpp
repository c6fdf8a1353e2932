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

struct RemoteCase {
  std::vector<std::string> arguments;
  std::optional<RemoteAction> remote;
  StatusFormat format;
  std::optional<ExportFormat> export_format;
  bool error;
};

TEST(CommandLineTest, ReadsTheRemoteControlsAndTheExportAndRefusesMixtures) {
  using R = RemoteAction;
  using F = StatusFormat;
  const std::vector<RemoteCase> cases = {
      {{"--status"}, R::kStatus, F::kText, std::nullopt, false},
      {{"--status", "--json"}, R::kStatus, F::kJson, std::nullopt, false},
      {{"--watch", "--format=waybar"}, R::kWatch, F::kWaybar, std::nullopt, false},
      {{"--watch", "--format", "json"}, R::kWatch, F::kJson, std::nullopt, false},
      {{"--break"}, R::kOnBreak, F::kText, std::nullopt, false},
      {{"--meeting"}, R::kAtMeeting, F::kText, std::nullopt, false},
      {{"--export", "csv", "--data-dir", "/d"}, std::nullopt, F::kText, ExportFormat::kCsv, false},
      {{"--export=json"}, std::nullopt, F::kText, ExportFormat::kJson, false},
      // A watch needs a machine format; --json belongs to the status.
      {{"--watch"}, R::kWatch, F::kText, std::nullopt, true},
      {{"--working", "--json"}, R::kWorking, F::kJson, std::nullopt, true},
      {{"--working", "--away"}, R::kAway, F::kText, std::nullopt, true},
      {{"--status", "--export", "csv"}, R::kStatus, F::kText, ExportFormat::kCsv, true},
      {{"--export", "xml"}, std::nullopt, F::kText, std::nullopt, true},
      {{"--status", "--format", "yaml"}, R::kStatus, F::kText, std::nullopt, true},
      {{"--work-type"}, R::kWorkType, F::kText, std::nullopt, true},
  };
  for (const RemoteCase& c : cases) {
    const CommandLine line = ParseCommandLine(c.arguments);
    const std::string label = c.arguments.front() + " " + c.arguments.back();
    EXPECT_EQ(line.remote, c.remote) << label;
    EXPECT_EQ(line.format, c.format) << label;
    EXPECT_EQ(line.export_format, c.export_format) << label;
    EXPECT_EQ(!line.error.empty(), c.error) << label << ": " << line.error;
  }
  const CommandLine named = ParseCommandLine({"--work-type", "Proj A"});
  EXPECT_EQ(named.remote, RemoteAction::kWorkType);
  EXPECT_EQ(named.work_type, "Proj A");
  EXPECT_EQ(ParseCommandLine({"--work-type=--b"}).work_type, "--b");
}

}  // namespace
}  // namespace tolvi
