// tolvi: the desktop program. This first cut does the parts of start-up that
// stand on their own (directories, single instance, phrases, idle source,
// tray icon) and then shows one break reminder; the monitor, the main
// window and the menus are wired in next.
#include <QApplication>
#include <QCommandLineParser>
#include <QSystemTrayIcon>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/idle_clock.h"
#include "platform/linux/desktop_directories.h"
#include "platform/linux/idle_chooser.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_random.h"
#include "platform/posix/single_instance.h"
#include "reminders/break_reminder.h"
#include "reminders/choice.h"
#include "reminders/phrases.h"
#include "reminders/qt/choice_dialog.h"
#include "reminders/random_number.h"
#include "shell/data_directory.h"
#include "shell/qt/icons.h"

namespace {

constexpr char kDefaultReminderText[] = "Take a Break!";

std::optional<std::filesystem::path> DataDirOption(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Break reminder and work logger"));
  parser.addHelpOption();
  parser.addOption(QCommandLineOption(QStringLiteral("data-dir"),
                                      QStringLiteral("Keep the data files in <dir>."),
                                      QStringLiteral("dir")));
  parser.process(arguments);
  if (!parser.isSet(QStringLiteral("data-dir"))) return std::nullopt;
  return std::filesystem::path(parser.value(QStringLiteral("data-dir")).toStdString());
}

std::string ReminderMessage(const tolvi::PhraseTable& phrases,
                            tolvi::RandomNumberGenerator& random) {
  if (phrases.phrases.empty()) return kDefaultReminderText;
  const auto count = static_cast<std::uint32_t>(phrases.phrases.size());
  return phrases.phrases[random.Draw(count) - 1];
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tolvi"));
  QApplication::setWindowIcon(tolvi::ProgramIcon());

  tolvi::PosixFileSystem files;
  const tolvi::DirectoryFacts facts = tolvi::GatherDirectoryFacts(DataDirOption(app.arguments()));
  const std::optional<tolvi::DataDirectoryChoice> data = tolvi::ChooseDataDirectory(files, facts);
  if (!data) {
    std::fprintf(stderr, "tolvi: no data directory: set HOME or use --data-dir\n");
    return 1;
  }
  if (const tolvi::Status status = tolvi::PrepareDataDirectory(files, *data); !status.ok()) {
    std::fprintf(stderr, "tolvi: cannot create %s: %s\n", data->directory.c_str(),
                 status.message().c_str());
    return 1;
  }

  tolvi::InstanceResult instance = tolvi::AcquireSingleInstance(tolvi::DefaultInstanceLockPath());
  if (instance.status == tolvi::InstanceStatus::kHeld) return 0;  // another copy runs
  if (instance.status == tolvi::InstanceStatus::kUnavailable) {
    std::fprintf(stderr, "tolvi: running without the single-instance lock: %s\n",
                 instance.error.c_str());
  }

  tolvi::PosixClock posix_clock;
  tolvi::IdleClock clock(posix_clock, tolvi::ChooseIdleSource(tolvi::DetectSession()));
  if (!clock.has_idle_source()) {
    std::fprintf(stderr, "tolvi: keyboard and mouse idle time is not available here\n");
  }
  tolvi::PosixRandom random_source;
  tolvi::RandomNumberGenerator random(random_source, clock);
  const tolvi::PhraseTable phrases =
      tolvi::LoadPhrases(files, tolvi::ResourceDirectory(facts), data->directory);
  std::printf("data directory: %s\nphrases: %zu\n", data->directory.c_str(),
              phrases.phrases.size());
  std::fflush(stdout);

  QSystemTrayIcon tray(tolvi::TrayIconImage(tolvi::TrayIcon::kOnBreak));
  tray.setToolTip(QString::fromLatin1(tolvi::kChoiceCaption));
  if (QSystemTrayIcon::isSystemTrayAvailable()) tray.show();

  tolvi::ChoiceOpenFlag choice_open;
  const tolvi::ChoiceRequest request{.message = ReminderMessage(phrases, random),
                                     .first_caption = std::string(tolvi::kTakeBreakButton),
                                     .second_caption = std::string(tolvi::kSnoozeButton),
                                     .message_font = tolvi::ChoiceFont::kSmall,
                                     .on_top = true};
  const tolvi::ChoiceResult answer = tolvi::AskChoice(request, choice_open, tolvi::ProgramIcon());
  std::printf("answer: %u\n", static_cast<unsigned>(answer));
  return 0;
}
