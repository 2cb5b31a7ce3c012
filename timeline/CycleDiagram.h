#pragma once

// The figures of every cycle over the cycle number, in stacked panels that
// share the cycle axis: net IMEP [bar], MFB50 [°] and, when the recording gave
// it, MAPO [bar]. A misfire (a cycle that did not burn) is marked by a red
// dotted line through the IMEP and MFB50 panels, and its MFB50 line breaks; a
// knocking cycle by a magenta dotted line through the MAPO panel. Each panel
// has round value limits, labelled on its left; the cycle axis is labelled
// with the first and last cycle number.

#include <vector>

#include "signal/pressure/CycleFigures.h"
#include "util/mathutil.h"
#include "util/numtext.h"

namespace morvane {

class TRaster;

constexpr TColor kImepColor = RgbColor(0, 0, 192);
constexpr TColor kMfb50Color = RgbColor(0, 128, 0);
constexpr TColor kMapoColor = RgbColor(192, 64, 0);
constexpr TColor kMisfireColor = RgbColor(255, 0, 0);
constexpr TColor kKnockColor = RgbColor(192, 0, 192);

// The gap between two panels, pixels.
constexpr int kPanelGap = 10;

// Repaints the picture at its size. Without cycles only the panels' frames
// are drawn.
void DrawCycleDiagram(const std::vector<TCycleFigures>& cycles, TRaster& picture, TNumberFormat format);

}  // namespace morvane
