#pragma once

// One axis of a plot: a value range mapped linearly, or by its logarithm, onto
// a pixel range, and the round 1-2-5 values a logarithmic axis is gridded at.

#include <vector>

#include "util/mathutil.h"

namespace morvane {

class TRaster;

// The plot area of the combustion pictures, leaving room for the value labels
// left of it and below it.
constexpr int kPlotLeft = 32;
constexpr int kPlotTop = 6;
constexpr int kPlotRightGap = 8;
constexpr int kPlotBottomGap = 18;
constexpr TColor kGridColor = RgbColor(192, 192, 192);

// The plot area's frame in black: columns left .. right and rows top .. bottom,
// both ends included.
void DrawPlotFrame(TRaster& picture, int left, int top, int right, int bottom);

enum class TAxisKind { Linear, Logarithmic };

struct TPlotScale {
    double Low = 0;   // the value at pixel From
    double High = 1;  // the value at pixel To; differs from Low (both above 0 when logarithmic)
    int From = 0;
    int To = 1;
    TAxisKind Kind = TAxisKind::Linear;

    // The pixel of value, rounded to nearest (ties to even) and kept within
    // ±2^30 so that a value far off the range lands far off the picture. A
    // value not above 0 on a logarithmic axis gives From's side at 2^30.
    int at(double value) const;
};

// The round values 1, 2, 5 · 10^n that enclose low .. high (both above 0):
// the largest not above low and the smallest not below high, never equal.
struct TRoundRange {
    double Low = 1;
    double High = 2;
};
TRoundRange RoundLogRange(double low, double high);

// Every round value 1, 2, 5 · 10^n from range.Low to range.High.
std::vector<double> RoundValues(const TRoundRange& range);

}  // namespace morvane
