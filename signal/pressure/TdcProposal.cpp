#include "signal/pressure/TdcProposal.h"

#include <cmath>

#include "signal/pressure/CombustionFigures.h"
#include "signal/pressure/EngineGeometry.h"
#include "signal/pressure/Pegging.h"
#include "signal/pressure/TopDeadCentre.h"
#include "util/errors.h"

namespace morvane {

TSignalTable PeggingVolumes(const TPressureReference& reference, const TCombustionTexts& engine,
                            TNumberFormat format) {
    if (reference.PegMethod != TPegMethod::Polytropic) {
        return {};
    }
    return CylinderVolumes(ParseCombustionTexts(engine, format).Geometry);
}

double ProposeCycleTdcShift(const TPressureCycle& cycle, const TPressureReference& reference,
                            const TSignalTable& volumes, double lossAngle, TNumberFormat format) {
    if (!(std::fabs(lossAngle) <= kMaxLossAngle)) {
        RaiseInputError("Úhel ztráty [°]", "v rozsahu -10 až 10");
    }
    // The shift typed is what the proposal replaces: only the pegging is judged.
    TPressureReference pegging = reference;
    pegging.TdcShift = 0;
    CheckPressureReference(pegging);
    const TSignalTable& mean = cycle.Mean;
    CheckStrayPoints(mean, 0, format);
    if (!cycle.InBar) {
        return ProposeTdcShift(mean, lossAngle);
    }
    // Pegging is linear, so the pegged mean is the mean of the pegged cycles.
    return ProposeTdcShift(OffsetTrace(mean, PegOffset(mean, volumes, pegging)), lossAngle);
}

}  // namespace morvane
