// tolvi (command-line front end): opens or creates the data files, shows the
// settings and the work types, saves and exits. Used until the desktop shell
// is built, and on machines without one.
//
//   tolvi [--data-dir DIR]
//
// The data directory defaults to $XDG_DATA_HOME (or ~/.local/share) +
// /Drovik/Tolvi/. Questions are asked on the terminal; without an answer on
// standard input the first-run notice is acknowledged and every other
// question gets its second, cautious answer.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "accounting/work_type_record.h"
#include "platform/posix/posix_clock.h"
#include "platform/posix/posix_file_system.h"
#include "platform/ui.h"
#include "settings/settings.h"
#include "storage/program_data_file.h"
#include "storage/record_database.h"
#include "text/text.h"

namespace tolvi {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// The Ui on a terminal: questions on stdout, answers from stdin, notices
// printed. There is no window, tray or sound here.
class TerminalUi final : public Ui {
 public:
  void ArmTimer(TimerId, std::uint32_t) override {}
  void KillTimer(TimerId) override {}
  void PostCommand(std::uint32_t) override {}
  void PostClose() override {}
  void RequestRepaint() override {}
  void SetTray(TrayIcon, const std::string&) override {}
  bool AddTray(TrayIcon, const std::string&) override { return false; }
  void ShowBalloon(const std::string& title, const std::string& text, TrayIcon) override {
    std::cout << title << ": " << text << '\n';
  }

  void Notify(const std::string& text) override { std::cerr << "tolvi: " << text << '\n'; }

  int Ask(const Question& question) override {
    std::cout << question.message << "\n  1) " << question.first_button << "\n  2) "
              << question.second_button << "\n> " << std::flush;
    for (std::string line; std::getline(std::cin, line);) {
      if (line == "1" || line == "2") return line == "1" ? 1 : 2;
      std::cout << "Please answer 1 or 2.\n> " << std::flush;
    }
    const int answer = UnattendedAnswer(question);
    std::cout << answer << " (no answer given)\n";
    return answer;
  }

  void Beep() override {}
  void PlaySoundFile(const std::filesystem::path&) override {}
  void StopSound() override {}
  void OpenWithDefaultApp(const std::filesystem::path& file) override {
    std::cout << "Open " << file.string() << " to read it.\n";
  }

 private:
  // The welcome needs no decision; anything else is declined, as a dialog
  // closed without a choice is.
  static int UnattendedAnswer(const Question& question) {
    return question.message == kWelcomeMessage ? 1 : 2;
  }
};

std::optional<std::filesystem::path> DefaultDataDirectory() {
  std::filesystem::path base;
  const char* xdg = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  if (xdg != nullptr && std::filesystem::path(xdg).is_absolute()) {
    base = xdg;
  } else if (home != nullptr && std::filesystem::path(home).is_absolute()) {
    base = std::filesystem::path(home) / ".local" / "share";
  } else {
    return std::nullopt;
  }
  return base / "Drovik" / "Tolvi";
}

std::filesystem::path ProgramDirectory(const char* argv0) {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::absolute(argv0, error);
  return error ? std::filesystem::path() : program.parent_path();
}

struct Options {
  std::optional<std::filesystem::path> data_directory;
  bool help = false;
};

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--data-dir" && i + 1 < argc) {
      options.data_directory = argv[++i];
    } else if (arg.starts_with("--data-dir=")) {
      options.data_directory = std::string(arg.substr(std::string_view("--data-dir=").size()));
    } else {
      return std::nullopt;
    }
  }
  return options;
}

void PrintUsage(std::ostream& out) {
  out << "usage: tolvi [--data-dir DIR]\n"
         "Opens or creates the Tolvi data files in DIR (default: $XDG_DATA_HOME or\n"
         "~/.local/share, then /Drovik/Tolvi/), shows the settings and the work types,\n"
         "saves and exits.\n";
}

void PrintSettings(const ProgramData& data) {
  std::cout << "Settings\n";
  for (const SettingInfo& info : SettingsTable()) {
    std::cout << "  " << info.name << " = " << SettingValueText(info, data);
    if (info.kind != SettingKind::kText && info.kind != SettingKind::kSwitch) {
      std::cout << "  (" << DescribeSetting(info, data) << ")";
    }
    std::cout << '\n';
  }
}

void PrintWorkTypes(const RecordDatabase& records, const ProgramData& data) {
  namespace field = work_type_field;
  const TimeStyle style = TimeStyleFor(data.decimal_hours);
  std::cout << "Work types (slot: name, today, total, maximum)\n";
  for (const std::int32_t slot : records.LiveRecords()) {
    const std::string name = records.ReadText(slot, field::kName).value_or("");
    const std::uint32_t today = records.ReadNumber(slot, field::kToday).value_or(0);
    const std::uint32_t total = records.ReadNumber(slot, field::kTotal).value_or(0);
    const std::uint32_t maximum = records.ReadNumber(slot, field::kMaximum).value_or(0);
    std::cout << "  " << slot
              << (static_cast<std::uint32_t>(slot) == data.current_work_type ? "*" : " ") << ": "
              << name << ", " << FormatHours(today, 36000, style) << ", "
              << FormatHours(total, 6, style) << ", " << MinutesShown(maximum) << " min\n";
  }
}

int Run(int argc, char** argv) {
  const std::optional<Options> options = ParseOptions(argc, argv);
  if (!options) {
    PrintUsage(std::cerr);
    return kExitUsage;
  }
  if (options->help) {
    PrintUsage(std::cout);
    return kExitOk;
  }
  const std::optional<std::filesystem::path> data_directory =
      options->data_directory ? options->data_directory : DefaultDataDirectory();
  if (!data_directory) {
    std::cerr << "tolvi: no data directory: set HOME or use --data-dir\n";
    return kExitFailure;
  }

  PosixFileSystem files;
  PosixClock clock;
  TerminalUi ui;
  RecordDatabase records(files);
  ProgramData data{};
  if (Status made = files.CreateDirectories(*data_directory); !made.ok()) {
    std::cerr << "tolvi: cannot create " << data_directory->string() << ": " << made.message()
              << '\n';
    return kExitFailure;
  }

  DataFileContext context{.files = files,
                          .clock = clock,
                          .ui = ui,
                          .data_directory = *data_directory,
                          .program_directory = ProgramDirectory(argv[0]),
                          .records = records,
                          .data = data,
                          .day_check = {},
                          .import_work = {},
                          .write_plain_log_line = {}};
  const LoadResult loaded = LoadProgramData(context);
  for (const std::string& notice : loaded.notices) std::cerr << "tolvi: " << notice << '\n';
  if (loaded.outcome == LoadOutcome::kQuit) return kExitFailure;

  std::cout << "Data directory: " << data_directory->string() << "\n";
  PrintSettings(data);
  PrintWorkTypes(records, data);

  records.Close();
  if (Status saved = SaveProgramData(files, *data_directory, data); !saved.ok()) {
    std::cerr << "tolvi: cannot save the program data: " << saved.message() << '\n';
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace
}  // namespace tolvi

int main(int argc, char** argv) {
  return tolvi::Run(argc, argv);
}
