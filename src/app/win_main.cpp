// tolvi.exe: the Windows program. Everything happens in RunWindowsProgram
// (shell/win/application.h); this reads the command line. --help and
// --version print to the console the program was started from, or show a
// message box when there is none. The remote controls and --export print
// there too, byte for byte (no line-end translation), and never start the
// program.
#include <windows.h>
// windows.h first: this needs its types.
#include <shellapi.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/win/wide_text.h"
#include "platform/win/win_file_system.h"
#include "shell/command_line.h"
#include "shell/export_command.h"
#include "shell/win/application.h"
#include "shell/win/remote_client.h"
#include "shell/win/win_directories.h"

namespace {

std::vector<std::string> Arguments() {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (words == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(tolvi::Utf8FromWide(words[i]));
  ::LocalFree(words);
  return arguments;
}

// The console the program was started from, or the handles it was given:
// a GUI program has none of its own.
bool HasConsole() {
  static const bool has =
      ::AttachConsole(ATTACH_PARENT_PROCESS) != 0 || ::GetStdHandle(STD_OUTPUT_HANDLE) != nullptr;
  return has;
}

// All of text on standard output or standard error, as raw bytes.
bool Write(DWORD which, std::string_view text) {
  if (!HasConsole()) return false;
  HANDLE out = ::GetStdHandle(which);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
  while (!text.empty()) {
    DWORD written = 0;
    if (::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) == 0 ||
        written == 0) {
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

// Returns 0 when the text reached the console or the box was shown.
int Show(const std::string& text, bool error) {
  if (Write(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE, text)) return 0;
  const std::wstring wide = tolvi::WideFromUtf8(text);
  ::MessageBoxW(nullptr, wide.c_str(), L"Tolvi 1.91", MB_OK | (error ? MB_ICONERROR : 0U));
  return 0;
}

// A failed standard error has nowhere else to go but a debugger.
void WriteErrors(std::string_view text) {
  if (!Write(STD_ERROR_HANDLE, text)) ::OutputDebugStringA(std::string(text).c_str());
}

int RunExport(tolvi::ExportFormat format, const tolvi::CommandLine& line) {
  tolvi::WinFileSystem files;
  const tolvi::ExportOutcome outcome =
      tolvi::RunExportCommand(files, tolvi::win::GatherDirectoryFacts(line.data_dir), format);
  if (!outcome.errors.empty()) WriteErrors(outcome.errors);
  if (outcome.exit_code != 0) return outcome.exit_code;
  return Write(STD_OUTPUT_HANDLE, outcome.out) ? 0 : 1;
}

int RunRemoteControl(const tolvi::CommandLine& line) {
  tolvi::win::ConsoleWriters console;
  console.out = [](std::string_view text) { return Write(STD_OUTPUT_HANDLE, text); };
  console.errors = WriteErrors;
  return tolvi::win::RunRemoteControl(line, console);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const tolvi::CommandLine line = tolvi::ParseCommandLine(Arguments());
  if (line.help) return Show(tolvi::HelpText(), false);
  if (line.version) return Show(tolvi::VersionText(), false);
  if (!line.error.empty()) {
    Show("tolvi: " + line.error + "\nTry 'tolvi --help' for the options.\n", true);
    return tolvi::kExitUsage;
  }
  // These never start the program.
  if (line.export_format) return RunExport(*line.export_format, line);
  if (line.remote) return RunRemoteControl(line);
  return tolvi::win::RunWindowsProgram(instance, line.data_dir);
}
