#include "signal/pressure/GasTemperature.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "util/errors.h"
#include "util/fpfault.h"

namespace morvane {

namespace {

constexpr double kPascalPerBar = 1e5;

}  // namespace

double ValueAtAngle(const TSignalTable& table, double angle) {
    const double position = std::clamp(2 * angle, 0.0, static_cast<double>(SignalPoints - 1));
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, static_cast<std::size_t>(SignalPoints - 1));
    const double share = position - static_cast<double>(below);
    return StoreDouble(table[below] + share * (table[above] - table[below]));
}

TTrappedCharge TrappedCharge(const TSignalTable& pressure, const TSignalTable& volumes, double ivc,
                             double intakeTemperature, int cycleNumber, TNumberFormat format) {
    TTrappedCharge charge;
    charge.Pressure = ValueAtAngle(pressure, ivc);
    charge.Volume = ValueAtAngle(volumes, ivc);
    if (!(charge.Pressure > 0)) {
        const std::string angle = FormatFloatGeneral(ivc, format);
        RaiseInputError((cycleNumber > 0 ? "Tlak cyklu " + FormatInteger(cycleNumber) + " při zavření SV ("
                                         : std::string("Tlak při zavření SV (")) +
                            angle + "°) [bar]",
                        "větší než 0, aby byla známa náplň válce");
    }
    charge.Mass = StoreDouble(
        Divide(charge.Pressure * kPascalPerBar * charge.Volume, kGasConstant * intakeTemperature));
    return charge;
}

double GasTemperature(double pressure, double volume, double mass) {
    return StoreDouble(Divide(pressure * kPascalPerBar * volume, mass * kGasConstant));
}

std::vector<double> GasTemperatures(const TSignalTable& pressure, const TSignalTable& volumes, double mass) {
    std::vector<double> temperatures(pressure.size());
    for (std::size_t k = 0; k < pressure.size(); ++k) {
        temperatures[k] = GasTemperature(pressure[k], volumes[k], mass);
    }
    return temperatures;
}

double BruntGamma(double temperature) {
    return StoreDouble(1.338 - 6.0e-5 * temperature + 1.0e-8 * temperature * temperature);
}

}  // namespace morvane
