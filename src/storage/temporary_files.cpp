#include "storage/temporary_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace tolvi {
namespace {

// Every file this program replaces atomically in its data directory.
constexpr std::array<std::string_view, 12> kOwnFileNames = {
    "dTolvi.dat",      "TlvDB.lbf",      "dLog.txt",      "dLogOld.txt",
    "Text.txt",        "dTolvi.dat Bak", "TlvDB.lbf Bak", "dLog.txt Bak",
    "dLogOld.txt Bak", "Text.txt Bak",   "TlvClose.jnl",  "dLog.txt Pending",
};

// The characters mkostemp puts in place of its XXXXXX.
bool IsTemporarySuffix(std::string_view suffix) {
  return suffix.size() == kTemporarySuffixLength &&
         std::all_of(suffix.begin(), suffix.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// True for "." + one of our names + kTemporaryInfix + the random suffix.
bool IsOurTemporaryFile(std::string_view name) {
  constexpr std::size_t kTail = kTemporaryInfix.size() + kTemporarySuffixLength;
  if (name.size() <= 1 + kTail || name.front() != '.') return false;
  const std::string_view suffix = name.substr(name.size() - kTemporarySuffixLength);
  const std::string_view infix = name.substr(name.size() - kTail, kTemporaryInfix.size());
  const std::string_view base = name.substr(1, name.size() - 1 - kTail);
  return infix == kTemporaryInfix && IsTemporarySuffix(suffix) &&
         std::find(kOwnFileNames.begin(), kOwnFileNames.end(), base) != kOwnFileNames.end();
}

}  // namespace

std::vector<std::filesystem::path> RemoveStaleTemporaryFiles(
    FileSystem& files, const std::filesystem::path& directory) {
  std::vector<std::filesystem::path> removed;
  for (const std::string& name : files.ListFiles(directory)) {
    if (!IsOurTemporaryFile(name)) continue;
    const std::filesystem::path path = directory / name;
    // One that cannot be removed now is tried again at the next start.
    if (files.Remove(path).ok()) removed.push_back(path);
  }
  return removed;
}

}  // namespace tolvi
