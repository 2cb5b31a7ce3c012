#pragma once

// The round limits of a linear value axis, and the value labels left of a
// plot area.

#include <string>

namespace morvane {

class TRaster;

// Multiples of a round step (1, 2 or 5 · 10^n, the smallest at least a
// quarter of high − low) that enclose low .. high, never equal. A single value
// is first widened by a tenth of its magnitude either side (by 1 for 0).
struct TLinearRange {
    double Low = 0;
    double High = 1;
    double Step = 1;
};
TLinearRange RoundLinearRange(double low, double high);

// The text right-aligned just left of the plot area's left edge and centred
// on row y, as the combustion pictures label their value axes.
void LeftLabel(TRaster& picture, int y, const std::string& text);

}  // namespace morvane
