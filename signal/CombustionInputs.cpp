#include "signal/CombustionInputs.h"

#include <cmath>

#include "util/mathutil.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"
#include "util/semicolonrows.h"

namespace morvane {

namespace {

// Beyond this the rounding to a step has no effect worth a 64-bit multiple.
constexpr double kRoundingLimit = 1e12;

std::string Rounded(double value, double step) {
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

std::string RoundedFigure(double value, double step) {
    return Rounded(value, step);
}

void ListCombustionFigures(const TCombustionFigures& figures, IValueList& list) {
    list.clear();
    list.append(kNetImepName, Rounded(figures.NetImep, kPressureStep));
    list.append(kGrossImepName, Rounded(figures.GrossImep, kPressureStep));
    list.append(kPeakPressureName, Rounded(figures.PeakPressure, kPressureStep));
    list.append(kPeakAngleName, FormatFloatGeneral(figures.PeakAngle));
    if (figures.Burn) {
        list.append(kMfb10Name, Rounded(figures.Burn->Mfb10, kFineStep));
        list.append(kMfb50Name, Rounded(figures.Burn->Mfb50, kFineStep));
        list.append(kMfb90Name, Rounded(figures.Burn->Mfb90, kFineStep));
    } else {
        list.append(kLossAngleName, FormatFloatGeneral(figures.LossAngle));
    }
    if (figures.CovImep) {
        list.append(kCovImepName, Rounded(*figures.CovImep, kFineStep));
    }
}

std::string CombustionFiguresText(const TCombustionFigures& figures) {
    TMemoryValueList list;
    ListCombustionFigures(figures, list);
    return SemicolonPairs(list);
}

}  // namespace morvane
