#include "signal/CombustionInputs.h"

#include <cmath>

#include "util/mathutil.h"
#include "util/numtext.h"

namespace morvane {

namespace {

// Beyond this the rounding to a step has no effect worth a 64-bit multiple.
constexpr double kRoundingLimit = 1e12;

std::string rounded(double value, double step) {
    return FormatFloatGeneral(std::fabs(value) < kRoundingLimit ? RoundToStep(value, step) : value);
}

}  // namespace

TCombustionInputs ParseCombustionTexts(const TCombustionTexts& texts) {
    TCombustionInputs inputs;
    inputs.Geometry = {ParseFloat(texts.Bore), ParseFloat(texts.Stroke), ParseFloat(texts.Rod),
                       ParseFloat(texts.Compression)};
    inputs.Settings = {ParseFloat(texts.Gamma), ParseFloat(texts.WindowStart), ParseFloat(texts.WindowEnd)};
    return inputs;
}

void ListCombustionFigures(const TCombustionFigures& figures, IValueList& list) {
    constexpr double pressureStep = 0.001;
    constexpr double fineStep = 0.01;
    list.clear();
    list.append(kNetImepName, rounded(figures.NetImep, pressureStep));
    list.append(kGrossImepName, rounded(figures.GrossImep, pressureStep));
    list.append(kPeakPressureName, rounded(figures.PeakPressure, pressureStep));
    list.append(kPeakAngleName, FormatFloatGeneral(figures.PeakAngle));
    if (figures.Burn) {
        list.append(kMfb10Name, rounded(figures.Burn->Mfb10, fineStep));
        list.append(kMfb50Name, rounded(figures.Burn->Mfb50, fineStep));
        list.append(kMfb90Name, rounded(figures.Burn->Mfb90, fineStep));
    } else {
        list.append(kLossAngleName, FormatFloatGeneral(figures.LossAngle));
    }
    if (figures.CovImep) {
        list.append(kCovImepName, rounded(*figures.CovImep, fineStep));
    }
}

}  // namespace morvane
