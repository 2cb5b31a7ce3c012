#pragma once

// The batch tool's command "valves" and the firing order of "events": the page
// "Rozvod" without a window.

#include <string>

#include "events/MainControls.h"
#include "util/messages.h"

namespace morvane {

struct TCliArguments;
struct TEventsOptions;

// The count text the window's "Počet válců [1]" gets: --cylinders, else the
// table's data lines, else the window's default 1.
std::string CylinderCountText(const TEventsOptions& options, int tableLines);

// Sets the count and, when --firing-order was given, the offsets of the table.
void ApplyCylinderOptions(const TEventsOptions& options, int tableLines, TMemoryMainControls& window);

// The summary lines ("Válec;Přesazení;...", then one per cylinder) and the
// diagram when asked for. The text goes to report only when all succeeded.
// A diagram of a cylinder beyond the count raises EUsageError.
void RunValvesCommand(const TCliArguments& arguments, int tableLines, TMemoryMainControls& window,
                      std::string& report);

}  // namespace morvane
