#include "shell/remote_protocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tolvi {
namespace {

RemoteRequest Request(RemoteAction action, StatusFormat format = StatusFormat::kText,
                      std::string work_type = {}) {
  return {action, format, std::move(work_type)};
}

// What the hooks were asked to do.
struct Recorder {
  Recorder() {
    hooks.command = [this](std::uint32_t id) { commands.push_back(id); };
    hooks.choose_work_type = [this](const std::string& name) {
      chosen.push_back(name);
      return name == "Client A";
    };
    hooks.show_window = [this] { ++shown; };
  }
  RemoteHooks hooks;
  std::vector<std::uint32_t> commands;
  std::vector<std::string> chosen;
  int shown = 0;
};

StatusReport Report() {
  StatusReport report;
  report.mode = ActivityMode::kAtMeeting;
  report.work_type = "Client A";
  report.tooltip = "At a meeting\nClient A: 0:10/1:00 hours";
  return report;
}

TEST(RemoteProtocol, ParsesTheLinesAScriptWrites) {
  const struct {
    const char* line;
    RemoteRequest request;
  } kCases[] = {
      {"status", Request(RemoteAction::kStatus)},
      {"status json", Request(RemoteAction::kStatus, StatusFormat::kJson)},
      {"watch waybar", Request(RemoteAction::kWatch, StatusFormat::kWaybar)},
      {"working", Request(RemoteAction::kWorking)},
      {"break", Request(RemoteAction::kOnBreak)},
      {"away", Request(RemoteAction::kAway)},
      {"meeting\r", Request(RemoteAction::kAtMeeting)},
      {"reset-reminder", Request(RemoteAction::kResetReminder)},
      {"work-type Client A ", Request(RemoteAction::kWorkType, StatusFormat::kText, "Client A ")},
      {"show", Request(RemoteAction::kShowWindow)},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(ParseRequest(c.line), c.request) << c.line;
    // What the client sends is read back as the same request.
    EXPECT_EQ(ParseRequest(RequestLine(c.request)), c.request) << c.line;
  }
}

TEST(RemoteProtocol, RefusesLinesThatAreNoRequest) {
  for (const char* line : {"", "dance", "STATUS", "status xml", "status json extra", "working now",
                           "work-type", "work-type ", " status"}) {
    EXPECT_EQ(ParseRequest(line), std::nullopt) << '"' << line << '"';
  }
}

TEST(RemoteProtocol, TheCommandLineMakesTheRequestOfItsOption) {
  CommandLine line;
  line.remote = RemoteAction::kWatch;
  line.format = StatusFormat::kJson;
  EXPECT_EQ(RequestLine(RequestFor(line)), "watch json");
  line.remote = RemoteAction::kWorkType;
  line.format = StatusFormat::kText;
  line.work_type = "Proj B";
  EXPECT_EQ(RequestLine(RequestFor(line)), "work-type Proj B");
}

TEST(RemoteProtocol, ModeActionsChooseTheirTrayMenuEntry) {
  const struct {
    RemoteAction action;
    std::uint32_t command;
  } kCases[] = {
      {RemoteAction::kWorking, 2008},       {RemoteAction::kOnBreak, 2007},
      {RemoteAction::kAway, 2006},          {RemoteAction::kAtMeeting, 2010},
      {RemoteAction::kResetReminder, 2004},
  };
  for (const auto& c : kCases) {
    Recorder recorder;
    EXPECT_EQ(AnswerRequest(Request(c.action), recorder.hooks, Report()), "ok");
    EXPECT_EQ(recorder.commands, std::vector<std::uint32_t>{c.command});
  }
}

TEST(RemoteProtocol, ShowAsksForTheWindowAndNoCommand) {
  Recorder recorder;
  EXPECT_EQ(AnswerRequest(Request(RemoteAction::kShowWindow), recorder.hooks, Report()), "ok");
  EXPECT_EQ(recorder.shown, 1);
  EXPECT_TRUE(recorder.commands.empty());
}

TEST(RemoteProtocol, AnUnknownWorkTypeIsAnErrorAKnownOneIsChosen) {
  Recorder recorder;
  EXPECT_EQ(AnswerRequest(Request(RemoteAction::kWorkType, StatusFormat::kText, "Nobody"),
                          recorder.hooks, Report()),
            "error there is no work type named \"Nobody\"");
  EXPECT_EQ(AnswerRequest(Request(RemoteAction::kWorkType, StatusFormat::kText, "Client A"),
                          recorder.hooks, Report()),
            "ok");
  EXPECT_EQ(recorder.chosen, (std::vector<std::string>{"Nobody", "Client A"}));
  EXPECT_TRUE(recorder.commands.empty());
}

TEST(RemoteProtocol, StatusAnswersCarryTheLineInTheAskedFormat) {
  Recorder recorder;
  EXPECT_EQ(AnswerRequest(Request(RemoteAction::kStatus), recorder.hooks, Report()),
            "ok At a meeting Client A: 0:10/1:00 hours");
  EXPECT_EQ(
      AnswerRequest(Request(RemoteAction::kWatch, StatusFormat::kWaybar), recorder.hooks, Report()),
      "ok {\"text\":\"At Meeting\",\"tooltip\":\"At a meeting\\nClient A: 0:10/1:00 "
      "hours\",\"class\":\"at-meeting\",\"alt\":\"at-meeting\"}");
  EXPECT_TRUE(recorder.commands.empty());
}

TEST(RemoteProtocol, AnUnknownRequestIsAnErrorAndDoesNothing) {
  Recorder recorder;
  EXPECT_EQ(AnswerRequest(std::nullopt, recorder.hooks, Report()), "error unknown request");
  EXPECT_TRUE(recorder.commands.empty());
  EXPECT_TRUE(recorder.chosen.empty());
}

TEST(RemoteProtocol, FollowersHearOfWhatShowsNotOfRunningCounters) {
  const StatusReport before = Report();
  StatusReport counters = before;
  counters.seconds_until_break += 5;
  counters.work_today_seconds += 5;
  counters.micro_break_seconds = 30;
  counters.target_left_seconds = 100;
  EXPECT_FALSE(ShowsChange(before, counters));
  StatusReport tooltip = before;
  tooltip.tooltip += "!";
  EXPECT_TRUE(ShowsChange(before, tooltip));
  StatusReport mode = before;
  mode.mode = ActivityMode::kAway;
  EXPECT_TRUE(ShowsChange(before, mode));
  StatusReport work_type = before;
  work_type.work_type = "Proj B";
  EXPECT_TRUE(ShowsChange(before, work_type));
  StatusReport countdown = before;
  countdown.counting_down = true;
  EXPECT_TRUE(ShowsChange(before, countdown));
}

}  // namespace
}  // namespace tolvi
