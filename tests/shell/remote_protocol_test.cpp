#include "shell/remote_protocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
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

TEST(RemoteProtocol, AnswersAndDoesOnlyWhatTheRequestAsks) {
  using A = RemoteAction;
  const struct {
    std::optional<RemoteRequest> request;
    const char* answer;
    std::vector<std::uint32_t> commands;  // the tray menu entries chosen
    std::vector<std::string> chosen;
    int shown;
  } cases[] = {
      {Request(A::kWorking), "ok", {2008}, {}, 0},
      {Request(A::kOnBreak), "ok", {2007}, {}, 0},
      {Request(A::kAway), "ok", {2006}, {}, 0},
      {Request(A::kAtMeeting), "ok", {2010}, {}, 0},
      {Request(A::kResetReminder), "ok", {2004}, {}, 0},
      {Request(A::kShowWindow), "ok", {}, {}, 1},
      {Request(A::kWorkType, StatusFormat::kText, "Nobody"),
       "error there is no work type named \"Nobody\"",
       {},
       {"Nobody"},
       0},
      {Request(A::kWorkType, StatusFormat::kText, "Client A"), "ok", {}, {"Client A"}, 0},
      {Request(A::kStatus), "ok At a meeting Client A: 0:10/1:00 hours", {}, {}, 0},
      {Request(A::kWatch, StatusFormat::kWaybar),
       "ok {\"text\":\"At Meeting\",\"tooltip\":\"At a meeting\\nClient A: 0:10/1:00 "
       "hours\",\"class\":\"at-meeting\",\"alt\":\"at-meeting\"}",
       {},
       {},
       0},
      {std::nullopt, "error unknown request", {}, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request ? RequestLine(*c.request) : "(none)");
    Recorder recorder;
    EXPECT_EQ(AnswerRequest(c.request, recorder.hooks, Report()), c.answer);
    EXPECT_EQ(recorder.commands, c.commands);
    EXPECT_EQ(recorder.chosen, c.chosen);
    EXPECT_EQ(recorder.shown, c.shown);
  }
}

TEST(RemoteProtocol, FollowersHearOfWhatShowsNotOfRunningCounters) {
  const StatusReport before = Report();
  StatusReport counters = before;
  counters.seconds_until_break += 5;
  counters.work_today_seconds += 5;
  counters.micro_break_seconds = 30;
  counters.target_left_seconds = 100;
  EXPECT_FALSE(ShowsChange(before, counters));
  using Change = void (*)(StatusReport&);
  for (const Change change : {+[](StatusReport& r) { r.tooltip += "!"; },
                              +[](StatusReport& r) { r.mode = ActivityMode::kAway; },
                              +[](StatusReport& r) { r.work_type = "Proj B"; },
                              +[](StatusReport& r) { r.counting_down = true; }}) {
    StatusReport after = before;
    change(after);
    EXPECT_TRUE(ShowsChange(before, after));
  }
}

}  // namespace
}  // namespace tolvi
