#pragma once

// The batch tool's "combustion": the figures of the page "Spalování" for a
// pressure-cycle file, one "name;value" line each.

#include <string>

#include "cli/Arguments.h"

namespace morvane {

// Reads the cycle and returns its figures' lines. Failures propagate to the
// caller's command guard.
std::string CombustionReport(const TCombustionOptions& options);

}  // namespace morvane
