// The entry points of the dialogs for the main window: the Options dialog
// (command 2001), the work-type dialogs (command 2018, after requests 3, 4
// and 5 from "Edit ...", "Select Work Type...", "Add Work Type" and the
// right-click rows), and the question router that shows the log import's
// confirmation in its own dialog.
//
// DialogServices bundles what the dialogs need: the core context, the
// flags the main window keeps, the program icon and the reminder phrases,
// plus overrides for tests. Empty overrides fall back to the real thing:
// sound through the Ui port, QFileDialog pickers, the XDG autostart entry,
// SaveProgramFiles.
//
// GUI thread only. The services object is owned by the caller and must
// outlive the call; the dialogs own nothing beyond their widgets.
#pragma once

#include <QIcon>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/options_model.h"
#include "reminders/choice.h"
#include "state/core_context.h"

class QWidget;

namespace tolvi {

struct DialogServices {
  DialogServices(CoreContext& core, ChoiceOpenFlag& choice, OptionsOpenFlag& options)
      : context(core), choice_open(choice), options_open(options) {}

  CoreContext& context;
  ChoiceOpenFlag& choice_open;
  OptionsOpenFlag& options_open;
  QIcon program_icon;
  // The reminder phrases, offered by the "Text" list.
  std::vector<std::string> phrases;
  // Written after the program's path into the log-on entry (for example
  // "--data-dir" and the directory when one was given).
  std::vector<std::string> autostart_arguments;

  // Overrides; empty: the real thing.
  std::function<void(std::uint32_t kind, const std::string& path)> play_reminder_sound;
  std::function<void()> stop_sound;
  std::function<void(bool enabled)> set_autostart;
  std::function<void()> save_program_data;
  std::function<std::optional<std::string>(PathPicker picker, const std::string& start,
                                           QWidget* owner)>
      choose_path;
  // Answers the dialogs' own questions (delete, zero); empty: the question
  // window, owned by the asking dialog.
  std::function<int(const Question& question)> ask;
};

// Command 2001: runs "Tolvi Options" modally, or brings the open one to
// the front.
void RunOptionsDialog(QWidget* owner, DialogServices& services);

// Command 2018: marks the request slot 999, runs "Work Details" or "Select
// Work" for the waiting request, then hands the result to the monitor
// (request 7 or 8). A stray 2018 does nothing.
void RunWorkTypeDialog(QWidget* owner, DialogServices& services);

// Brings an open "Work Details" or "Select Work" to the front (a second
// "Edit ..." while one is open); false when neither is open.
bool RaiseWorkTypeDialog(QWidget* owner);

// A question of the Ui port: the log import's confirmation in the "Import
// Work from log file" dialog, every other question in the two-button
// window. Returns 1 or 2.
int AskQuestion(const Question& question, bool on_top, ChoiceOpenFlag& choice_open,
                const QIcon& program_icon, QWidget* owner);

// Where the file picker opens: the file already chosen if it can be read,
// else the user's documents folder when it exists, else the home folder.
QString FilePickerStart(const std::string& start);

// The pickers behind the Options dialog's "..." buttons, on QFileDialog.
std::optional<std::string> ChoosePath(PathPicker picker, const std::string& start, QWidget* owner);

}  // namespace tolvi
