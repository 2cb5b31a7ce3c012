#include "signal/pressure/TopDeadCentre.h"

#include <algorithm>
#include <cmath>

#include "signal/pressure/PressureReference.h"
#include "util/errors.h"
#include "util/fpfault.h"

namespace morvane {

namespace {

constexpr int kCyclePoints = SignalPoints - 1;  // 1440: point 1440 is point 0 again
constexpr int kLevelCount = 10;                 // 0,50 .. 0,95 in steps of 0,05

// The point position (in half degrees) where the trace crosses level between
// points below and below + 1, one of them under the level.
long double Crossing(const TSignalTable& trace, int below, long double level) {
    const long double p0 = trace[static_cast<std::size_t>(below)];
    const long double p1 = trace[static_cast<std::size_t>(below) + 1];
    return below + Divide(level - p0, p1 - p0);
}

[[noreturn]] void RaiseNoChord() {
    RaiseInputError("Tlak motorového cyklu [bar]", "před vrcholem i za ním nižší než polovina vrcholu");
}

}  // namespace

TSignalTable ShiftTrace(const TSignalTable& trace, double shift) {
    CheckTdcShift(shift);
    if (shift == 0) {
        return trace;
    }
    TSignalTable shifted{};
    // Positions in points, wrapped into 0 .. 1440; fmod keeps the wide range exact.
    const long double steps = std::fmod(2.0L * shift, static_cast<long double>(kCyclePoints));
    for (int k = 0; k < SignalPoints; ++k) {
        long double position = std::fmod(k + steps, static_cast<long double>(kCyclePoints));
        if (position < 0) {
            position += kCyclePoints;
        }
        const int below = std::min(static_cast<int>(position), kCyclePoints - 1);
        const long double fraction = position - below;
        const long double p0 = trace[static_cast<std::size_t>(below)];
        const long double p1 = trace[static_cast<std::size_t>((below + 1) % kCyclePoints)];
        shifted[static_cast<std::size_t>(k)] =
            fraction == 0 ? trace[static_cast<std::size_t>(below)] : StoreDouble(p0 + fraction * (p1 - p0));
    }
    return shifted;
}

double ProposeTdcShift(const TSignalTable& trace, double lossAngle) {
    const auto peakAt = std::max_element(trace.begin(), trace.end());
    const long double peak = *peakAt;
    if (!(peak > 0)) {
        RaiseInputError("Tlak motorového cyklu [bar]", "alespoň v jednom bodě větší než 0");
    }
    const int top = static_cast<int>(peakAt - trace.begin());
    long double midpoints = 0;
    for (int n = 0; n < kLevelCount; ++n) {
        const long double level = peak * (kChordLowestLevel + n * static_cast<long double>(kChordLevelStep));
        int before = top;
        while (before > 0 && trace[static_cast<std::size_t>(before)] >= level) {
            --before;
        }
        int after = top;
        while (after < kCyclePoints && trace[static_cast<std::size_t>(after)] >= level) {
            ++after;
        }
        if (trace[static_cast<std::size_t>(before)] >= level ||
            trace[static_cast<std::size_t>(after)] >= level) {
            RaiseNoChord();
        }
        midpoints += (Crossing(trace, before, level) + Crossing(trace, after - 1, level)) / 2;
    }
    // Points are half degrees.
    const long double symmetry = midpoints / kLevelCount / 2;
    return StoreDouble(symmetry + lossAngle - 360);
}

}  // namespace morvane
