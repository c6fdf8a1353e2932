// Where the data files live. A copy of the program in a writable folder
// without the marker file "DefSet.txt" keeps its data beside itself
// (portable use; a removable drive always does); an installed program, or
// one with the marker, uses the per-user data folder
// $XDG_DATA_HOME/Drovik/Tolvi (default ~/.local/share/Drovik/Tolvi). The
// command-line option --data-dir overrides both.
//
// The facts about the system are gathered by the platform layer; this file
// only decides, asking the FileSystem port whether the marker exists.
// Pure; any thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/status.h"

namespace tolvi {

inline constexpr char kPortableMarkerFileName[] = "DefSet.txt";
inline constexpr char kVendorFolder[] = "Drovik";
inline constexpr char kProductFolder[] = "Tolvi";

struct DirectoryFacts {
  std::optional<std::filesystem::path> data_dir_option;  // --data-dir
  std::filesystem::path program_directory;               // empty when unknown
  bool program_directory_writable = false;
  bool program_on_removable_drive = false;
  // The program runs from the directory it was installed to (bin/).
  bool program_installed = false;
  std::optional<std::string> xdg_data_home;  // $XDG_DATA_HOME
  std::optional<std::string> home;           // $HOME
};

enum class DataDirectoryKind : std::uint8_t { kOption, kBesideProgram, kUserData };

struct DataDirectoryChoice {
  std::filesystem::path directory;
  DataDirectoryKind kind = DataDirectoryKind::kUserData;
};

// The per-user data folder, or nothing when neither an absolute
// $XDG_DATA_HOME nor an absolute $HOME is known.
std::optional<std::filesystem::path> UserDataDirectory(const DirectoryFacts& facts);

// The data directory for these facts, or nothing when no usable directory is
// known (no option, the program's folder not usable, no home).
std::optional<DataDirectoryChoice> ChooseDataDirectory(FileSystem& files,
                                                       const DirectoryFacts& facts);

// Creates the chosen directory with its parents (an existing one is fine).
Status PrepareDataDirectory(FileSystem& files, const DataDirectoryChoice& choice);

}  // namespace tolvi
