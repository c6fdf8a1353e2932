// Autostart: the port that starts the program when the user logs on. The
// Options dialog writes or removes the entry on every "OK"; failures are
// reported as a Status but the dialog ignores them.
//
// Implementations hold no state between calls; GUI thread.
#pragma once

#include <string>
#include <vector>

#include "platform/status.h"

namespace tolvi {

class Autostart {
 public:
  virtual ~Autostart() = default;

  // Writes the entry that runs the command (program path first) at log-on.
  virtual Status Enable(const std::vector<std::string>& command) = 0;
  // Removes the entry; a missing entry is no error.
  virtual Status Disable() = 0;
};

}  // namespace tolvi
