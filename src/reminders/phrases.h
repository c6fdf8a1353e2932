// The reminder phrases: the phrase file "Text.txt" read into a table from
// which the break reminder takes a random message and the Options dialog
// fills its drop-down list.
//
// The file is plain text, one entry per line (CR, LF or CR LF). Marks
// anywhere in a line: "#" comment, "*" section header ("*Alerts" starts the
// reminder phrases, "*Work" the work phrases, which are skipped), "-" count
// line ("-a25" sets the table's capacity to 25, allowed 11..199, only before
// the first phrase). Other lines of three or more bytes are phrases.
//
// Pure functions over the FileSystem port; the table is a value owned by the
// caller. Any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace tolvi {

inline constexpr char kPhraseFileName[] = "Text.txt";
inline constexpr std::uint32_t kDefaultPhraseCapacity = 10;
// A count line may set a capacity strictly between these two.
inline constexpr std::uint32_t kPhraseCapacityLowerBound = 10;
inline constexpr std::uint32_t kPhraseCapacityUpperBound = 200;
// A phrase keeps at most this many bytes (a 200-byte field with its zero).
inline constexpr std::size_t kMaxPhraseBytes = 199;
// Bytes of one line kept while reading; the rest of a longer line is lost.
inline constexpr std::size_t kMaxPhraseLineBytes = 599;
// A phrase file is a few kilobytes; anything past this is not a phrase file
// and is not read at all.
inline constexpr std::uint64_t kMaxPhraseFileBytes = std::uint64_t{1024} * 1024;

struct PhraseTable {
  std::uint32_t capacity = kDefaultPhraseCapacity;
  std::vector<std::string> phrases;  // UTF-8, at most capacity entries
};

// Reads the phrase file's bytes. Lines are read as UTF-8, or as
// Windows-1252 when they are not valid UTF-8; control bytes other than tab
// are dropped; a last line without a line end is not used.
PhraseTable ParsePhrases(std::string_view bytes);

// Loads data_directory/"Text.txt". When the file does not exist there it is
// first copied from program_directory (a file that exists but cannot be
// read is never replaced), and when the copy cannot be made the program
// directory's file is read in place. No usable file gives an empty table.
PhraseTable LoadPhrases(FileSystem& files, const std::filesystem::path& program_directory,
                        const std::filesystem::path& data_directory);

}  // namespace tolvi
