#pragma once

// The shared signal tables: entry k stands for crank angle k/2 degrees.

#include <array>
#include <string>

namespace morvane {

constexpr int SignalPoints = 1441;
using TSignalTable = std::array<double, SignalPoints>;

// Written only by the importers; every entry within -1 .. +1.
extern TSignalTable Signal;
// The moving average of Signal; written only by the timeline, in full.
extern TSignalTable SignalTrend;
// The path last chosen in either import command; the next dialog's initial name.
extern std::string LastImportFile;

}  // namespace morvane
