#include "signal/pressure/ChargeFigures.h"

#include <algorithm>
#include <cmath>

#include "signal/pressure/GasTemperature.h"

namespace morvane {

namespace {

void FindPeakTemperature(TChargeFigures& charge) {
    charge.PeakTemperature = charge.Temperatures[static_cast<std::size_t>(charge.FirstPoint)];
    charge.PeakTemperatureAngle = charge.FirstPoint / 2.0;
    for (int k = charge.FirstPoint + 1; k <= charge.LastPoint; ++k) {
        const double temperature = charge.Temperatures[static_cast<std::size_t>(k)];
        if (temperature > charge.PeakTemperature) {
            charge.PeakTemperature = temperature;
            charge.PeakTemperatureAngle = k / 2.0;
        }
    }
}

void FollowWalls(const TSignalTable& pressure, const TSignalTable& volumes, const TWallHeatInputs& inputs,
                 int windowFirst, int windowLast, TChargeFigures& charge) {
    for (int k = charge.FirstPoint; k <= charge.LastPoint; ++k) {
        charge.Coefficients.push_back(CoefficientAt(inputs, pressure, volumes, charge.Temperatures, k));
    }
    std::vector<double> rates;
    for (int k = windowFirst; k <= windowLast; ++k) {
        const bool trapped = k >= charge.FirstPoint && k <= charge.LastPoint;
        const auto at = static_cast<std::size_t>(k);
        rates.push_back(
            trapped
                ? WallHeatRate(inputs, charge.Coefficients[static_cast<std::size_t>(k - charge.FirstPoint)],
                               volumes[at], charge.Temperatures[at])
                : 0.0);
    }
    charge.WallHeat = WallHeat(rates);
}

}  // namespace

TChargeFigures FollowCharge(const TSignalTable& pressure, const TSignalTable& volumes,
                            const THeatTransferSettings& settings, const TRunningEngine& engine,
                            int windowFirst, int windowLast, int cycleNumber, TNumberFormat format) {
    const TTrappedCharge trapped =
        TrappedCharge(pressure, volumes, settings.Ivc, settings.IntakeTemperature, cycleNumber, format);
    TChargeFigures charge;
    charge.TrappedMass = trapped.Mass;
    charge.Temperatures = GasTemperatures(pressure, volumes, trapped.Mass);
    const double evo = settings.Model == THeatModel::None ? 720 : settings.Evo;
    charge.FirstPoint = static_cast<int>(std::ceil(2 * settings.Ivc));
    charge.LastPoint = std::max(charge.FirstPoint, static_cast<int>(std::floor(2 * evo)));
    FindPeakTemperature(charge);
    if (settings.Model == THeatModel::None) {
        return charge;
    }
    CheckEngineSpeed(engine.Rpm);
    TWallHeatInputs inputs;
    inputs.Settings = settings;
    inputs.Bore = engine.Bore;
    inputs.Stroke = engine.Stroke;
    inputs.Displaced = engine.Displaced;
    inputs.Rpm = engine.Rpm;
    inputs.IvcPressure = trapped.Pressure;
    inputs.IvcVolume = trapped.Volume;
    FollowWalls(pressure, volumes, inputs, windowFirst, windowLast, charge);
    return charge;
}

}  // namespace morvane
