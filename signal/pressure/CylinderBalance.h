#pragma once

// The cylinders of one engine side by side: each cylinder's figures in its
// own frame (its firing top dead centre at 360°), how far each one's IMEP lies
// from the cylinders' mean, and the engine's own figures.
//
// - Odchylka IMEP [%] = 100 · (IMEPᵢ − mean of the cylinders' IMEP) / that mean.
// - The engine: the mean of the cylinders' IMEPs, pmax, its angle and burn
//   angles (burn angles only when every cylinder's mean burned); the largest
//   MAPO, the sums of knocking and misfiring cycles.
// - The engine's CoV IMEP is over engine cycles: engine cycle n holds every
//   cylinder's cycle that belongs to it, taken only where all cylinders have
//   it complete; its IMEP is the mean of those cylinders' IMEPs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "signal/pressure/CycleFigures.h"
#include "util/numtext.h"

namespace morvane {

inline constexpr const char* kCylinderName = "Válec";
inline constexpr const char* kEngineRowName = "Motor";
inline constexpr const char* kImepDeviationName = "Odchylka IMEP [%]";

// One cylinder's analysis and the engine cycle of each of its cycles.
struct TCylinderFigures {
    TPressureAnalysis Analysis;
    std::vector<std::int64_t> EngineCycles;  // one per entry of Analysis.Cycles
};

struct TEngineFigures {
    double NetImep = 0;       // bar
    double GrossImep = 0;     // bar
    double PeakPressure = 0;  // bar
    double PeakAngle = 0;     // degrees
    std::optional<TBurnAngles> Burn;
    std::optional<double> CovImep;  // %, over engine cycles
    std::optional<double> MapoMax;  // bar
    std::optional<int> KnockingCycles;
    int Misfires = 0;
    int EngineCycles = 0;  // complete in every cylinder
};

struct TCylinderBalance {
    std::vector<std::optional<double>> ImepDeviation;  // %, per cylinder; none for a zero mean
    TEngineFigures Engine;
};

TCylinderBalance BalanceOf(const std::vector<TCylinderFigures>& cylinders);

// The header "Válec;IMEP [bar];…;Odchylka IMEP [%]", one row per cylinder
// numbered from 1, then the row "Motor". Rounded as the figure lines; a
// figure not known is an empty cell.
std::vector<std::vector<std::string>> BalanceTableRows(const std::vector<TCylinderFigures>& cylinders,
                                                       const TCylinderBalance& balance, TNumberFormat format);

// The cycle tables of every cylinder as one text, with a first column
// "Válec"; built line by line, so that a long recording's tables are held
// once, as text only.
std::string CylinderCycleText(const std::vector<TCylinderFigures>& cylinders, TNumberFormat format);

}  // namespace morvane
