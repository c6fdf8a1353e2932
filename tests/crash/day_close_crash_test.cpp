// A child process closes one day after another on real files, saving and
// backing up between the closes, and is killed at a random moment. After
// every kill a fresh start on the same directory must find each day closed
// exactly once: the day lines, TotalDays and every work type's total agree,
// and no work type is lost or doubled. Then the next child goes on from
// there. Only the kill timing is random; TOLVI_CRASH_SEED repeats a run.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "accounting/work_type_record.h"
#include "accounting/work_types.h"
#include "engine/day_check.h"
#include "engine/day_rollover.h"
#include "engine/program_files.h"
#include "fakes/fake_clock.h"
#include "fakes/recording_ui.h"
#include "fakes/scripted_random.h"
#include "platform/posix/posix_file_system.h"
#include "storage/close_journal.h"
#include "storage/program_data_file.h"
#include "text/text.h"

namespace tolvi {
namespace {

namespace fs = std::filesystem;
namespace field = work_type_field;

constexpr int kKills = 60;
constexpr int kMaxDelayMs = 150;
constexpr std::uint32_t kBaseStamp = 31'000'000;
constexpr std::uint32_t kLastDay = 3'000;  // keeps the log far below rotation
constexpr int kWorkTypes = 10;

std::string TypeName(std::uint32_t n) {
  return "Type " + std::to_string(n);
}

// Day `index` after 1 January 2026, just after midnight; one stamp day each.
void SetDay(FakeClock& clock, std::uint32_t index) {
  using namespace std::chrono;
  const year_month_day date{sys_days{year{2026} / January / 1} + days{index}};
  clock.SetLocalTime(static_cast<int>(date.year()), static_cast<int>(unsigned{date.month()}),
                     static_cast<int>(unsigned{date.day()}), 0, 0, 30);
  clock.SetFileTimeHigh(kBaseStamp + index * kStampUnitsPerDay);
}

std::string DayDate(std::uint32_t index) {
  FakeClock clock;
  SetDay(clock, index);
  return clock.LongDate(clock.Now());
}

// The work the child books on the day it closes as `index`: one type gets
// (index + 1) tenths of a minute, so each total tells how often it closed.
std::uint32_t ExpectedTotal(std::uint32_t type, std::uint32_t closed_days) {
  std::uint32_t total = 0;
  for (std::uint32_t day = type; day < closed_days; day += kWorkTypes) total += day + 1;
  return total;
}

struct Program {
  explicit Program(const fs::path& directory)
      : context(CorePorts{clock, ui, files, random}, directory, directory) {
    InstallDayRollover(context, [] { _exit(3); });
  }

  std::optional<std::int32_t> FindType(const std::string& name) {
    for (const std::int32_t id : context.records.LiveRecords()) {
      if (context.records.ReadText(id, field::kName) == name) return id;
    }
    return std::nullopt;
  }
  std::uint32_t TotalDays() {
    const StateLock lock(context.state.mutex);
    return context.state.data.total_days;
  }

  FakeClock clock;
  RecordingUi ui;
  PosixFileSystem files;
  ScriptedRandom random;
  CoreContext context;
};

// The first run, in the test process: ten named types, day 0 open, saved.
void FirstRun(const fs::path& directory) {
  Program program(directory);
  SetDay(program.clock, 0);
  ASSERT_EQ(LoadProgramFiles(program.context).outcome, LoadOutcome::kReady);
  std::vector<std::int32_t> ids = program.context.records.LiveRecords();
  ASSERT_EQ(ids.size(), static_cast<std::size_t>(kWorkTypes));
  for (std::uint32_t n = 0; n < kWorkTypes; ++n) {
    ASSERT_TRUE(program.context.records.WriteText(ids[n], field::kName, TypeName(n)).ok());
  }
  {
    const StateLock lock(program.context.state.mutex);
    program.context.state.data.last_close_stamp = kBaseStamp;
  }
  ASSERT_TRUE(SaveProgramFiles(program.context).ok());
}

// The child: start as the program does, then close day after day.
[[noreturn]] void CloseDaysUntilKilled(const fs::path& directory) {
  Program program(directory);
  SetDay(program.clock, 0);
  if (LoadProgramFiles(program.context).outcome != LoadOutcome::kReady) _exit(4);
  CoreContext& context = program.context;
  for (;;) {
    const std::uint32_t open_day = program.TotalDays();
    if (open_day >= kLastDay) _exit(0);
    const std::optional<std::int32_t> id = program.FindType(TypeName(open_day % kWorkTypes));
    if (!id) _exit(5);
    {
      const StateLock lock(context.state.mutex);
      // Rewritten whole, so a restart books the same again; then cached, as
      // the current work type's time is.
      if (!context.records.WriteNumber(*id, field::kToday, (open_day + 1) * 6'000).ok()) _exit(7);
      LoadCurrentWorkType(context.state, context.records);
      context.state.data.break_today_ms = 60'000;
    }
    SetDay(program.clock, open_day + 1);
    RunDayCheck(context);
    if (!SaveProgramFiles(context).ok()) _exit(6);
    {
      const StateLock lock(context.state.mutex);
      (void)BackupDataFiles(context.files, context.records, context.data_directory);
    }
  }
}

std::vector<std::string> DayLines(const std::string& log) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2) {
    const std::string line = log.substr(start, end - start);
    if (line.find(" : Work: ") != std::string::npos) lines.push_back(line);
  }
  return lines;
}

// A fresh start on what the child left: each day closed exactly once.
// Returns the days closed so far.
std::uint32_t CheckAfterKill(const fs::path& directory) {
  Program program(directory);
  SetDay(program.clock, 0);
  EXPECT_EQ(LoadProgramFiles(program.context).outcome, LoadOutcome::kReady);
  const std::uint32_t days = program.TotalDays();
  SetDay(program.clock, days);
  RunDayCheck(program.context);  // the day it finds open is today: no close
  EXPECT_EQ(program.TotalDays(), days);
  EXPECT_FALSE(program.files.Exists(CloseJournalPath(directory)));

  // Ten live records that hold all ten names: none lost, none doubled.
  EXPECT_EQ(program.context.records.live_count(), static_cast<std::uint32_t>(kWorkTypes));
  for (std::uint32_t n = 0; n < kWorkTypes; ++n) {
    const std::optional<std::int32_t> id = program.FindType(TypeName(n));
    if (!id) {
      ADD_FAILURE() << TypeName(n) << " is lost";
      continue;
    }
    EXPECT_EQ(program.context.records.ReadNumber(*id, field::kTotal), ExpectedTotal(n, days))
        << TypeName(n) << " after " << days << " days";
  }

  std::string log;
  if (days > 0) {
    EXPECT_TRUE(program.files.ReadFile(directory / "dLog.txt", &log).ok());
  }
  const std::vector<std::string> lines = DayLines(log);
  EXPECT_EQ(lines.size(), days);
  for (std::uint32_t day = 0; day < lines.size() && day < days; ++day) {
    EXPECT_EQ(lines[day].rfind(DayDate(day), 0), 0u) << "line " << day << " of\n" << log;
  }
  return days;
}

std::uint32_t Seed() {
  if (const char* text = std::getenv("TOLVI_CRASH_SEED")) {
    return static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10));
  }
  return std::random_device{}();
}

TEST(DayCloseCrash, EveryDayIsClosedExactlyOnceWhereverTheProgramIsKilled) {
  const std::uint32_t seed = Seed();
  SCOPED_TRACE("TOLVI_CRASH_SEED=" + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> delay_ms(1, kMaxDelayMs);

  std::string pattern = (fs::temp_directory_path() / "tolvi-crash-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path directory = pattern;
  FirstRun(directory);

  std::uint32_t days = 0;
  for (int kill = 0; kill < kKills && !::testing::Test::HasFailure(); ++kill) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) CloseDaysUntilKilled(directory);
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
        << "the child failed with " << status;
    SCOPED_TRACE("kill " + std::to_string(kill));
    const std::uint32_t now = CheckAfterKill(directory);
    EXPECT_GE(now, days);
    days = now;
  }
  std::printf("%u days closed, seed %u\n", days, seed);
  EXPECT_GT(days, 0u);
  std::error_code ignored;
  fs::remove_all(directory, ignored);
}

}  // namespace
}  // namespace tolvi
