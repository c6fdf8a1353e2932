#include "platform/autostart_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvi {
namespace {

TEST(ExecQuoting, QuotesAndEscapesOneArgument) {
  const std::pair<std::string, std::string> cases[] = {
      {"/a\"b", "\"/a\\\"b\""},     {"/a`b", "\"/a\\`b\""},
      {"/a$HOME", "\"/a\\$HOME\""}, {"/a\\b", "\"/a\\\\b\""},
      {"/100%/x", "\"/100%%/x\""},  {"/it's;(1)&|<>~*?#", "\"/it's;(1)&|<>~*?#\""}};
  for (const auto& [argument, quoted] : cases) EXPECT_EQ(QuoteExecArgument(argument), quoted);
}

TEST(ExecValue, JoinsQuotedArgumentsAndAppliesTheStringEscapesOrRefuses) {
  const std::pair<std::vector<std::string>, std::optional<std::string>> cases[] = {
      {{"/usr/bin/tolvi", "--data-dir", "/data/my dir"},
       "\"/usr/bin/tolvi\" \"--data-dir\" \"/data/my dir\""},
      // A literal backslash ends up as four, a dollar as two backslashes and $.
      {{"/home/a b/t\\o$lvi"}, "\"/home/a b/t\\\\\\\\o\\\\$lvi\""},
      {{"/a\nb"}, "\"/a\\nb\""},
      // What a desktop entry cannot hold.
      {{std::string("/a\xff", 3)}, std::nullopt},
      {{std::string("/a\0b", 4)}, std::nullopt}};
  for (const auto& [command, value] : cases) EXPECT_EQ(ExecValue(command), value) << command[0];
}

TEST(AutostartEntry, IsADesktopEntryRunningTheProgram) {
  const std::vector<std::string> command = {"/opt/Tolvi/tolvi"};
  EXPECT_EQ(AutostartEntryText(command),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Tolvi\n"
            "Comment=Break reminder and work logger\n"
            "Icon=tolvi\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n"
            "Exec=\"/opt/Tolvi/tolvi\"\n");
  EXPECT_EQ(AutostartEntryText(std::vector<std::string>{}), std::nullopt);
}

}  // namespace
}  // namespace tolvi
