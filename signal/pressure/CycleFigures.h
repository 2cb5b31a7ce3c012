#pragma once

// The figures of a pressure cycle as an engineer signs them: every trace moved
// onto its true top dead centre, then pegged to absolute pressure, then
// measured — the mean and each complete cycle apart — with the cycle-to-cycle
// spread.
//
// - The mean's figures are those of the referenced mean trace. Shift and
//   pegging are both linear in the pressure, so the referenced mean is the mean
//   of the referenced cycles and its pegging offset their mean offset.
// - Each cycle: net and gross IMEP, pmax and its angle, MFB10/50/90 for a
//   burned cycle (by the rule of ComputeTraceFigures), the heat released
//   Qmax − Qmin and its pegging offset; MAPO and the knock flag when the
//   recording gave them; with a heat-transfer model the gross heat released
//   and the peak gas temperature, at the cycle's own speed.
// - Over the cycles: CoV of net IMEP and of pmax (sample standard deviation
//   over the magnitude of the mean, %), the sample standard deviation of MFB50
//   over the burned cycles (°), the misfires (cycles that did not burn), and
//   when MAPO is known the mean and largest MAPO and the knocking cycles.

#include <optional>
#include <vector>

#include "signal/pressure/CombustionFigures.h"
#include "signal/pressure/EngineGeometry.h"
#include "signal/pressure/PressureCycle.h"
#include "signal/pressure/PressureReference.h"

namespace morvane {

struct TCycleFigures {
    double NetImep = 0;       // bar
    double GrossImep = 0;     // bar
    double PeakPressure = 0;  // bar
    double PeakAngle = 0;     // degrees
    std::optional<TBurnAngles> Burn;
    double Heat = 0;             // Qmax − Qmin, J
    double PegOffset = 0;        // bar, added to the measured trace
    std::optional<double> Mapo;  // bar
    bool Knocking = false;
    std::optional<double> GrossHeat;        // J, with a heat-transfer model
    std::optional<double> PeakTemperature;  // K, with a heat-transfer model
};

struct TCycleStatistics {
    std::optional<double> CovImep;          // %
    std::optional<double> CovPeakPressure;  // %
    std::optional<double> Mfb50Deviation;   // degrees
    int Misfires = 0;
    std::optional<double> MapoMean;     // bar
    std::optional<double> MapoMax;      // bar
    std::optional<int> KnockingCycles;  // known with MAPO
};

struct TPressureAnalysis {
    TSignalTable Pressure{};  // the referenced mean trace, bar
    TSignalTable Volumes{};   // the cylinder's volume at each point, m³
    TCombustionFigures Mean;  // its figures, CovImep over the referenced cycles
    double MeanHeat = 0;      // Qmax − Qmin of the mean, J
    double PegOffset = 0;     // the mean's offset, bar
    bool Pegged = false;      // a pegging method was chosen
    bool WallHeat = false;    // a heat-transfer model was chosen
    std::vector<TCycleFigures> Cycles;
    TCycleStatistics Statistics;
};

// The same analysis fed one trace at a time, as an import hands its cycles on:
// it keeps each cycle's figures, never its trace, so a recording of any length
// is analysed in memory that grows only by those few numbers a cycle. The mean
// trace may come before, between or after the cycles (an import knows it last).
class TPressureAnalyser {
public:
    // Checks geometry, settings and reference, the pegging's conditioning
    // included (EInputError naming the field).
    TPressureAnalyser(const TEngineGeometry& geometry, const TCombustionSettings& settings,
                      const TPressureReference& reference);

    // References and measures the mean trace; a stray point (before the
    // reference) or a pressure not above 0 after pegging is refused
    // (EInputError naming the mean). rpm: its speed, read by a heat-transfer model.
    void addMean(const TSignalTable& mean, double rpm = 0);
    // References and measures the next complete cycle, numbered from 1 in the
    // order given; knock as the recording gave it. A stray point or a pressure
    // not above 0 after pegging is refused (EInputError naming the cycle).
    // rpm: the cycle's own speed, read by a heat-transfer model.
    void addCycle(const TSignalTable& trace, const TCycleKnock& knock = {}, double rpm = 0);
    // The analysis of the mean and of every cycle added, with the statistics
    // over the cycles; the mean must have been added.
    TPressureAnalysis finish() &&;

private:
    TPressureAnalysis m_analysis;
    TCombustionSettings m_settings;
    TPressureReference m_reference;
    double m_displaced = 0;
    TRunningEngine m_engine;
};

// Checks geometry, settings and reference (EInputError naming the field),
// then references and measures the mean and every cycle. A trace with a
// pressure not above 0 after pegging is refused (EInputError naming it). A
// heat-transfer model takes each trace's speed from the cycle when the
// recording gave it, else rpm.
TPressureAnalysis AnalysePressureCycle(const TPressureCycle& cycle, const TEngineGeometry& geometry,
                                       const TCombustionSettings& settings,
                                       const TPressureReference& reference, double rpm = 0);

// The trace moved by the reference's shift, then pegged: the referenced trace
// and the offset that was added.
struct TReferencedTrace {
    TSignalTable Pressure{};
    double Offset = 0;
};
TReferencedTrace ReferenceTrace(const TSignalTable& trace, const TSignalTable& volumes,
                                const TPressureReference& reference);

}  // namespace morvane
