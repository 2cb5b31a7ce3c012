#pragma once

// The combustion figures of one pressure cycle. Every integral is the
// trapezoid rule over the half-degree points in the volume:
// ∫ f dV ≈ Σ ½·(f[i] + f[i+1])·(V[i+1] − V[i]).
//
// - Net IMEP = ∮ p dV / Vd over 0 .. 720°; gross IMEP the same over 180 .. 540°
//   (compression and expansion only). In bar.
// - Peak pressure: the largest sample (the first, when several are equal), and
//   its angle. The loss angle is that angle less 360°: on a motored trace it
//   tells whether the top-dead-centre reference is right (a few tenths of a
//   degree early from heat loss and blow-by, not more).
// - Apparent heat release, single zone, constant γ: from the window's first
//   point on, Q = Σ ½·[γ/(γ−1)·(p[i] + p[i+1])·(V[i+1] − V[i]) +
//   1/(γ−1)·(V[i] + V[i+1])·(p[i+1] − p[i])], 0 at the first point, in J.
//   With Brunt's γ each step takes γ(T) at the mean of its two points'
//   gas temperatures.
// - With a heat-transfer model (HeatTransfer.h) the gross heat release is the
//   apparent (net) one plus the wall heat at each point; the burn angles and
//   whether the cycle burned come from it by the rules below, the heat
//   released stays the net one.
// - Mass fraction burned: MFB = (Q − Qmin)/(Qmax − Qmin), Qmax the largest Q
//   of the window, Qmin the smallest Q up to Qmax's point. MFB10/50/90 are the
//   first rises through 0,1/0,5/0,9 after Qmin's point, interpolated linearly
//   between the two points around them.
// - A cycle counts as burned only when Qmax − Qmin is at least kMinBurnShare of
//   pmax·Vd; below that (a motored trace) the heat release is the model's
//   noise and no burn angles are given. Nor is a trace burned whose peak does
//   not reach kMinCompression times its pressure at 180° (a flat trace): it
//   was never compressed, and its apparent release is only its volume change.
// - Heat released: Qmax − Qmin, in J.
// - Heat-release rate dQ/dφ at each point of the window, in J/°: the central
//   difference (Q[j+1] − Q[j−1]) / 1°, one-sided at the window's ends
//   ((Q[1] − Q[0]) / 0,5° and (Q[n−1] − Q[n−2]) / 0,5°).
// - Pressure is absolute, so its level must be above 0 everywhere: the mean
//   of the points within ±kPressureLevelSpan of each point (the cycle
//   continued periodically). A trace whose level reaches 0 (all zero,
//   negative, relative pressure not pegged) is refused rather than given
//   figures; a single noisy sample of a measured cycle just below 0 is not.
//   The level of each point is summed afresh, so no huge point elsewhere can
//   cancel into it.
// - A point whose magnitude exceeds kStrayPointFactor times the level of its
//   neighbours (the median magnitude of the other points within
//   ±kPressureLevelSpan, at least kStrayPointFloor) is no pressure a cylinder
//   gives but a broken sample (1E6 bar among 1 bar): it would rule every
//   integral, so the trace is refused, naming the point, before pegging.
// - Coefficient of variation of net IMEP over the complete cycles: the sample
//   standard deviation (n − 1) over the magnitude of the mean, in %; known for
//   two cycles or more with a non-zero mean.

#include <optional>
#include <vector>

#include "signal/Signal.h"
#include "signal/pressure/ChargeFigures.h"
#include "signal/pressure/EngineGeometry.h"
#include "signal/pressure/PressureCycle.h"
#include "util/numtext.h"

namespace morvane {

constexpr double kMinBurnShare = 0.02;
constexpr double kMinCompression = 2;
constexpr double kPressureLevelSpan = 2.5;  // degrees either side
constexpr double kStrayPointFactor = 100;
constexpr double kStrayPointFloor = 1;  // bar

struct TCombustionSettings {
    double Gamma = 1.35;
    double WindowStart = 340;  // degrees
    double WindowEnd = 460;    // degrees
    // How the numbers in the messages are written.
    TNumberFormat Numbers = kDecimalComma;
    THeatTransferSettings HeatTransfer{};  // none by default: the net heat release alone
};

// Raises EInputError for γ not above 1 (or above 10), a window that does not
// lie within 0 .. 720° with at least two half-degree points in it, or heat-
// transfer settings CheckHeatTransferSettings refuses.
void CheckCombustionSettings(const TCombustionSettings& settings);

// The half-degree points the window covers: ceil(2·start) .. floor(2·end).
struct TPointRange {
    int First = 0;
    int Last = 0;
};
TPointRange WindowPoints(const TCombustionSettings& settings);

// ∫ p dV from point first to point last by the trapezoid rule, in bar·m³.
double PressureWork(const TSignalTable& pressure, const TSignalTable& volumes, int first, int last);

struct THeatRelease {
    int FirstPoint = 0;            // the point of Heat[0]
    std::vector<double> Heat;      // Q at each point of the window, J
    std::vector<double> Fraction;  // MFB at each point of the window
    int MinPoint = 0;              // index into Heat of Qmin
    int MaxPoint = 0;              // index into Heat of Qmax
    bool Burned = false;           // Qmax − Qmin reached kMinBurnShare of pmax·Vd
};

// temperatures: the gas temperature at every point when γ follows it (Brunt), else null.
THeatRelease ApparentHeatRelease(const TSignalTable& pressure, const TSignalTable& volumes,
                                 const TCombustionSettings& settings, double peakPressure, double displaced,
                                 const std::vector<double>* temperatures = nullptr);

// The release of the given heat from firstPoint on (MinPoint, MaxPoint,
// Fraction and Burned by the rules above).
THeatRelease ReleaseOfHeat(int firstPoint, std::vector<double> heat, const TSignalTable& pressure,
                           double peakPressure, double displaced);

// Qmax − Qmin of the window, J; 0 for a release without points.
double ReleasedHeat(const THeatRelease& release);

// dQ/dφ at each point of the window, J/° (see above); empty for a release
// with fewer than two points.
std::vector<double> HeatReleaseRate(const THeatRelease& release);

struct TBurnAngles {
    double Mfb10 = 0;
    double Mfb50 = 0;
    double Mfb90 = 0;
};

// The first rise of the fraction through level after MinPoint, in degrees.
double BurnAngle(const THeatRelease& release, double level);

struct TCombustionFigures {
    double NetImep = 0;       // bar
    double GrossImep = 0;     // bar
    double PeakPressure = 0;  // bar
    double PeakAngle = 0;     // degrees
    double LossAngle = 0;     // PeakAngle − 360, degrees
    std::optional<TBurnAngles> Burn;
    std::optional<double> CovImep;         // %
    THeatRelease Release;                  // the apparent (net) heat release
    std::optional<TChargeFigures> Charge;  // with a heat-transfer model or Brunt's γ
    std::optional<THeatRelease> Gross;     // with a heat-transfer model
};

// The curves of a trace's figures against the angle, as plain data for the
// plots: the gas temperature and the coefficient between IVC and EVO, the net
// and gross heat-release rates over the window. Empty where not known.
struct THeatCurves {
    std::vector<double> GasAngles;     // degrees
    std::vector<double> Temperature;   // K
    std::vector<double> Coefficient;   // W/(m²·K)
    std::vector<double> WindowAngles;  // degrees
    std::vector<double> NetRate;       // J/°
    std::vector<double> GrossRate;     // J/°
};
THeatCurves HeatCurvesOf(const TCombustionFigures& figures);

// The sample standard deviation (n − 1) of the values; known for two or more.
std::optional<double> SampleDeviation(const std::vector<double>& values);
// SampleDeviation over the magnitude of the mean, in %; known for two values
// or more with a non-zero mean.
std::optional<double> CoefficientOfVariation(const std::vector<double>& values);

// The figures of one trace (no variation), on volumes from CylinderVolumes and
// the displaced volume; the settings must have passed CheckCombustionSettings.
// cycleNumber names the trace in the non-positive pressure's message (from 1;
// 0 for the mean). engine (its Displaced being displaced) is read only when
// the settings follow the charge.
TCombustionFigures ComputeTraceFigures(const TSignalTable& pressure, const TSignalTable& volumes,
                                       double displaced, const TCombustionSettings& settings,
                                       int cycleNumber = 0, const TRunningEngine& engine = {});

// Raises EInputError when the trace's level (above) is not above 0 somewhere,
// naming the cycle (from 1; 0 for the mean) and the angle of the lowest level.
void CheckPositivePressure(const TSignalTable& pressure, int cycleNumber, TNumberFormat format);

// Raises EInputError for the first stray point of the trace (above), naming
// the cycle as CheckPositivePressure does, the point's angle, its value and
// its neighbours' level.
void CheckStrayPoints(const TSignalTable& pressure, int cycleNumber, TNumberFormat format);

}  // namespace morvane
