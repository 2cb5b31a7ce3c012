#include "signal/pressure/HeatTransferTexts.h"

#include <algorithm>
#include <cmath>

#include "signal/pressure/CombustionInputs.h"

namespace morvane {

int ChoiceIndex(std::span<const TNamedChoice> choices, std::string_view text) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (text == choices[i].Name || text == choices[i].Title) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

double WrappedCycleAngle(double angle) {
    constexpr double kCycleDegrees = 720;
    const double wrapped = std::fmod(angle, kCycleDegrees);
    return wrapped < 0 ? wrapped + kCycleDegrees : wrapped;
}

THeatTransferSettings ParseHeatTransferTexts(const THeatTransferTexts& texts, double exponent,
                                             TNumberFormat format) {
    THeatTransferSettings settings;
    // An unknown name (only a hand-edited set-up holds one) is no model.
    settings.Model = THeatModel(std::max(0, ChoiceIndex(kHeatModelChoices, texts.Model)));
    settings.Gamma = TGammaModel(std::max(0, ChoiceIndex(kGammaModelChoices, texts.Gamma)));
    settings.WallTemperature = ParseFieldNumber(texts.WallTemperature, format);
    settings.IntakeTemperature = ParseFieldNumber(texts.IntakeTemperature, format);
    settings.Exponent = exponent;
    return settings;
}

}  // namespace morvane
