#pragma once

// Pegging: a piezoelectric sensor measures pressure changes, its zero drifts
// from cycle to cycle, so each cycle is tied to absolute pressure by adding one
// offset Δ to every point. Both methods are linear in the trace: the offset of
// a mean of cycles is the mean of their offsets.
//
// Over the points of the range (the half-degree points θ with FROM ≤ θ ≤ TO):
// - point: Δ = peg pressure − the mean of the trace's points;
// - polytropic: the Δ that makes (p + Δ)·Vⁿ as constant as possible, in the
//   least-squares sense: Δ = −cov(Vⁿ, p·Vⁿ)/var(Vⁿ), the population
//   covariance and variance over the points.
// - none: Δ = 0.

#include "signal/PressureReference.h"
#include "signal/Signal.h"

namespace morvane {

// The offset to add to trace, in bar. The reference must have passed
// CheckPressureReference; volumes are the cylinder's at the 1441 points.
// Raises EInputError when a polytropic range holds one volume only (symmetric
// about a dead centre, say), so that no exponent can tell the offset.
double PegOffset(const TSignalTable& trace, const TSignalTable& volumes, const TPressureReference& reference);

// trace + offset at every point.
TSignalTable OffsetTrace(const TSignalTable& trace, double offset);

}  // namespace morvane
