#pragma once

// The batch tool's report of "events": the cycle time and the event table as
// ';'-separated lines, as the window's lists show them.

#include <string>

#include "events/Recalculation.h"

namespace morvane {

// "Doba cyklu [ms];<time>", then "ID;Úhel;Popis" and one line per event.
std::string EventTableText(const TRecalcControls& controls);

}  // namespace morvane
