#pragma once

// Shared numeric routines: the 1-D table and its linear resampling, rounding to
// a step, the blue-to-red colour map, the degree tables and the parser instance.

#include <array>
#include <cstdint>
#include <vector>

namespace morvane {

class TMathParser;

// A table of doubles; users keep Count equal to Values.size().
struct T1DTable {
    std::vector<double> Values;
    std::int32_t Count = 0;
};

// Colour value: red in the lowest byte, then green, then blue, top byte 0.
using TColor = std::uint32_t;

constexpr TColor RgbColor(unsigned red, unsigned green, unsigned blue) {
    return TColor(red) | (TColor(green) << 8) | (TColor(blue) << 16);
}
constexpr unsigned ColorRed(TColor c) {
    return c & 0xFFu;
}
constexpr unsigned ColorGreen(TColor c) {
    return (c >> 8) & 0xFFu;
}
constexpr unsigned ColorBlue(TColor c) {
    return (c >> 16) & 0xFFu;
}

// std::max_element and std::min_element of [first, last), which holds no NaN:
// the first of the largest (smallest) values, found in fewer dependent steps.
// Four running extremes are exact in any order; then the first place of the
// value is searched for.
const double* FirstLargest(const double* first, const double* last);
const double* FirstSmallest(const double* first, const double* last);

// Linear interpolation of source's Count samples onto n points; the first
// point is the first sample and the last point the last sample. An empty source
// leaves dest untouched. Callers pass n >= 1.
void ResampleTable(const T1DTable& source, T1DTable& dest, std::int32_t n);

// The nearest multiple of step (ties to the even multiple). EZeroDivide or
// EInvalidOp as a division and a 64-bit rounding would raise them.
double RoundToStep(double value, double step);

// Blue (x = 0) through cyan, green and yellow to red (x = 1); clamped.
TColor ValueToColor(double x);

constexpr int kDegreeTableSize = 361;
extern std::array<double, kDegreeTableSize> SinTable;
extern std::array<double, kDegreeTableSize> CosTable;

// The process-wide parser instance; exists between start-up and shut-down.
extern TMathParser* MathParser;

// Module start-up: create MathParser, fill the degree tables, seed the
// pseudo-random generator. Shut-down frees MathParser.
void MathUtilStartup();
void MathUtilShutdown();

}  // namespace morvane
