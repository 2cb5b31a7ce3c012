#pragma once

// The valid ranges of the encoder import's entries, in one place: the import
// checks its options with them, the window's dialog and the batch tool check
// what the user typed with them and say the range.

#include <cmath>

namespace morvane {

// The wheel "T-M": T tooth positions, M of them missing.
constexpr int kFewestWheelTeeth = 2;
constexpr int kMostWheelTeeth = 3600;

// 2 <= teeth <= 3600 and 0 <= missing <= teeth / 2: a gap wider than half the
// wheel leaves too few edges to measure a revolution.
constexpr bool IsWheelInRange(int teeth, int missing) {
    return teeth >= kFewestWheelTeeth && teeth <= kMostWheelTeeth && missing >= 0 && missing <= teeth / 2;
}

// The cycle angle of the reference edge: 0 <= degrees < 360.
constexpr double kLowestReferenceAngle = 0;
constexpr double kReferenceAngleBelow = 360;

constexpr bool IsReferenceAngleInRange(double degrees) {
    return degrees >= kLowestReferenceAngle && degrees < kReferenceAngleBelow;
}

// The sample rate: above 0 and finite.
inline bool IsSampleRateInRange(double hertz) {
    return hertz > 0 && std::isfinite(hertz);
}

// The revolution that opens a cycle: 0 lets the signal choose.
constexpr bool IsPhaseInRange(int phase) {
    return phase >= 0 && phase <= 2;
}

}  // namespace morvane
