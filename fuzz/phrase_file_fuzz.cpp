// Fuzz target: the bytes of a phrase file "Text.txt", parsed directly and
// loaded through the file port from the program directory (the first run
// copies it into the data directory). The table must respect its bounds and
// hold only valid UTF-8 without control bytes below space other than tab.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fakes/fake_file_system.h"
#include "fuzz_support.h"
#include "reminders/phrases.h"

namespace tolvi::fuzz {
namespace {

bool HasControlBytes(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return true;
  }
  return false;
}

void CheckTable(const PhraseTable& table) {
  TOLVI_FUZZ_CHECK(
      table.capacity == kDefaultPhraseCapacity ||
      (table.capacity > kPhraseCapacityLowerBound && table.capacity < kPhraseCapacityUpperBound));
  TOLVI_FUZZ_CHECK(table.phrases.size() <= table.capacity);
  for (const std::string& phrase : table.phrases) {
    TOLVI_FUZZ_CHECK(phrase.size() <= kMaxPhraseBytes);
    TOLVI_FUZZ_CHECK(IsValidUtf8(phrase) && !HasControlBytes(phrase));
  }
}

void Run(std::string_view bytes) {
  const PhraseTable parsed = ParsePhrases(bytes);
  CheckTable(parsed);

  if (bytes.size() > kMaxPhraseFileBytes) return;
  FakeFileSystem files;
  files.SetFile("/program/Text.txt", std::string(bytes));
  const PhraseTable loaded = LoadPhrases(files, "/program", "/data");
  TOLVI_FUZZ_CHECK(loaded.capacity == parsed.capacity && loaded.phrases == parsed.phrases);
  TOLVI_FUZZ_CHECK(files.GetFile("/data/Text.txt") == std::string(bytes));
}

}  // namespace
}  // namespace tolvi::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tolvi::fuzz::Run(tolvi::fuzz::AsText(data, size));
  return 0;
}
