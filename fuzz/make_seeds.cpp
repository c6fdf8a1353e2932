// Writes the seed corpus of the fuzz targets into DIR/<target>/: databases
// made by the program's own Create, data files of every version, a small
// work log and a phrase file. Run it after a format change and commit the
// output: make_seeds fuzz/corpus
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "accounting/work_type_record.h"
#include "fakes/fake_clock.h"
#include "fakes/fake_file_system.h"
#include "settings/settings.h"
#include "storage/program_data_file.h"
#include "storage/record_database.h"

namespace tolvi::fuzz {
namespace {

constexpr std::string_view kScriptMark = "\n#~OPS~#\n";
constexpr std::string_view kFileMark = "\n#~FILE~#\n";

bool Write(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A database of every field type with three records, built by Create.
std::optional<std::string> SmallDatabase() {
  FakeFileSystem files;
  RecordDatabase db(files, Collator{});
  const std::uint32_t types[] = {field_type::kText16,   field_type::kNumber8, field_type::kNumber16,
                                 field_type::kNumber32, field_type::kText4,   field_type::kText64};
  if (!db.Create("/db", types).ok() || !db.Open("/db", true).ok()) return std::nullopt;
  const char* names[] = {"Write", "read", "Homework"};
  for (std::uint32_t i = 0; i < 3; ++i) {
    const std::int32_t slot = db.NewRecord();
    if (slot < 0 || !db.WriteText(slot, 1, names[i]).ok() ||
        !db.WriteNumber(slot, 2, 200 + i).ok() || !db.WriteNumber(slot, 3, 40000 * i).ok() ||
        !db.WriteNumber(slot, 4, 0x80000000U + i).ok() || !db.WriteText(slot, 5, "ab").ok() ||
        !db.WriteText(slot, 6, "\xC3\xA9t\xC3\xA9").ok()) {
      return std::nullopt;
    }
  }
  if (!db.SetRecordStatus(1, SlotStatus::kDeleted).ok()) return std::nullopt;
  db.Close();
  return files.GetFile("/db");
}

std::optional<std::string> WorkTypeDatabase() {
  FakeFileSystem files;
  RecordDatabase db(files, Collator{});
  if (!CreateWorkTypeDatabase(db, "/db").ok()) return std::nullopt;
  if (!CreateInitialWorkTypes(db).ok()) return std::nullopt;
  db.Close();
  return files.GetFile("/db");
}

std::string DataFile(std::string_view magic) {
  FakeClock clock;
  clock.SetLocalTime(2026, 12, 6, 23, 50, 0);
  ProgramData data{};
  SetDefaultSettings(data, clock);
  data.day_of_month = 6;
  data.work_today_ms = 3'600'000;
  std::memcpy(data.today_text, "Sunday, 6 December 2026", 24);
  std::string file = ProgramDataFileImage(data);
  file.replace(0, magic.size(), magic);
  return file;
}

std::string WorkLog() {
  return "Tolvi v1.91 Work Log\r\n \r\n#C\r\n \r\n"
         "Sunday, 6 December 2026: Work 6:30, Break 0:45, Away 1:00 (Write: 4:00, "
         "Homework: 2:30, : 0:00)\r\n"
         "Monday, 7 December 2026: Work 6.50, Break 0.75, Away 1 (Write: 6.5)\r\n"
         "Work Summary 07.12.2026 10:15\r\n"
         "Write Avg: 5:15 Tot: 10:30 Per: 100%\r\n";
}

bool WriteAll(const std::filesystem::path& root) {
  const auto small = SmallDatabase();
  const auto work_types = WorkTypeDatabase();
  if (!small || !work_types) return false;
  const std::filesystem::path db = root / "record_database";
  const std::filesystem::path program = root / "program_data";
  const std::filesystem::path log = root / "log_import";
  const std::filesystem::path phrases = root / "phrase_file";
  for (const auto& dir : {db, program, log, phrases}) std::filesystem::create_directories(dir);

  // A script: new record, writes, finds, a compaction and sorts.
  const std::string script = std::string("\x00\x00", 2) + "\x02\x01\x00\x10\x20\x30\x40\x05Hello" +
                             "\x03\x00\x00\x02Wo" + "\x04\x00" + "\x05\x01" + "\x05\x03" +
                             "\x01\x00\x00" + "\x07\x00" + "\x06\x00";
  bool ok = Write(db / "small", *small) && Write(db / "work_types", *work_types) &&
            Write(db / "small_scripted", *small + std::string(kScriptMark) + script);

  const std::string log_text = WorkLog();
  const char all_files = 1 | 2 | 4;
  const auto program_input = [&](char layout, std::string_view magic) {
    return std::string(1, layout) + DataFile(magic) + std::string(kFileMark) + *work_types +
           std::string(kFileMark) + log_text;
  };
  for (const std::string_view version : {"320", "310", "300", "250", "249"}) {
    ok = ok && Write(program / ("v" + std::string(version)),
                     program_input(all_files, "TOLV1" + std::string(version)));
  }
  ok =
      ok && Write(program / "not_a_data_file", program_input(all_files, "XOLV1320")) &&
      Write(program / "first_run", std::string(1, '\0')) &&
      Write(program / "in_program_directory", program_input(1 | 8, "TOLV1320")) &&
      Write(program / "short_v250", std::string(1, 1 | 4) + "TOLV1250" + std::string(200, 'a') +
                                        std::string(kFileMark) + std::string(kFileMark) + log_text);

  ok = ok && Write(log / "work_log", log_text) &&
       Write(log / "edited", "Sunday, 6 December 2026: Work 99:00, Break x, Away 1:00 (A: 1)\n" +
                                 std::string(60, ':') + "\r\n");
  ok = ok && Write(phrases / "Text.txt",
                   "# Tolvi phrases\r\n-a25\r\n*Alerts\r\nTake a break!\r\nStretch\tnow\r\n"
                   "Caf\xE9 time\r\n\xC3\xA9tirez-vous\r\nab\r\n*Work\r\nWork phrase\r\n");
  return ok;
}

}  // namespace
}  // namespace tolvi::fuzz

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
    return 2;
  }
  if (!tolvi::fuzz::WriteAll(argv[1])) {
    std::fprintf(stderr, "could not build or write the seeds\n");
    return 1;
  }
  return 0;
}
