#pragma once

// The firing top dead centre of a pressure trace: moving the trace onto the
// true reference, and proposing how far to move it from a motored trace.

#include "signal/Signal.h"

namespace morvane {

// The trace with its firing top dead centre, which lies at 360 + shift on its
// angle scale, moved to 360°: point θ takes the trace's value at θ + shift,
// linearly between the two points around it, the cycle continued periodically
// (720° ≡ 0°, so point 1440 counts as point 0). A shift of 0 gives the trace
// back unchanged, point 1440 included. Raises EInputError for a shift beyond
// ±360°.
TSignalTable ShiftTrace(const TSignalTable& trace, double shift);

// The levels of the peak pressure whose chords locate a motored peak.
constexpr double kChordLowestLevel = 0.50;
constexpr double kChordHighestLevel = 0.95;
constexpr double kChordLevelStep = 0.05;

// The shift a motored trace proposes: s = θsym + lossAngle − 360, θsym the
// mean of the midpoints of the trace's chords at the levels 0,50; 0,55; …
// 0,95 of its peak pressure (the first largest point). At each level the chord
// runs from the last crossing before the peak to the first crossing after it,
// each interpolated linearly between the two points around it. The loss angle
// is how far the motored peak lies before the true top dead centre (heat loss
// and blow-by; typically 0,4 to 1,3°).
// Raises EInputError for a peak not above 0 or a trace that does not fall
// below half its peak on both sides of it.
double ProposeTdcShift(const TSignalTable& trace, double lossAngle);

}  // namespace morvane
