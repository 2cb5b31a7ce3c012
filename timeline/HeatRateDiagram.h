#pragma once

// The heat-release rate dQ/dφ over the crank angle of the heat-release window,
// to be shown beside the mass fraction burned on the same angle axis: the
// rate in J/° upward on round limits that include 0 (dotted line at 0), the
// angle to the right, and the ignition angle as a vertical mark, so that the
// ignition delay shows as the gap between the mark and the rise.

#include <optional>

#include "events/EngineEvent.h"
#include "signal/pressure/CombustionFigures.h"
#include "util/mathutil.h"
#include "util/numtext.h"

namespace morvane {

class TRaster;

constexpr TColor kHeatRateColor = RgbColor(192, 64, 0);
constexpr TColor kIgnitionColor = RgbColor(0, 0, 255);

// The final angle of cylinder 1's ignition ("Zapalování 1") in the event
// list, on the same 0 .. 720° scale as the pressure cycle; nothing without one.
std::optional<double> CylinderOneIgnition(const TEventList& events);

// Repaints the picture at its size. The angle labels give the window's ends,
// the rate labels the axis's limits and 0. The ignition mark is drawn only
// when the angle (degrees of the cycle) lies within the window. A release with
// fewer than two points draws only the frame.
void DrawHeatRateDiagram(const THeatRelease& release, std::optional<double> ignitionAngle, TRaster& picture,
                         TNumberFormat format);

}  // namespace morvane
