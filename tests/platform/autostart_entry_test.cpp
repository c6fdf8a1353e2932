#include "platform/autostart_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvi {
namespace {

struct QuoteCase {
  std::string argument;
  std::string quoted;
};

class ExecQuoting : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(ExecQuoting, QuotesAndEscapesOneArgument) {
  EXPECT_EQ(QuoteExecArgument(GetParam().argument), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ExecQuoting,
    ::testing::Values(QuoteCase{"/usr/bin/tolvi", "\"/usr/bin/tolvi\""},
                      QuoteCase{"/opt/My Apps/tolvi", "\"/opt/My Apps/tolvi\""},
                      QuoteCase{"/a\"b", "\"/a\\\"b\""}, QuoteCase{"/a`b", "\"/a\\`b\""},
                      QuoteCase{"/a$HOME", "\"/a\\$HOME\""}, QuoteCase{"/a\\b", "\"/a\\\\b\""},
                      QuoteCase{"/100%/x", "\"/100%%/x\""},
                      QuoteCase{"/it's;(1)&|<>~*?#", "\"/it's;(1)&|<>~*?#\""}));

TEST(ExecValue, AppliesTheStringEscapesAfterQuoting) {
  // A literal backslash ends up as four, a dollar as two backslashes and $.
  const std::vector<std::string> command = {"/home/a b/t\\o$lvi"};
  EXPECT_EQ(ExecValue(command), "\"/home/a b/t\\\\\\\\o\\\\$lvi\"");
}

TEST(ExecValue, SeparatesArgumentsBySpaces) {
  const std::vector<std::string> command = {"/usr/bin/tolvi", "--data-dir", "/data/my dir"};
  EXPECT_EQ(ExecValue(command), "\"/usr/bin/tolvi\" \"--data-dir\" \"/data/my dir\"");
}

TEST(ExecValue, RefusesWhatADesktopEntryCannotHold) {
  EXPECT_EQ(ExecValue(std::vector<std::string>{std::string("/a\xff", 3)}), std::nullopt);
  EXPECT_EQ(ExecValue(std::vector<std::string>{std::string("/a\0b", 4)}), std::nullopt);
  EXPECT_EQ(ExecValue(std::vector<std::string>{"/a\nb"}), "\"/a\\nb\"");
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
