#include "timeline/PlotScale.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "timeline/Raster.h"

namespace morvane {

namespace {

constexpr long double kSafeCoordinate = 1 << 30;
constexpr std::array<double, 3> kMantissas{1, 2, 5};
// A value typed as 20 may be 19,999999999999996 after a unit conversion; it
// still counts as round.
constexpr double kRoundTolerance = 1e-9;

long double AxisValue(double value, TAxisKind kind) {
    return kind == TAxisKind::Logarithmic ? std::log10(static_cast<long double>(value)) : value;
}

// Round values by index: 3n + j stands for kMantissas[j] · 10^n.
double RoundValue(int index) {
    const int decade = index >= 0 ? index / 3 : -((-index + 2) / 3);
    return kMantissas[static_cast<std::size_t>(index - 3 * decade)] * std::pow(10.0, decade);
}

int RoundIndexBelow(double value) {
    int index = 3 * static_cast<int>(std::floor(std::log10(value))) + 2;
    while (RoundValue(index) > value * (1 + kRoundTolerance)) {
        --index;
    }
    return index;
}

}  // namespace

int TPlotScale::at(double value) const {
    if (Kind == TAxisKind::Logarithmic && !(value > 0)) {
        return static_cast<int>(From < To ? -kSafeCoordinate : kSafeCoordinate);
    }
    const long double low = AxisValue(Low, Kind);
    const long double share = (AxisValue(value, Kind) - low) / (AxisValue(High, Kind) - low);
    const long double pixel = From + share * (static_cast<long double>(To) - From);
    return static_cast<int>(std::llrint(std::clamp(pixel, -kSafeCoordinate, kSafeCoordinate)));
}

TRoundRange RoundLogRange(double low, double high) {
    const int lowIndex = RoundIndexBelow(low);
    int highIndex = RoundIndexBelow(high);
    if (RoundValue(highIndex) < high * (1 - kRoundTolerance) || highIndex == lowIndex) {
        ++highIndex;
    }
    return {RoundValue(lowIndex), RoundValue(highIndex)};
}

std::vector<double> RoundValues(const TRoundRange& range) {
    std::vector<double> values;
    for (int index = RoundIndexBelow(range.Low); RoundValue(index) <= range.High * (1 + kRoundTolerance);
         ++index) {
        values.push_back(RoundValue(index));
    }
    return values;
}

void DrawPlotFrame(TRaster& picture, int left, int top, int right, int bottom) {
    picture.setPenColor(kBlackColor);
    picture.setPenStyle(TPenStyle::Solid);
    picture.moveTo(left, top);
    picture.lineTo(right, top);
    picture.lineTo(right, bottom);
    picture.lineTo(left, bottom);
    picture.lineTo(left, top);
}

}  // namespace morvane
