#include "signal/pressure/CombustionInputs.h"

#include <cmath>
#include <limits>

#include "util/errors.h"
#include "util/mathutil.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"
#include "util/semicolonrows.h"

namespace morvane {

namespace {

// Beyond this the rounding to a step has no effect worth a 64-bit multiple.
constexpr double kRoundingLimit = 1e12;

std::string Rounded(double value, double step, TNumberFormat format) {
    return FormatFloatGeneral(std::fabs(value) < kRoundingLimit ? RoundToStep(value, step) : value, format);
}

}  // namespace

double ParseFieldNumber(std::string_view text, TNumberFormat format) {
    try {
        return ParseFloat(text, format);
    } catch (const EOverflow&) {
        const std::size_t first = text.find_first_not_of(' ');
        const bool negative = first != std::string_view::npos && text[first] == '-';
        return negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
    }
}

TCombustionInputs ParseCombustionTexts(const TCombustionTexts& texts, TNumberFormat format) {
    TCombustionInputs inputs;
    inputs.Geometry = {ParseFieldNumber(texts.Bore, format), ParseFieldNumber(texts.Stroke, format),
                       ParseFieldNumber(texts.Rod, format), ParseFieldNumber(texts.Compression, format)};
    inputs.Settings = {ParseFieldNumber(texts.Gamma, format), ParseFieldNumber(texts.WindowStart, format),
                       ParseFieldNumber(texts.WindowEnd, format), format};
    return inputs;
}

std::string RoundedFigure(double value, double step, TNumberFormat format) {
    return Rounded(value, step, format);
}

void ListCombustionFigures(const TCombustionFigures& figures, IValueList& list, TNumberFormat format) {
    list.clear();
    list.append(kNetImepName, Rounded(figures.NetImep, kPressureStep, format));
    list.append(kGrossImepName, Rounded(figures.GrossImep, kPressureStep, format));
    list.append(kPeakPressureName, Rounded(figures.PeakPressure, kPressureStep, format));
    list.append(kPeakAngleName, FormatFloatGeneral(figures.PeakAngle, format));
    if (figures.Burn) {
        list.append(kMfb10Name, Rounded(figures.Burn->Mfb10, kFineStep, format));
        list.append(kMfb50Name, Rounded(figures.Burn->Mfb50, kFineStep, format));
        list.append(kMfb90Name, Rounded(figures.Burn->Mfb90, kFineStep, format));
    } else {
        list.append(kLossAngleName, FormatFloatGeneral(figures.LossAngle, format));
    }
    if (figures.CovImep) {
        list.append(kCovImepName, Rounded(*figures.CovImep, kFineStep, format));
    }
}

std::string CombustionFiguresText(const TCombustionFigures& figures, TNumberFormat format) {
    TMemoryValueList list;
    ListCombustionFigures(figures, list, format);
    return SemicolonPairs(list);
}

}  // namespace morvane
