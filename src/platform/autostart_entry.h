// The log-on entry that starts Tolvi when the user logs on ("Auto Start"):
// the text of an XDG autostart desktop entry for a command line, with every
// argument quoted and escaped for the Exec key, so that paths with spaces,
// quotes, dollars, backslashes or percent signs come back unchanged.
// Pure functions; any thread.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tolvi {

inline constexpr std::string_view kAutostartFileName = "tolvi.desktop";

// One argument as the Exec key's quoting rule writes it: in double quotes,
// with `"`, `` ` ``, `$` and `\` preceded by a backslash, and `%` doubled.
// The general escaping of string values is not applied yet.
std::string QuoteExecArgument(std::string_view argument);

// The Exec value for the command (program first), after the general
// escaping of string values (so a literal backslash becomes four). nullopt
// when an argument is not valid UTF-8 or holds a zero byte: such a command
// cannot be written into a desktop entry faithfully.
std::optional<std::string> ExecValue(std::span<const std::string> command);

// The whole desktop entry; nullopt as for ExecValue or for an empty command.
std::optional<std::string> AutostartEntryText(std::span<const std::string> command);

}  // namespace tolvi
