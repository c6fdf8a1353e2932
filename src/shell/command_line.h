// The desktop program's command line: --data-dir DIR (or --data-dir=DIR),
// --version (-v) and --help (-h). The version and help answers are plain
// text, so a terminal without a display still gets them: the front end
// parses once before it opens the display (acting only on help and
// version, since the toolkit's own options are still among the arguments)
// and once after the toolkit has taken its options out (reporting errors).
//
// Pure; any thread.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tolvi {

inline constexpr int kExitUsage = 2;

struct CommandLine {
  std::optional<std::filesystem::path> data_dir;
  bool help = false;
  bool version = false;
  // The first argument that is not understood, as a message; empty if none.
  std::string error;
};

// `arguments` excludes the program name.
[[nodiscard]] CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// "Tolvi 1.91" and a line break.
[[nodiscard]] std::string VersionText();
// Usage and every option, one per line.
[[nodiscard]] std::string HelpText();

}  // namespace tolvi
