#include "reminders/pick_random_file.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tolvi {
namespace {

// A 0-based index from a 1..n draw; a draw outside its range is clamped.
std::size_t DrawIndex(const RandomDraw& draw, std::size_t count) {
  const auto n = static_cast<std::uint32_t>(count);
  const std::uint32_t number = std::clamp<std::uint32_t>(draw(n), 1, n);
  return number - 1;
}

}  // namespace

std::optional<std::filesystem::path> PickRandomFile(FileSystem& files,
                                                    const std::filesystem::path& folder,
                                                    const RandomDraw& draw) {
  for (int attempt = 0; attempt < kPickTries; ++attempt) {
    std::vector<std::string> names = files.ListFiles(folder);
    if (names.size() > kMaxListedFiles) names.resize(kMaxListedFiles);
    if (names.empty()) continue;
    std::filesystem::path candidate = folder / names[DrawIndex(draw, names.size())];
    if (files.FileSize(candidate).has_value()) return candidate;
  }
  return std::nullopt;
}

}  // namespace tolvi
