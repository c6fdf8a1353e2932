// InstallStandardHooks: plugs the program's own implementations into the
// seams of CoreHooks. Every front end (the Qt shell, the command-line
// program, tolvi-sim) calls it once, right after constructing the context.
// GUI thread, before the monitor starts.
#pragma once

#include "state/core_context.h"

namespace tolvi {

void InstallStandardHooks(CoreContext& context);

}  // namespace tolvi
