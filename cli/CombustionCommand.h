#pragma once

// The batch tool's "combustion": the figures of the page "Spalování" for a
// pressure-cycle file, one "name;value" line each.

#include <string>

#include "cli/Arguments.h"
#include "util/messages.h"

namespace morvane {

// Reads the cycle (or averages the recording's cycles, showing the import's
// summary in boxes) and returns its figures' lines. Failures propagate to the
// caller's command guard.
std::string CombustionReport(const TCombustionOptions& options, IMessageBoxes& boxes);

}  // namespace morvane
