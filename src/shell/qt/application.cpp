#include "shell/qt/application.h"

#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/program_files.h"
#include "engine/standard_hooks.h"
#include "platform/data_directory.h"
#include "platform/idle_clock.h"
#include "platform/linux/desktop_directories.h"
#include "platform/linux/idle_chooser.h"
#include "platform/linux/termination_signals.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_random.h"
#include "platform/posix/single_instance.h"
#include "reminders/phrases.h"
#include "shell/export_command.h"
#include "shell/qt/desktop_shell.h"
#include "shell/qt/icons.h"
#include "shell/qt/qt_ui.h"
#include "state/core_context.h"
#include "storage/program_data_file.h"

namespace tolvi {
namespace {

constexpr char kNoIdleTitle[] = "Tolvi cannot see idle time here";
constexpr char kNoIdleText[] =
    "Neither the X screen saver nor a desktop idle service answered, so Tolvi counts you as "
    "working until you choose On Break or Away yourself.";

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) {
    if (!joined.empty()) joined += '\n';
    joined += line;
  }
  return joined;
}

constexpr char kNotStarted[] = "Tolvi did not start, and changed nothing.";
constexpr char kNotStartedOk[] = "OK";
constexpr char kNotStartedOpenFolder[] = "Open Data Folder";

// The ports of the running program. Members are destroyed after the
// context that borrows them.
struct Ports {
  PosixFileSystem files;
  PosixClock posix_clock;
  IdleClock clock{posix_clock, ChooseIdleSource(DetectSession(), posix_clock)};
  PosixRandom random;
  QtUi ui;
};

std::vector<std::string> AutostartArguments(const DirectoryFacts& facts) {
  if (!facts.data_dir_option) return {};
  return {"--data-dir", facts.data_dir_option->string()};
}

class Program {
 public:
  explicit Program(std::optional<std::filesystem::path> data_dir_option)
      : data_dir_option_(std::move(data_dir_option)) {}
  int Run();

 private:
  int RunWith(const DirectoryFacts& facts, const DataDirectoryChoice& data);
  // The load ended the program: a desktop user sees no terminal, so the
  // reasons are shown in a window too.
  void TellWhyNotStarted(const std::vector<std::string>& notices,
                         const std::filesystem::path& data_directory);

  std::optional<std::filesystem::path> data_dir_option_;
  std::unique_ptr<Ports> ports_;
  std::unique_ptr<CoreContext> context_;
  std::unique_ptr<DesktopShell> shell_;
};

int Program::Run() {
  ports_ = std::make_unique<Ports>();
  const DirectoryFacts facts = GatherDirectoryFacts(data_dir_option_);
  const std::optional<DataDirectoryChoice> data = ChooseDataDirectory(ports_->files, facts);
  if (!data) {
    std::fprintf(stderr, "tolvi: no data directory: set HOME or use --data-dir\n");
    return kExitNoDataDirectory;
  }
  if (const Status status = PrepareDataDirectory(ports_->files, *data); !status.ok()) {
    std::fprintf(stderr, "tolvi: cannot create %s: %s\n", data->directory.c_str(),
                 status.message().c_str());
    return kExitNoDataDirectory;
  }
  InstanceResult instance = AcquireSingleInstance(DefaultInstanceLockPath());
  if (instance.status == InstanceStatus::kHeld) return kExitOk;  // the other copy goes on
  if (instance.status == InstanceStatus::kUnavailable) {
    std::fprintf(stderr, "tolvi: running without the single-instance lock: %s\n",
                 instance.error.c_str());
  }
  return RunWith(facts, *data);
}

int Program::RunWith(const DirectoryFacts& facts, const DataDirectoryChoice& data) {
  const std::filesystem::path resources = ResourceDirectory(facts);
  context_ = std::make_unique<CoreContext>(
      CorePorts{ports_->clock, ports_->ui, ports_->files, ports_->random}, data.directory,
      resources);
  InstallStandardHooks(*context_);
  const LoadResult loaded = LoadProgramFiles(*context_);
  if (loaded.outcome == LoadOutcome::kQuit) {
    TellWhyNotStarted(loaded.notices, data.directory);
    return kExitOk;
  }

  ShellOptions options;
  options.program_icon = ProgramIcon();
  options.phrases = LoadPhrases(ports_->files, resources, data.directory).phrases;
  options.autostart_arguments = AutostartArguments(facts);
  options.bus_service = true;
  shell_ = std::make_unique<DesktopShell>(*context_, ports_->ui, std::move(options));
  shell_->Start();
  if (!ports_->clock.has_idle_source()) shell_->Tell(kNoIdleTitle, kNoIdleText);
  // One notice for all of them: a second balloon would hide the first.
  if (!loaded.notices.empty()) ports_->ui.Notify(JoinLines(loaded.notices));

  TerminationSignals termination;
  QObject::connect(&termination, &TerminationSignals::Received, shell_.get(),
                   [this](int) { shell_->RequestExit(); });
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, shell_.get(),
                   [this](QSessionManager&) { SaveProgramFilesOrTell(*context_); });

  QApplication::exec();
  shell_->Finish();
  if (const Status saved = SaveProgramFiles(*context_); !saved.ok()) {
    std::fprintf(stderr, "tolvi: cannot save the program data: %s\n", saved.message().c_str());
  }
  return kExitOk;
}

void Program::TellWhyNotStarted(const std::vector<std::string>& notices,
                                const std::filesystem::path& data_directory) {
  for (const std::string& notice : notices) std::fprintf(stderr, "tolvi: %s\n", notice.c_str());
  if (notices.empty()) return;
  Question question;
  question.message = JoinLines(notices) + "\n" + kNotStarted;
  question.first_button = kNotStartedOk;
  question.second_button = kNotStartedOpenFolder;
  question.font = QuestionFont::kSmall;
  question.has_owner = false;
  if (ports_->ui.Ask(question) == 2) ports_->ui.OpenWithDefaultApp(data_directory);
}

}  // namespace

int RunExport(ExportFormat format, std::optional<std::filesystem::path> data_dir_option) {
  PosixFileSystem files;
  const ExportOutcome outcome =
      RunExportCommand(files, GatherDirectoryFacts(std::move(data_dir_option)), format);
  if (!outcome.errors.empty()) std::fputs(outcome.errors.c_str(), stderr);
  if (outcome.exit_code != kExitOk) return outcome.exit_code;
  return std::fwrite(outcome.out.data(), 1, outcome.out.size(), stdout) != outcome.out.size() ||
                 std::fflush(stdout) != 0
             ? 1
             : kExitOk;
}

int RunDesktopProgram(std::optional<std::filesystem::path> data_dir_option) {
  Program program(std::move(data_dir_option));
  return program.Run();
}

}  // namespace tolvi
