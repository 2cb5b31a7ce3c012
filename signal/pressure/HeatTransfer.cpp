#include "signal/pressure/HeatTransfer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "util/errors.h"
#include "util/fpfault.h"

namespace morvane {

namespace {

constexpr double kKiloPascalPerBar = 100;
constexpr double kMetresPerMillimetre = 1e-3;
constexpr double kStepDegrees = 0.5;

void CheckTemperature(const char* field, double kelvin) {
    if (!std::isfinite(kelvin) || !(kelvin > 0)) {
        RaiseInputError(field, "konečné číslo větší než 0");
    }
}

void CheckCycleAngle(const char* field, double angle) {
    if (!(angle >= 0 && angle <= 720)) {
        RaiseInputError(field, "v rozsahu 0 až 720 (0 = HÚ výměny náplně)");
    }
}

double PointAngle(int k) {
    return static_cast<double>(k) / 2.0;
}

}  // namespace

bool FollowsCharge(const THeatTransferSettings& settings) {
    return settings.Model != THeatModel::None || settings.Gamma == TGammaModel::Brunt;
}

void CheckHeatTransferSettings(const THeatTransferSettings& settings) {
    if (!FollowsCharge(settings)) {
        return;
    }
    CheckTemperature("Teplota stěn [K]", settings.WallTemperature);
    CheckTemperature("Teplota nasávání [K]", settings.IntakeTemperature);
    CheckCycleAngle("SV zavírá [°]", settings.Ivc);
    if (settings.Model == THeatModel::None) {
        return;  // Brunt's γ needs only the charge
    }
    CheckCycleAngle("Zapalování [°]", settings.Ignition);
    CheckCycleAngle("VV otvírá [°]", settings.Evo);
    if (!(settings.Ivc < settings.Ignition)) {
        RaiseInputError("SV zavírá [°]", "před zapalováním (Zapalování)");
    }
    if (!(settings.Ignition < settings.Evo)) {
        RaiseInputError("Zapalování [°]", "před otevřením výfukového ventilu (VV otvírá)");
    }
}

void CheckEngineSpeed(double rpm) {
    if (!std::isfinite(rpm) || !(rpm > 0)) {
        RaiseInputError("Otáčky [RPM]", "konečné číslo větší než 0");
    }
}

double MeanPistonSpeed(double strokeMm, double rpm) {
    return StoreDouble(2 * strokeMm * kMetresPerMillimetre * rpm / 60);
}

double WallArea(double boreM, double volume) {
    return StoreDouble(std::numbers::pi * boreM * boreM / 2 + 4 * volume / boreM);
}

double WoschniVelocity(const TWoschniState& state) {
    const long double c1 = state.Phase == TWoschniPhase::GasExchange ? 6.18 : 2.28;
    long double velocity = c1 * state.MeanPistonSpeed;
    if (state.Phase == TWoschniPhase::Combustion) {
        velocity += 3.24e-3L *
                    Divide(state.Displaced * state.IntakeTemperature, state.IvcPressure * state.IvcVolume) *
                    (state.Pressure - state.MotoredPressure);
    }
    // A pressure far below the motored one (a misfire) cannot make the gas
    // move backwards: the velocity, not the term, stops at 0.
    return StoreDouble(std::max(velocity, 0.0L));
}

double WoschniCoefficient(const TWoschniState& state) {
    if (!(state.Pressure > 0 && state.Temperature > 0)) {
        return 0;
    }
    const double velocity = WoschniVelocity(state);
    return StoreDouble(3.26 * std::pow(state.Bore, -0.2) * std::pow(state.Pressure * kKiloPascalPerBar, 0.8) *
                       std::pow(state.Temperature, -0.55) * std::pow(velocity, 0.8));
}

double HohenbergCoefficient(const THohenbergState& state) {
    if (!(state.Pressure > 0 && state.Temperature > 0)) {
        return 0;
    }
    return StoreDouble(130 * std::pow(state.Volume, -0.06) * std::pow(state.Pressure, 0.8) *
                       std::pow(state.Temperature, -0.4) * std::pow(state.MeanPistonSpeed + 1.4, 0.8));
}

double CoefficientAt(const TWallHeatInputs& inputs, const TSignalTable& pressure, const TSignalTable& volumes,
                     const std::vector<double>& temperatures, int k) {
    const THeatTransferSettings& settings = inputs.Settings;
    const double angle = PointAngle(k);
    if (angle < settings.Ivc || angle > settings.Evo) {
        return 0;
    }
    const auto at = static_cast<std::size_t>(k);
    const double speed = MeanPistonSpeed(inputs.Stroke, inputs.Rpm);
    if (settings.Model == THeatModel::Hohenberg) {
        return HohenbergCoefficient({volumes[at], pressure[at], temperatures[at], speed});
    }
    TWoschniState state;
    state.Phase = angle < settings.Ignition ? TWoschniPhase::Compression : TWoschniPhase::Combustion;
    state.Bore = inputs.Bore * kMetresPerMillimetre;
    state.MeanPistonSpeed = speed;
    state.Pressure = pressure[at];
    state.Temperature = temperatures[at];
    state.MotoredPressure =
        StoreDouble(inputs.IvcPressure * std::pow(Divide(inputs.IvcVolume, volumes[at]), settings.Exponent));
    state.Displaced = inputs.Displaced;
    state.IntakeTemperature = settings.IntakeTemperature;
    state.IvcPressure = inputs.IvcPressure;
    state.IvcVolume = inputs.IvcVolume;
    return WoschniCoefficient(state);
}

double WallHeatRate(const TWallHeatInputs& inputs, double coefficient, double volume, double temperature) {
    if (coefficient == 0) {
        return 0;
    }
    const double area = WallArea(inputs.Bore * kMetresPerMillimetre, volume);
    return StoreDouble(
        Divide(static_cast<long double>(coefficient) * area * (temperature - inputs.Settings.WallTemperature),
               6 * static_cast<long double>(inputs.Rpm)));
}

std::vector<double> WallHeat(const std::vector<double>& rates) {
    std::vector<double> heat;
    heat.reserve(rates.size());
    long double sum = 0;
    for (std::size_t j = 0; j < rates.size(); ++j) {
        if (j > 0) {
            sum += 0.5L * (static_cast<long double>(rates[j - 1]) + rates[j]) * kStepDegrees;
        }
        heat.push_back(StoreDouble(sum));
    }
    return heat;
}

}  // namespace morvane
