// tolvi: the desktop program. Everything happens in RunDesktopProgram
// (shell/qt/application.h); this only creates the QApplication.
#include <QApplication>

#include "shell/qt/application.h"
#include "shell/qt/icons.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tolvi"));
  QApplication::setApplicationDisplayName(QStringLiteral("Tolvi"));
  QApplication::setDesktopFileName(QStringLiteral("tolvi"));
  QApplication::setWindowIcon(tolvi::ProgramIcon());
  // The program lives in the tray: closing its last window must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  return tolvi::RunDesktopProgram();
}
