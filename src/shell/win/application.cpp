#include "shell/win/application.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/program_files.h"
#include "engine/standard_hooks.h"
#include "platform/data_directory.h"
#include "platform/win/wide_text.h"
#include "platform/win/win_clock.h"
#include "platform/win/win_collator.h"
#include "platform/win/win_file_system.h"
#include "platform/win/win_random.h"
#include "platform/win/win_single_instance.h"
#include "reminders/phrases.h"
#include "reminders/win/win_question.h"
#include "shell/win/win_directories.h"
#include "shell/win/win_shell.h"
#include "shell/win/win_ui.h"
#include "state/core_context.h"

namespace tolvi::win {
namespace {

constexpr char kNotStarted[] = "Tolvi did not start, and changed nothing.";

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) {
    if (!joined.empty()) joined += '\n';
    joined += line;
  }
  return joined;
}

// Nothing has a window yet: the reason is told in a box of its own.
void TellAlone(const std::string& text) {
  std::fprintf(stderr, "tolvi: %s\n", text.c_str());
  const std::wstring wide = WideFromUtf8(text);
  ::MessageBoxW(nullptr, wide.c_str(), L"Tolvi 1.91", MB_OK | MB_ICONERROR | MB_TOPMOST);
}

// The ports of the running program; destroyed after the context.
struct Ports {
  WinFileSystem files;
  WinClock clock;
  WinRandom random;
  WinUi ui;
};

std::vector<std::string> AutostartCommand(const DirectoryFacts& facts) {
  std::vector<std::string> command;
  std::wstring name(MAX_PATH, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), MAX_PATH);
  name.resize(length);
  command.push_back(Utf8FromWide(name));
  if (facts.data_dir_option) {
    command.emplace_back("--data-dir");
    command.push_back(Utf8Path(*facts.data_dir_option));
  }
  return command;
}

void RunMessageLoop() {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace

int RunWindowsProgram(HINSTANCE instance, std::optional<std::filesystem::path> data_dir_option) {
  auto ports = std::make_unique<Ports>();
  const DirectoryFacts facts = GatherDirectoryFacts(std::move(data_dir_option));
  const std::optional<DataDirectoryChoice> data = ChooseDataDirectory(ports->files, facts);
  if (!data) {
    TellAlone("Tolvi found no folder for its data: use --data-dir.");
    return kExitNoDataDirectory;
  }
  if (const Status status = PrepareDataDirectory(ports->files, *data); !status.ok()) {
    TellAlone("Tolvi cannot create " + Utf8Path(data->directory) + ": " + status.message());
    return kExitNoDataDirectory;
  }
  InstanceMutexResult instance_mutex = AcquireInstanceMutex();
  if (instance_mutex.status == InstanceMutexStatus::kHeld) return kExitOk;  // the other goes on
  if (instance_mutex.status == InstanceMutexStatus::kUnavailable) {
    std::fprintf(stderr, "tolvi: running without the single-instance mutex: %s\n",
                 instance_mutex.error.c_str());
  }

  CoreContext context(CorePorts{ports->clock, ports->ui, ports->files, ports->random},
                      data->directory, facts.program_directory, WinUserCollator());
  InstallStandardHooks(context);
  const LoadResult loaded = LoadProgramFiles(context);
  if (loaded.outcome == LoadOutcome::kQuit) {
    if (!loaded.notices.empty()) TellAlone(JoinLines(loaded.notices) + "\n" + kNotStarted);
    return kExitOk;
  }

  ShellOptions options;
  options.instance = instance;
  options.phrases = LoadPhrases(ports->files, facts.program_directory, data->directory).phrases;
  options.autostart_command = AutostartCommand(facts);
  {
    WinShell shell(context, ports->ui, std::move(options));
    shell.Start();
    // One notice for all of them: a second balloon would hide the first.
    if (!loaded.notices.empty()) ports->ui.Notify(JoinLines(loaded.notices));
    RunMessageLoop();
    shell.Finish();
  }
  LeaveLockDesktop();  // however the loop ended, the user's desktop is shown again
  if (const Status saved = SaveProgramFiles(context); !saved.ok()) {
    TellAlone("Tolvi cannot save its data: " + saved.message());
  }
  return kExitOk;
}

}  // namespace tolvi::win
