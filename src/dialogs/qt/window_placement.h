// How the program's windows are placed and made modal: every window keeps
// within the free area of its screen (FitWindow), and a dialog is modal to
// its owner window only, so the tray icon and its menu stay usable while
// it is open (On Break, Working, Exit). A dialog without an owner (before
// the main window exists) blocks the whole program instead.
//
// GUI thread only. Nothing is owned; the widgets are the caller's.
#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace tolvi {

// Shrinks the window to the free area of its screen (less its frame) and
// moves it fully onto it. A window not yet shown keeps the size its
// contents ask for when that fits.
void FitToScreen(QWidget& window);

// Runs the dialog modally as described above, fitted to the screen;
// returns QDialog::exec's result.
int ExecOwned(QDialog& dialog);

// Brings the open dialog of that object name among the owner's children to
// the front; false when none is open.
bool RaiseOpenDialog(QWidget* owner, const QString& name);

}  // namespace tolvi
