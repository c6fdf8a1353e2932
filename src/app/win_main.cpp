// tolvi.exe: the Windows program. Everything happens in RunWindowsProgram
// (shell/win/application.h); this reads the command line. --help and
// --version print to the console the program was started from, or show a
// message box when there is none.
#include <windows.h>
// windows.h first: this needs its types.
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/win/wide_text.h"
#include "shell/command_line.h"
#include "shell/win/application.h"

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

// Returns 0 when the text reached the console or the box was shown.
int Show(const std::string& text, bool error) {
  if (::AttachConsole(ATTACH_PARENT_PROCESS) != 0 || ::GetStdHandle(STD_OUTPUT_HANDLE) != nullptr) {
    HANDLE out = ::GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE &&
        ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0 &&
        written == text.size()) {
      return 0;
    }
  }
  const std::wstring wide = tolvi::WideFromUtf8(text);
  ::MessageBoxW(nullptr, wide.c_str(), L"Tolvi 1.91", MB_OK | (error ? MB_ICONERROR : 0U));
  return 0;
}

constexpr int kExitNotAvailable = 1;

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  const tolvi::CommandLine line = tolvi::ParseCommandLine(Arguments());
  if (line.help) return Show(tolvi::HelpText(), false);
  if (line.version) return Show(tolvi::VersionText(), false);
  if (!line.error.empty()) {
    Show("tolvi: " + line.error + "\nTry 'tolvi --help' for the options.\n", true);
    return tolvi::kExitUsage;
  }
  // Never start a second program for an option this build cannot serve yet.
  if (line.remote || line.export_format) {
    Show("tolvi: controlling a running Tolvi and --export are not available on Windows yet\n",
         true);
    return kExitNotAvailable;
  }
  return tolvi::win::RunWindowsProgram(instance, line.data_dir);
}
