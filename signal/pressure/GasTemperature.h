#pragma once

// The charge a single-zone analysis follows from intake closing (IVC) to
// exhaust opening (EVO): its mass, its mean temperature and its γ.
//
// - Trapped mass m = p(IVC)·V(IVC) / (R·T_intake), R = kGasConstant, T_intake
//   the gas temperature at intake closing. IVC may lie between two half-degree
//   points: p and V are interpolated linearly between them.
// - Mean gas temperature T(θ) = p(θ)·V(θ) / (m·R), at every point of the
//   cycle; only between IVC and EVO is it the charge's temperature.
// - Brunt γ(T) = 1,338 − 6,0·10⁻⁵·T + 1,0·10⁻⁸·T², a fit for the burned and
//   unburned gas of both fuels over 300 .. 3000 K.

#include <vector>

#include "signal/Signal.h"
#include "util/numtext.h"

namespace morvane {

constexpr double kGasConstant = 287;  // J/(kg·K)

struct TTrappedCharge {
    double Mass = 0;      // kg
    double Pressure = 0;  // bar, at IVC
    double Volume = 0;    // m³, at IVC
};

// The table's value at angle (0 .. 720°), linear between the half-degree points.
double ValueAtAngle(const TSignalTable& table, double angle);

// The charge trapped at ivc. Raises EInputError naming the cycle (from 1; 0
// for the mean) when the pressure at IVC is not above 0: no mass is trapped.
TTrappedCharge TrappedCharge(const TSignalTable& pressure, const TSignalTable& volumes, double ivc,
                             double intakeTemperature, int cycleNumber, TNumberFormat format);

// T = p·V / (m·R) with p in bar, V in m³, m in kg; in K.
double GasTemperature(double pressure, double volume, double mass);

// GasTemperature at each of the 1441 points.
std::vector<double> GasTemperatures(const TSignalTable& pressure, const TSignalTable& volumes, double mass);

double BruntGamma(double temperature);

}  // namespace morvane
