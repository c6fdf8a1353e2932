// Picks a random file of a folder for the "Random Sound" alert actions.
// Stateless; any thread (the draw function decides its own thread rules).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/file_system.h"

namespace tolvi {

// Returns a number from 1 to n (RandomNumber); n is at least 1.
using RandomDraw = std::function<std::uint32_t(std::uint32_t n)>;

// Listings longer than this are cut; the files past it are never drawn.
inline constexpr std::size_t kMaxListedFiles = 10'000;
// Each try lists the folder afresh and draws again.
inline constexpr int kPickTries = 3;

// One of the folder's regular files, chosen uniformly, or nothing when the
// folder cannot be listed, is empty, or three drawn files in a row vanished
// or could not be measured.
std::optional<std::filesystem::path> PickRandomFile(FileSystem& files,
                                                    const std::filesystem::path& folder,
                                                    const RandomDraw& draw);

}  // namespace tolvi
