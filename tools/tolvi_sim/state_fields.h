// The fields a script may set and show by name: every Settings field (from
// the settings table) and the other fields of ProgramData and ActivityState,
// named as the program's documents name them (WorkTodayMs, WorkingFlag...).
// Numbers are in their stored unit; texts are the rest of the line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/shared_state.h"

namespace tolvi::sim {

// The value as text; nullopt for an unknown name.
std::optional<std::string> ShowField(const SharedState& state, std::string_view name);
// An error text, empty on success.
std::string SetField(SharedState& state, std::string_view name, std::string_view value);
// Every name, settings first, for the documentation and error messages.
std::vector<std::string> FieldNames();

}  // namespace tolvi::sim
