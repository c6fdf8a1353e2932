#include "reminders/phrases.h"

#include <charconv>
#include <optional>

#include "text/text.h"

namespace tolvi {
namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr char kTab = '\t';
constexpr char kCommentMark = '#';
constexpr char kCountMark = '-';
constexpr char kHeaderMark = '*';
constexpr std::size_t kHeaderKeyLength = 3;
constexpr std::size_t kMinPhraseBytes = 3;

enum class Section : std::uint8_t { kNone, kAlerts, kWork };

// One line as read: its text without the marks, and which marks it had.
struct Line {
  std::string text;
  bool comment = false;
  bool count = false;
  bool header = false;
};

class PhraseParser {
 public:
  void Feed(char byte) {
    const bool after_carriage_return = previous_was_carriage_return_;
    previous_was_carriage_return_ = byte == kCarriageReturn;
    if (byte == kCarriageReturn || (byte == kLineFeed && !after_carriage_return)) {
      EndLine();
    } else if (byte != kLineFeed) {
      AddByte(byte);
    }
  }

  PhraseTable Finish() { return std::move(table_); }

 private:
  void AddByte(char byte) {
    switch (byte) {
      case kCommentMark:
        line_.comment = true;
        return;
      case kCountMark:
        line_.count = true;
        return;
      case kHeaderMark:
        line_.header = true;
        return;
      default:
        break;
    }
    const auto value = static_cast<unsigned char>(byte);
    if (value < 0x20U && byte != kTab) return;
    if (line_.text.size() < kMaxPhraseLineBytes) line_.text.push_back(byte);
  }

  void EndLine() {
    if (line_.header) {
      SelectSection(line_.text);
    } else if (line_.count) {
      if (!table_started_) ApplyCount(line_.text);
    } else if (!line_.comment && line_.text.size() >= kMinPhraseBytes) {
      StorePhrase(line_.text);
    }
    line_ = Line{};
  }

  void SelectSection(std::string_view text) {
    const std::string key = LowerCaseAscii(std::string(text.substr(0, kHeaderKeyLength)));
    if (key == "ale") section_ = Section::kAlerts;
    if (key == "wor") section_ = Section::kWork;
  }

  // "a25" sets the phrase capacity; "w25" the work-phrase capacity, which
  // nothing uses.
  void ApplyCount(std::string_view text) {
    if (text.empty()) return;
    const std::optional<std::uint32_t> n = ParseCount(text.substr(1));
    if (!n || *n <= kPhraseCapacityLowerBound || *n >= kPhraseCapacityUpperBound) return;
    if (text.front() == 'a' || text.front() == 'A') table_.capacity = *n;
  }

  // Digits only, surrounding blanks allowed; anything else is no number.
  static std::optional<std::uint32_t> ParseCount(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }

  void StorePhrase(std::string_view raw) {
    table_started_ = true;
    if (section_ != Section::kAlerts || table_.phrases.size() >= table_.capacity) return;
    const std::string text = ToUtf8(raw);
    table_.phrases.emplace_back(TruncateUtf8(text, kMaxPhraseBytes));
  }

  PhraseTable table_;
  bool table_started_ = false;
  Section section_ = Section::kNone;
  Line line_;
  bool previous_was_carriage_return_ = false;
};

enum class ReadOutcome : std::uint8_t { kRead, kMissing, kUnusable };

ReadOutcome ReadPhraseFile(FileSystem& files, const std::filesystem::path& path,
                           std::string* contents) {
  const std::optional<std::uint64_t> size = files.FileSize(path);
  if (!size) return files.Exists(path) ? ReadOutcome::kUnusable : ReadOutcome::kMissing;
  if (*size > kMaxPhraseFileBytes) return ReadOutcome::kUnusable;
  const Status status = files.ReadFile(path, contents);
  if (status.code() == Status::Code::kNotFound) return ReadOutcome::kMissing;
  // The size is checked again: the file may have grown since it was measured.
  if (!status.ok() || contents->size() > kMaxPhraseFileBytes) return ReadOutcome::kUnusable;
  return ReadOutcome::kRead;
}

}  // namespace

PhraseTable ParsePhrases(std::string_view bytes) {
  PhraseParser parser;
  for (const char byte : bytes) parser.Feed(byte);
  return parser.Finish();
}

PhraseTable LoadPhrases(FileSystem& files, const std::filesystem::path& program_directory,
                        const std::filesystem::path& data_directory) {
  const std::filesystem::path data_file = data_directory / kPhraseFileName;
  std::string contents;
  ReadOutcome outcome = ReadPhraseFile(files, data_file, &contents);
  if (outcome == ReadOutcome::kMissing && !program_directory.empty()) {
    const std::filesystem::path program_file = program_directory / kPhraseFileName;
    if (program_file.lexically_normal() != data_file.lexically_normal() &&
        files.CopyFile(program_file, data_file).ok()) {
      outcome = ReadPhraseFile(files, data_file, &contents);
    } else {
      outcome = ReadPhraseFile(files, program_file, &contents);
    }
  }
  if (outcome != ReadOutcome::kRead) return PhraseTable{};
  return ParsePhrases(contents);
}

}  // namespace tolvi
