#include "signal/pressure/Pegging.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "util/errors.h"
#include "util/fpfault.h"
#include "util/numtext.h"

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

// Vⁿ relative to the first point's: Δ does not depend on the scale of Vⁿ,
// and the sums stay near 1.
long double RelativePower(const TSignalTable& volumes, TPointSpan span, int k, double exponent) {
    return std::pow(volumes[static_cast<std::size_t>(k)] /
                        static_cast<long double>(volumes[static_cast<std::size_t>(span.First)]),
                    exponent);
}

long double PolytropicOffset(const TSignalTable& trace, const TSignalTable& volumes, TPointSpan span,
                             double exponent) {
    const long double n = span.Last - span.First + 1;
    long double sumX = 0;
    long double sumY = 0;
    for (int k = span.First; k <= span.Last; ++k) {
        const long double x = RelativePower(volumes, span, k, exponent);
        sumX += x;
        sumY += trace[static_cast<std::size_t>(k)] * x;
    }
    const long double meanX = sumX / n;
    const long double meanY = sumY / n;
    long double covariance = 0;
    long double variance = 0;
    for (int k = span.First; k <= span.Last; ++k) {
        const long double x = RelativePower(volumes, span, k, exponent);
        const long double y = trace[static_cast<std::size_t>(k)] * x;
        covariance += (x - meanX) * (y - meanY);
        variance += (x - meanX) * (x - meanX);
    }
    return -covariance / variance;
}

// A = Σ|xₖ·(xₖ − x̄)| / Σ(xₖ − x̄)² (see the header); nothing when Vⁿ is the
// same at every point.
std::optional<long double> OffsetAmplification(const TSignalTable& volumes, TPointSpan span,
                                               double exponent) {
    long double sumX = 0;
    for (int k = span.First; k <= span.Last; ++k) {
        sumX += RelativePower(volumes, span, k, exponent);
    }
    const long double meanX = sumX / (span.Last - span.First + 1);
    long double weights = 0;
    long double variance = 0;
    for (int k = span.First; k <= span.Last; ++k) {
        const long double x = RelativePower(volumes, span, k, exponent);
        weights += std::fabs(x * (x - meanX));
        variance += (x - meanX) * (x - meanX);
    }
    if (!(variance > 0)) {
        return std::nullopt;
    }
    return weights / variance;
}

bool Conditioned(const std::optional<long double>& amplification) {
    return amplification && *amplification <= kMaxPegAmplification;
}

std::string Degrees(double angle) {
    return FormatFloatGeneral(angle, kDecimalComma);
}

}  // namespace

void CheckPegConditioning(const TSignalTable& volumes, const TPressureReference& reference) {
    if (reference.PegMethod != TPegMethod::Polytropic) {
        return;
    }
    const TPointSpan span = RangePoints(reference);
    if (Conditioned(OffsetAmplification(volumes, span, reference.PegExponent))) {
        return;
    }
    const std::string amplified = "by se chyba tlaku v posunu tlaku zvětšila více než " +
                                  FormatInteger(static_cast<std::int64_t>(kMaxPegAmplification)) + "krát";
    const double usual = TPressureReference{}.PegExponent;
    if (reference.PegExponent < usual && Conditioned(OffsetAmplification(volumes, span, usual))) {
        RaiseInputError("Exponent polytropy [1] " + FormatFloatGeneral(reference.PegExponent, kDecimalComma),
                        "větší (obvykle " + FormatFloatGeneral(usual, kDecimalComma) +
                            "): s tak malým exponentem " + amplified);
    }
    const TAngleRange range = PegRangeOf(reference);
    TPressureReference byDefault = reference;
    byDefault.PegRange.reset();
    const TAngleRange usualRange = PegRangeOf(byDefault);
    const std::string suggestion = reference.PegRange ? " (výchozí rozsah je " + Degrees(usualRange.From) +
                                                            " až " + Degrees(usualRange.To) + ")"
                                                      : "";
    RaiseInputError(
        "Rozsah vztažení [°] " + Degrees(range.From) + " až " + Degrees(range.To),
        "širší nebo dál od úvratí: objem válce se v něm mění tak málo, že " + amplified + suggestion);
}

double PegOffset(const TSignalTable& trace, const TSignalTable& volumes,
                 const TPressureReference& reference) {
    CheckPegConditioning(volumes, reference);
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
