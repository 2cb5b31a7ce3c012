#pragma once

// Heat lost to the cylinder's walls, single zone, from intake closing (IVC) to
// exhaust opening (EVO); angles in the cycle's frame (0° gas-exchange top dead
// centre, 360° firing top dead centre).
//
// - Wall area A(θ) = π·B²/2 + 4·V(θ)/B: head and piston crown, and the liner
//   the piston uncovers.
// - Mean piston speed S̄p = 2·S·N/60, N in rpm.
// - Woschni: h = 3,26 · B^−0,2 · p^0,8 · T^−0,55 · w^0,8 [W/(m²·K)], B in m,
//   p in kPa, T in K, w = C1·S̄p + C2 · (Vd·T_intake)/(p(IVC)·V(IVC)) ·
//   (p − p_mot) in m/s, the motored pressure p_mot = p(IVC)·(V(IVC)/V)^n.
//   Compression (IVC to ignition) C1 = 2,28, C2 = 0; combustion (ignition to
//   EVO) C1 = 2,28, C2 = 3,24·10⁻³ m/(s·K); gas exchange C1 = 6,18, C2 = 0.
//   A pressure below the motored one lowers w as the formula says; w itself
//   is never below 0 (w^0,8 of a negative velocity has no meaning).
// - Hohenberg: h = 130 · V^−0,06 · p^0,8 · T^−0,4 · (S̄p + 1,4)^0,8, V in m³,
//   p in bar, T in K.
// - A point whose pressure or temperature is not above 0 (a noisy sample of a
//   measured cycle) has h = 0: no gas there to carry heat.
// - Wall heat rate dQw/dθ = h·A·(T − T_wall) / (6·N) [J/°]: J/s over °/s. It is
//   0 outside IVC .. EVO, where no charge is trapped.
// - Wall heat Qw from the window's start by the trapezoid rule over the same
//   half-degree points as the net heat release; gross heat release = net + Qw.

#include <vector>

#include "signal/Signal.h"
#include "util/numtext.h"

namespace morvane {

enum class THeatModel { None, Woschni, Hohenberg };
enum class TGammaModel { Constant, Brunt };

struct THeatTransferSettings {
    THeatModel Model = THeatModel::None;
    TGammaModel Gamma = TGammaModel::Constant;
    double WallTemperature = 450;    // K
    double IntakeTemperature = 320;  // K, the gas at intake closing
    double Ivc = 0;                  // degrees, cycle frame
    double Evo = 0;                  // degrees
    double Ignition = 0;             // degrees
    double Exponent = 1.32;          // n of the motored pressure p·Vⁿ
};

// The trace's charge is followed (a heat-transfer model or Brunt's γ is chosen).
bool FollowsCharge(const THeatTransferSettings& settings);

// With a model or Brunt's γ, raises EInputError naming the field: a wall or
// intake temperature not a finite number above 0, an angle outside 0 .. 720°,
// IVC not before the ignition, the ignition not before EVO.
void CheckHeatTransferSettings(const THeatTransferSettings& settings);

// Raises EInputError unless rpm is a finite number above 0.
void CheckEngineSpeed(double rpm);

enum class TWoschniPhase { GasExchange, Compression, Combustion };

double MeanPistonSpeed(double strokeMm, double rpm);  // m/s
double WallArea(double boreM, double volume);         // m²

struct TWoschniState {
    TWoschniPhase Phase = TWoschniPhase::Compression;
    double Bore = 0;               // m
    double MeanPistonSpeed = 0;    // m/s
    double Pressure = 0;           // bar
    double Temperature = 0;        // K
    double MotoredPressure = 0;    // bar
    double Displaced = 0;          // m³
    double IntakeTemperature = 0;  // K
    double IvcPressure = 0;        // bar
    double IvcVolume = 0;          // m³
};

double WoschniVelocity(const TWoschniState& state);     // m/s
double WoschniCoefficient(const TWoschniState& state);  // W/(m²·K)

struct THohenbergState {
    double Volume = 0;           // m³
    double Pressure = 0;         // bar
    double Temperature = 0;      // K
    double MeanPistonSpeed = 0;  // m/s
};

double HohenbergCoefficient(const THohenbergState& state);  // W/(m²·K)

// What a trace's wall heat needs besides its pressure and volumes.
struct TWallHeatInputs {
    THeatTransferSettings Settings;
    double Bore = 0;       // mm
    double Stroke = 0;     // mm
    double Displaced = 0;  // m³
    double Rpm = 0;
    double IvcPressure = 0;  // bar
    double IvcVolume = 0;    // m³
};

// h at point k of the trace (0 outside IVC .. EVO), T the gas temperatures of every point.
double CoefficientAt(const TWallHeatInputs& inputs, const TSignalTable& pressure, const TSignalTable& volumes,
                     const std::vector<double>& temperatures, int k);

// dQw/dθ at point k from its coefficient, J/°.
double WallHeatRate(const TWallHeatInputs& inputs, double coefficient, double volume, double temperature);

// Qw at each point of first .. last, 0 at the first, J.
std::vector<double> WallHeat(const std::vector<double>& rates);

}  // namespace morvane
