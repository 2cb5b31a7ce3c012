#include "signal/pressure/KnockFilter.h"

#include <cmath>
#include <numbers>
#include <string>

#include "signal/pressure/KnockJudgement.h"
#include "util/errors.h"
#include "util/numtext.h"

namespace morvane {

namespace {

constexpr double kButterworthQ = std::numbers::sqrt2 / 2;

double Warped(double cutOff, double sampleRate) {
    return std::tan(std::numbers::pi * cutOff / sampleRate);
}

}  // namespace

bool KnockBandFits(const TKnockSettings& settings, double sampleRate) {
    return settings.High < sampleRate / 2;
}

void CheckKnockSettings(const TKnockSettings& settings, double sampleRate, TNumberFormat format) {
    if (!(settings.Low > 0 && std::isfinite(settings.Low))) {
        RaiseInputError("Dolní mez pásma klepání [Hz]", "větší než 0");
    }
    if (!(settings.High > settings.Low && std::isfinite(settings.High))) {
        RaiseInputError("Horní mez pásma klepání [Hz]",
                        "větší než dolní mez (" + FormatFloatGeneral(settings.Low, format) + ")");
    }
    if (!KnockBandFits(settings, sampleRate)) {
        RaiseInputError("Horní mez pásma klepání [Hz]", "menší než polovina vzorkovací frekvence (" +
                                                            FormatFloatGeneral(sampleRate / 2, format) + ")");
    }
    if (!(settings.From >= 0 && settings.From <= settings.To && settings.To <= 720)) {
        RaiseInputError("Okno klepání [°]", "od 0 do 720, začátek nejvýše na konci");
    }
    CheckKnockThreshold(settings.Threshold);
}

TBiquad ButterworthHighPass(double cutOff, double sampleRate) {
    const double k = Warped(cutOff, sampleRate);
    const double norm = 1 / (1 + k / kButterworthQ + k * k);
    return {norm, -2 * norm, norm, 2 * (k * k - 1) * norm, (1 - k / kButterworthQ + k * k) * norm};
}

TBiquad ButterworthLowPass(double cutOff, double sampleRate) {
    const double k = Warped(cutOff, sampleRate);
    const double norm = 1 / (1 + k / kButterworthQ + k * k);
    const double b0 = k * k * norm;
    return {b0, 2 * b0, b0, 2 * (k * k - 1) * norm, (1 - k / kButterworthQ + k * k) * norm};
}

namespace {

const TKnockSettings& Checked(const TKnockSettings& settings, double sampleRate, TNumberFormat format) {
    CheckKnockSettings(settings, sampleRate, format);
    return settings;
}

}  // namespace

TKnockFilter::TKnockFilter(const TKnockSettings& settings, double sampleRate, TNumberFormat format)
    : m_highPass(ButterworthHighPass(Checked(settings, sampleRate, format).Low, sampleRate)),
      m_lowPass(ButterworthLowPass(settings.High, sampleRate)) {}

}  // namespace morvane
