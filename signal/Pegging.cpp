#include "signal/Pegging.h"

#include <cmath>

#include "util/errors.h"
#include "util/fpfault.h"

namespace morvane {

namespace {

struct TPointSpan {
    int First = 0;
    int Last = 0;  // included
};

TPointSpan RangePoints(const TPressureReference& reference) {
    const TAngleRange range = PegRangeOf(reference);
    return {static_cast<int>(std::ceil(2 * range.From)), static_cast<int>(std::floor(2 * range.To))};
}

long double PointOffset(const TSignalTable& trace, TPointSpan span, double pegPressure) {
    long double sum = 0;
    for (int k = span.First; k <= span.Last; ++k) {
        sum += trace[static_cast<std::size_t>(k)];
    }
    return pegPressure - sum / (span.Last - span.First + 1);
}

long double PolytropicOffset(const TSignalTable& trace, const TSignalTable& volumes, TPointSpan span,
                             double exponent) {
    // Vⁿ relative to the first point's: Δ does not depend on the scale of Vⁿ,
    // and the sums stay near 1.
    const long double base = volumes[static_cast<std::size_t>(span.First)];
    const long double n = span.Last - span.First + 1;
    long double sumX = 0;
    long double sumY = 0;
    for (int k = span.First; k <= span.Last; ++k) {
        const long double x = std::pow(volumes[static_cast<std::size_t>(k)] / base, exponent);
        sumX += x;
        sumY += trace[static_cast<std::size_t>(k)] * x;
    }
    const long double meanX = sumX / n;
    const long double meanY = sumY / n;
    long double covariance = 0;
    long double variance = 0;
    for (int k = span.First; k <= span.Last; ++k) {
        const long double x = std::pow(volumes[static_cast<std::size_t>(k)] / base, exponent);
        const long double y = trace[static_cast<std::size_t>(k)] * x;
        covariance += (x - meanX) * (y - meanY);
        variance += (x - meanX) * (x - meanX);
    }
    if (!(variance > 1e-18L * meanX * meanX * n)) {
        RaiseInputError("Rozsah vztažení [°]", "zahrnout body s různým objemem válce");
    }
    return -covariance / variance;
}

}  // namespace

double PegOffset(const TSignalTable& trace, const TSignalTable& volumes,
                 const TPressureReference& reference) {
    switch (reference.PegMethod) {
        case TPegMethod::Point:
            return StoreDouble(PointOffset(trace, RangePoints(reference), reference.PegPressure));
        case TPegMethod::Polytropic:
            return StoreDouble(
                PolytropicOffset(trace, volumes, RangePoints(reference), reference.PegExponent));
        case TPegMethod::None:
            break;
    }
    return 0;
}

TSignalTable OffsetTrace(const TSignalTable& trace, double offset) {
    if (offset == 0) {
        return trace;
    }
    TSignalTable shifted{};
    for (std::size_t k = 0; k < trace.size(); ++k) {
        shifted[k] = StoreDouble(static_cast<long double>(trace[k]) + offset);
    }
    return shifted;
}

}  // namespace morvane
