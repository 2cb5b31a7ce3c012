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
//
// The polytropic offset is a weighted sum of the pressures, Δ = Σ wₖ·pₖ with
// wₖ = −xₖ·(xₖ − x̄) / Σ(xⱼ − x̄)², x = Vⁿ. Its weights sum to −1 (a constant
// error of the pressures passes into Δ as it is), but where Vⁿ hardly changes
// over the range they grow large and cancel: a pressure error of at most ε
// at every point (noise, misfit of p·Vⁿ) moves Δ by up to A·ε, A = Σ|wₖ|.
// A is 1 for a range over which Vⁿ changes a lot and about 1,5/r when Vⁿ
// spreads only ±r about its mean (near a dead centre, with a narrow range or
// a tiny exponent). A range is refused when A exceeds kMaxPegAmplification: a
// few hundredths of a bar of noise could then move the trace by more than the
// tenths of a bar pegging is there to get right. The default 245 .. 295° gives
// A ≈ 3,5 on common engines; 175 .. 185° about 1600.

#include "signal/Signal.h"
#include "signal/pressure/PressureReference.h"

namespace morvane {

constexpr double kMaxPegAmplification = 10;

// Raises EInputError for a polytropic reference whose offset would amplify
// pressure errors more than kMaxPegAmplification times (above): naming the
// exponent when the usual exponent would do on the same range, else the range
// with the method's default. Nothing for the other methods.
void CheckPegConditioning(const TSignalTable& volumes, const TPressureReference& reference);

// The offset to add to trace, in bar. The reference must have passed
// CheckPressureReference; volumes are the cylinder's at the 1441 points.
// Raises CheckPegConditioning's EInputError first.
double PegOffset(const TSignalTable& trace, const TSignalTable& volumes, const TPressureReference& reference);

// trace + offset at every point.
TSignalTable OffsetTrace(const TSignalTable& trace, double offset);

}  // namespace morvane
