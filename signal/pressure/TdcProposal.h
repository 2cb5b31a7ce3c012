#pragma once

// The top-dead-centre shift proposed from a motored cycle, one rule for the
// page "Spalování" and the batch tool's "tdc": the mean trace's stray points
// refused, the trace pegged when it is in bar (the chords are taken at levels
// of the peak, so a relative trace must be made absolute first; the typed
// shift is what the proposal replaces and is not applied), then
// ProposeTdcShift with the loss angle.

#include "signal/Signal.h"
#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/PressureCycle.h"
#include "signal/pressure/PressureReference.h"
#include "util/numtext.h"

namespace morvane {

// Heat loss and blow-by put a motored peak some tenths of a degree early;
// beyond this it is a typing mistake.
constexpr double kMaxLossAngle = 10;

// The loss angle the proposal takes unless told otherwise.
inline constexpr const char* kDefaultLossAngleText = "0";

// The cylinder volumes the proposal's pegging reads: the engine's, its texts
// parsed (a mistake raises EInputError naming the field), for polytropic
// pegging only; all zero for the other methods, which need no engine.
TSignalTable PeggingVolumes(const TPressureReference& reference, const TCombustionTexts& engine,
                            TNumberFormat format);

// The shift the cycle's mean proposes, taken as a motored trace, with the
// reference's pegging and volumes from PeggingVolumes. Raises EInputError for
// a loss angle beyond ±kMaxLossAngle, a pegging CheckPressureReference
// refuses (the shift aside) or the volumes cannot condition, a stray point or
// a trace without chords (see ProposeTdcShift).
double ProposeCycleTdcShift(const TPressureCycle& cycle, const TPressureReference& reference,
                            const TSignalTable& volumes, double lossAngle, TNumberFormat format);

}  // namespace morvane
