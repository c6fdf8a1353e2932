#include "dialogs/qt/dialog_services.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <memory>

#include "dialogs/qt/options_dialog.h"
#include "dialogs/qt/window_placement.h"
#include "dialogs/qt/work_details_dialog.h"
#include "dialogs/work_details_model.h"
#include "engine/requests.h"
#include "platform/linux/xdg_autostart.h"
#include "reminders/qt/choice_dialog.h"
#include "reminders/qt/lock_window.h"

namespace tolvi {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "*.mid;*.wav" as a Qt name filter; "*.*" means every file here.
QString Filter(std::string_view name, std::string_view pattern) {
  QString patterns = Text(pattern);
  patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
  if (patterns == QStringLiteral("*.*")) patterns = QStringLiteral("*");
  return Text(name) + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

QString FileFilter(PathPicker picker) {
  QString all = Filter(kAllFilesFilterName, kAllFilesFilterPattern);
  if (picker == PathPicker::kAnyFile) return all;
  return Filter(kAudioFilterName, kAudioFilterPattern) + QStringLiteral(";;") + all;
}

void SetAutostart(const DialogServices& services, bool enabled) {
  const std::optional<std::filesystem::path> directory = DefaultAutostartDirectory();
  if (!directory) return;
  XdgAutostart autostart(services.context.files, *directory);
  const auto tell = [&services](const Status& done) {
    if (!done.ok()) {
      services.context.ui.Notify("Tolvi cannot change its start at login: " + done.message());
    }
  };
  if (!enabled) {
    tell(autostart.Disable());
    return;
  }
  const std::optional<std::filesystem::path> program = RunningProgramPath();
  if (!program) return;
  std::vector<std::string> command = {program->string()};
  command.insert(command.end(), services.autostart_arguments.begin(),
                 services.autostart_arguments.end());
  tell(autostart.Enable(command));
}

int AskOwnedBy(const DialogServices& services, const Question& question, QWidget* owner) {
  if (services.ask) return services.ask(question);
  return AskQuestion(question, /*on_top=*/true, services.choice_open, services.program_icon, owner);
}

OptionsServices OptionsServicesFor(DialogServices& services, QWidget*& asking_owner) {
  OptionsServices options;
  options.play_reminder_sound = services.play_reminder_sound;
  options.stop_sound = services.stop_sound;
  options.save_program_data = services.save_program_data;
  options.lock_can_hold_input = LockCanHoldInput();
  options.set_autostart = services.set_autostart;
  if (!options.set_autostart) {
    options.set_autostart = [&services](bool enabled) { SetAutostart(services, enabled); };
  }
  options.choose_path = [&services, &asking_owner](PathPicker picker, const std::string& start) {
    return services.choose_path ? services.choose_path(picker, start, asking_owner)
                                : ChoosePath(picker, start, asking_owner);
  };
  options.ask = [&services, &asking_owner](const Question& question) {
    return AskOwnedBy(services, question, asking_owner);
  };
  return options;
}

std::int32_t DialogMode(CoreContext& context) {
  const StateLock lock(context.state.mutex);
  return context.state.activity.request_value;
}

void RunWorkDetails(QWidget* owner, DialogServices& services) {
  QWidget* asking_owner = owner;
  WorkDetailsModel model(services.context, DialogMode(services.context),
                         [&services, &asking_owner](const Question& question) {
                           return AskOwnedBy(services, question, asking_owner);
                         });
  WorkDetailsDialog dialog(model, owner);
  asking_owner = &dialog;
  ExecOwned(dialog);
  model.Cancel();  // nothing if the dialog already closed through the model
}

void RunSelectWork(QWidget* owner, DialogServices& services) {
  SelectWorkModel model(services.context);
  SelectWorkDialog dialog(model, owner);
  ExecOwned(dialog);
  model.Cancel();
}

}  // namespace

void RunOptionsDialog(QWidget* owner, DialogServices& services) {
  if (services.options_open.IsOpen()) {
    RaiseOpenDialog(owner, QLatin1String(kOptionsDialogName));
    return;
  }
  QWidget* asking_owner = owner;
  OptionsModel model(services.context, OptionsServicesFor(services, asking_owner), services.phrases,
                     services.options_open);
  OptionsDialog dialog(model, owner);
  if (!services.program_icon.isNull()) dialog.setWindowIcon(services.program_icon);
  asking_owner = &dialog;
  ExecOwned(dialog);
}

void RunWorkTypeDialog(QWidget* owner, DialogServices& services) {
  RunWorkTypeDialogCommand(services.context, [owner, &services](WorkTypeDialog which) {
    if (which == WorkTypeDialog::kWorkDetails) {
      RunWorkDetails(owner, services);
    } else {
      RunSelectWork(owner, services);
    }
  });
}

bool RaiseWorkTypeDialog(QWidget* owner) {
  return RaiseOpenDialog(owner, QLatin1String(kWorkDetailsDialogName)) ||
         RaiseOpenDialog(owner, QLatin1String(kSelectWorkDialogName));
}

int AskQuestion(const Question& question, bool on_top, ChoiceOpenFlag& choice_open,
                const QIcon& program_icon, QWidget* owner) {
  if (const std::optional<ImportConfirmation> import = ImportConfirmationOf(question)) {
    ChoiceOpenScope open(choice_open);
    ImportWorkDialog dialog(*import, owner);
    if (!program_icon.isNull()) dialog.setWindowIcon(program_icon);
    return ExecOwned(dialog) == QDialog::Accepted ? 1 : 2;
  }
  const ChoiceResult answer =
      AskChoice(ChoiceRequestFor(question, on_top), choice_open, program_icon, owner);
  return static_cast<int>(answer);
}

QString FilePickerStart(const std::string& start) {
  const QFileInfo file(QString::fromStdString(start));
  if (!start.empty() && file.isFile() && file.isReadable()) return file.absoluteFilePath();
  // A folder that does not exist would be typed into the name box instead.
  QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
  return QDir::homePath();
}

std::optional<std::string> ChoosePath(PathPicker picker, const std::string& start, QWidget* owner) {
  QString chosen;
  if (picker == PathPicker::kFolder) {
    chosen = QFileDialog::getExistingDirectory(owner, Text(kFolderPickerTitle),
                                               QString::fromStdString(start));
  } else {
    chosen = QFileDialog::getOpenFileName(owner, Text(kFilePickerTitle), FilePickerStart(start),
                                          FileFilter(picker));
  }
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.toStdString();
}

}  // namespace tolvi
