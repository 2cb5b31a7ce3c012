#pragma once

// The mass fraction burned over the crank angle of the heat-release window:
// the fraction from 0 to 100 % upward, the angle to the right, dotted guides
// at 10, 50 and 90 % and, for a burned cycle, a red mark at each burn angle.

#include <optional>

#include "signal/pressure/CombustionFigures.h"
#include "util/mathutil.h"
#include "util/numtext.h"

namespace morvane {

class TRaster;

constexpr TColor kBurnColor = RgbColor(0, 128, 0);
constexpr TColor kBurnMarkColor = RgbColor(255, 0, 0);

// The fraction axis reaches this far below 0 and above 1, so that the
// fraction's dip before Qmin and its fall after Qmax stay in sight.
constexpr double kFractionMargin = 0.1;

// Repaints the picture at its size. The angle labels give the window's ends,
// the fraction labels 0, 50 and 100 (%). A release without points draws only
// the frame.
void DrawBurnDiagram(const THeatRelease& release, const std::optional<TBurnAngles>& burn, TRaster& picture,
                     TNumberFormat format);

}  // namespace morvane
