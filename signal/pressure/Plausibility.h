#pragma once

// Figures that are computed but not to be trusted: the page shows them marked
// rather than as good. Each doubt names the entry to look at, as the page
// labels it, the figures it concerns and a Czech line saying why.
//
// - The heat-release window: the single-zone release holds only while the
//   valves are closed, i.e. over compression and expansion, 180 .. 540° (the
//   same span as gross IMEP). A window starting before 180° doubts
//   "Okno od [°]", one ending after 540° doubts "Okno do [°]"; either way the
//   window takes in gas exchange, whose pressure changes the model reads as
//   heat (0 .. 720° puts the shared diesel's MFB10 at 68,55° for 364,35°).
//   So a window wider than 360° is always doubted. Concerns MFB10/50/90 and
//   the heat.
// - The burn curve: on a burned cycle, the mass fraction burned after its
//   maximum falls below kLowestFractionAfterPeak times that maximum at a
//   point of the window up to 540° (gas exchange beyond is the window's
//   doubt). Heat loss lowers it a little after the burn, never by half; so
//   steep a fall means a volume that does not fit the trace, most often a
//   wrong compression ratio (10 for the shared diesel's 21,2 does it).
//   Doubts "Kompresní poměr [1]"; concerns MFB10/50/90 and the heat.

#include <string>
#include <vector>

#include "signal/pressure/CombustionFigures.h"

namespace morvane {

constexpr double kClosedValvesStart = 180;  // degrees
constexpr double kClosedValvesEnd = 540;    // degrees
constexpr double kLowestFractionAfterPeak = 0.5;

struct TDoubt {
    std::string Field;                 // the entry's label on the page
    std::vector<std::string> Figures;  // the figure names (as listed) it concerns
    std::string Text;                  // why, in Czech
};

// The doubts about the figures computed with settings, in the order above;
// empty when none.
std::vector<TDoubt> JudgePlausibility(const TCombustionSettings& settings, const TCombustionFigures& figures);

}  // namespace morvane
