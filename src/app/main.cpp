// tolvi: the desktop program. Everything happens in RunDesktopProgram
// (shell/qt/application.h); this answers --help and --version, runs the
// remote controls and the export (all of which need no display), creates the QApplication and reads
// the rest of the command line once Qt has taken its own options out of it.
#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/qt/application.h"
#include "shell/qt/icons.h"
#include "shell/qt/remote_control.h"

namespace {

std::vector<std::string> Arguments(int argc, char* argv[]) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

std::vector<std::string> ArgumentsLeftByQt() {
  QStringList all = QCoreApplication::arguments();
  std::vector<std::string> arguments;
  for (qsizetype i = 1; i < all.size(); ++i) arguments.push_back(all[i].toStdString());
  return arguments;
}

int Print(const std::string& text) {
  return std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0 ? 1 : 0;
}

int UsageError(const std::string& error) {
  std::fprintf(stderr, "tolvi: %s\nTry 'tolvi --help' for the options.\n", error.c_str());
  return tolvi::kExitUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
  const tolvi::CommandLine early = tolvi::ParseCommandLine(Arguments(argc, argv));
  if (early.help) return Print(tolvi::HelpText());
  if (early.version) return Print(tolvi::VersionText());
  if (early.remote || early.export_format) {
    // These never start the program, so they need no display either.
    if (!early.error.empty()) return UsageError(early.error);
    if (early.export_format) return tolvi::RunExport(*early.export_format, early.data_dir);
    const QCoreApplication app(argc, argv);
    return tolvi::RunRemoteControl(early);
  }

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tolvi"));
  // The desktop entry's name ties the windows to its icon; window titles
  // stay as the program sets them (no display name appended).
  QApplication::setDesktopFileName(QStringLiteral("tolvi"));
  QApplication::setWindowIcon(tolvi::ProgramIcon());
  // The program lives in the tray: closing its last window must not end it.
  QApplication::setQuitOnLastWindowClosed(false);

  const tolvi::CommandLine line = tolvi::ParseCommandLine(ArgumentsLeftByQt());
  if (!line.error.empty()) return UsageError(line.error);
  return tolvi::RunDesktopProgram(line.data_dir);
}
