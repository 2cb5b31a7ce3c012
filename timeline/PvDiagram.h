#pragma once

// The p–V loop of a pressure cycle on logarithmic axes: pressure in bar upward,
// volume in cm³ to the right, gridded at round 1-2-5 values. On these axes a
// polytropic compression or expansion is a straight line, so the loop shows
// where heat enters and where the valves work.

#include "signal/Signal.h"
#include "util/mathutil.h"
#include "util/numtext.h"

namespace morvane {

class TRaster;

constexpr TColor kLoopColor = RgbColor(0, 0, 192);

// Repaints the picture at its size: the grid with its labels (values from 1
// up), the frame and the loop through the 1441 points in order. Points whose
// pressure or volume is not above 0 cannot be shown on these axes: the loop
// breaks there. Without any drawable point only the frame is drawn.
void DrawPvDiagram(const TSignalTable& pressure, const TSignalTable& volumes, TRaster& picture,
                   TNumberFormat format);

}  // namespace morvane
