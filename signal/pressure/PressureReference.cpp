#include "signal/pressure/PressureReference.h"

#include <cmath>

#include "signal/pressure/CombustionInputs.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/pairtext.h"

namespace morvane {

namespace {

constexpr double kMaxPegPressure = 1000;
constexpr double kMaxPegExponent = 10;

bool HoldsTwoPoints(const TAngleRange& range) {
    if (!(range.From >= 0 && range.To <= 720 && range.From <= range.To)) {
        return false;
    }
    return std::floor(2 * range.To) > std::ceil(2 * range.From);
}

}  // namespace

void CheckTdcShift(double shift) {
    if (!(std::fabs(shift) <= kMaxTdcShift)) {
        RaiseInputError("Posun HÚ [°]", "v rozsahu -360 až 360");
    }
}

TAngleRange PegRangeOf(const TPressureReference& reference) {
    if (reference.PegRange) {
        return *reference.PegRange;
    }
    return reference.PegMethod == TPegMethod::Polytropic ? TAngleRange{245, 295} : TAngleRange{175, 185};
}

void CheckPressureReference(const TPressureReference& reference) {
    CheckTdcShift(reference.TdcShift);
    if (reference.PegMethod == TPegMethod::None) {
        return;
    }
    if (!HoldsTwoPoints(PegRangeOf(reference))) {
        RaiseInputError("Rozsah vztažení [°]",
                        "od menšího k většímu v rozsahu 0 až 720 a zahrnout alespoň dva body cyklu");
    }
    if (!(reference.PegPressure > 0) || reference.PegPressure > kMaxPegPressure) {
        RaiseInputError("Tlak vztažení [bar]", "větší než 0 a nejvýše 1000");
    }
    if (reference.PegMethod == TPegMethod::Polytropic &&
        (!(reference.PegExponent > 0) || reference.PegExponent > kMaxPegExponent)) {
        RaiseInputError("Exponent polytropy [1]", "větší než 0 a nejvýše 10");
    }
}

std::optional<TPegMethod> PegMethodNamed(std::string_view name) {
    for (const TPegMethod method : {TPegMethod::None, TPegMethod::Point, TPegMethod::Polytropic}) {
        if (name == PegMethodName(method)) {
            return method;
        }
    }
    return std::nullopt;
}

const char* PegMethodName(TPegMethod method) {
    switch (method) {
        case TPegMethod::Point:
            return "point";
        case TPegMethod::Polytropic:
            return "polytropic";
        case TPegMethod::None:
            break;
    }
    return "none";
}

bool SplitAngleRange(std::string_view text, std::string& from, std::string& to) {
    return SplitPairText(text, from, to);
}

TPressureReference ParseReferenceTexts(const TReferenceTexts& texts, TNumberFormat format) {
    TPressureReference reference;
    reference.TdcShift = ParseFieldNumber(texts.TdcShift, format);
    const std::optional<TPegMethod> method = PegMethodNamed(texts.PegMethod);
    if (!method) {
        RaiseInputError("Vztažení tlaku", "none, point nebo polytropic");
    }
    reference.PegMethod = *method;
    if (!texts.PegRange.empty()) {
        std::string from;
        std::string to;
        if (!SplitAngleRange(texts.PegRange, from, to)) {
            RaiseInputError("Rozsah vztažení [°]",
                            "ve tvaru OD,DO (s desetinnými čísly OD;DO, např. 175,5;185)");
        }
        reference.PegRange = TAngleRange{ParseFieldNumber(from, format), ParseFieldNumber(to, format)};
    }
    reference.PegPressure = ParseFieldNumber(texts.PegPressure, format);
    reference.PegExponent = ParseFieldNumber(texts.PegExponent, format);
    return reference;
}

}  // namespace morvane
