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

// Length of the UTF-8 sequence at text[at], or 0 when it is not one.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 0;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF)
    length = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    length = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    length = 4;
  else
    return 0;
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool IsCleanUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = SequenceLength(text, at);
    if (length == 0) return false;
    const auto byte = static_cast<unsigned char>(text[at]);
    if (length == 1 && byte < 0x20 && byte != '\t') return false;
    at += length;
  }
  return true;
}

void CheckTable(const PhraseTable& table) {
  TOLVI_FUZZ_CHECK(
      table.capacity == kDefaultPhraseCapacity ||
      (table.capacity > kPhraseCapacityLowerBound && table.capacity < kPhraseCapacityUpperBound));
  TOLVI_FUZZ_CHECK(table.phrases.size() <= table.capacity);
  for (const std::string& phrase : table.phrases) {
    TOLVI_FUZZ_CHECK(phrase.size() <= kMaxPhraseBytes);
    TOLVI_FUZZ_CHECK(IsCleanUtf8(phrase));
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
