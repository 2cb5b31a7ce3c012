#include "signal/pressure/CycleFigures.h"

#include <algorithm>
#include <utility>

#include "signal/pressure/Pegging.h"
#include "signal/pressure/TopDeadCentre.h"
#include "util/fpfault.h"

namespace morvane {

namespace {

TCycleFigures FiguresOfCycle(const TCombustionFigures& figures, double offset) {
    TCycleFigures cycle;
    cycle.NetImep = figures.NetImep;
    cycle.GrossImep = figures.GrossImep;
    cycle.PeakPressure = figures.PeakPressure;
    cycle.PeakAngle = figures.PeakAngle;
    cycle.Burn = figures.Burn;
    cycle.Heat = ReleasedHeat(figures.Release);
    cycle.PegOffset = offset;
    if (figures.Gross && figures.Charge) {
        cycle.GrossHeat = ReleasedHeat(*figures.Gross);
        cycle.PeakTemperature = figures.Charge->PeakTemperature;
    }
    return cycle;
}

void TakeKnock(const std::vector<TCycleFigures>& cycles, TCycleStatistics& statistics) {
    long double sum = 0;
    int known = 0;
    int knocking = 0;
    double largest = 0;
    for (const TCycleFigures& cycle : cycles) {
        if (cycle.Mapo) {
            sum += *cycle.Mapo;
            largest = known == 0 ? *cycle.Mapo : std::max(largest, *cycle.Mapo);
            ++known;
            knocking += cycle.Knocking ? 1 : 0;
        }
    }
    if (known > 0) {
        statistics.MapoMean = StoreDouble(sum / known);
        statistics.MapoMax = largest;
        statistics.KnockingCycles = knocking;
    }
}

TCycleStatistics StatisticsOf(const std::vector<TCycleFigures>& cycles) {
    std::vector<double> imeps;
    std::vector<double> peaks;
    std::vector<double> mfb50s;
    TCycleStatistics statistics;
    for (const TCycleFigures& cycle : cycles) {
        imeps.push_back(cycle.NetImep);
        peaks.push_back(cycle.PeakPressure);
        if (cycle.Burn) {
            mfb50s.push_back(cycle.Burn->Mfb50);
        } else {
            ++statistics.Misfires;
        }
    }
    statistics.CovImep = CoefficientOfVariation(imeps);
    statistics.CovPeakPressure = CoefficientOfVariation(peaks);
    statistics.Mfb50Deviation = SampleDeviation(mfb50s);
    TakeKnock(cycles, statistics);
    return statistics;
}

}  // namespace

TReferencedTrace ReferenceTrace(const TSignalTable& trace, const TSignalTable& volumes,
                                const TPressureReference& reference) {
    const TSignalTable shifted = ShiftTrace(trace, reference.TdcShift);
    const double offset = PegOffset(shifted, volumes, reference);
    return {OffsetTrace(shifted, offset), offset};
}

TPressureAnalyser::TPressureAnalyser(const TEngineGeometry& geometry, const TCombustionSettings& settings,
                                     const TPressureReference& reference)
    : m_settings(settings), m_reference(reference) {
    m_analysis.Volumes = CylinderVolumes(geometry);
    CheckCombustionSettings(settings);
    CheckPressureReference(reference);
    // Before any trace, so that a recording is not read for a range that cannot peg it.
    CheckPegConditioning(m_analysis.Volumes, reference);
    m_displaced = DisplacedVolume(geometry);
    m_analysis.Pegged = reference.PegMethod != TPegMethod::None;
    m_analysis.WallHeat = settings.HeatTransfer.Model != THeatModel::None;
    m_engine = {geometry.Bore, geometry.Stroke, m_displaced, 0};
}

void TPressureAnalyser::addMean(const TSignalTable& mean, double rpm) {
    CheckStrayPoints(mean, 0, m_settings.Numbers);
    const TReferencedTrace referenced = ReferenceTrace(mean, m_analysis.Volumes, m_reference);
    TRunningEngine engine = m_engine;
    engine.Rpm = rpm;
    m_analysis.Mean =
        ComputeTraceFigures(referenced.Pressure, m_analysis.Volumes, m_displaced, m_settings, 0, engine);
    m_analysis.Pressure = referenced.Pressure;
    m_analysis.PegOffset = referenced.Offset;
    m_analysis.MeanHeat = ReleasedHeat(m_analysis.Mean.Release);
}

void TPressureAnalyser::addCycle(const TSignalTable& trace, const TCycleKnock& knock, double rpm) {
    const int number = static_cast<int>(m_analysis.Cycles.size()) + 1;
    CheckStrayPoints(trace, number, m_settings.Numbers);
    const TReferencedTrace one = ReferenceTrace(trace, m_analysis.Volumes, m_reference);
    TRunningEngine engine = m_engine;
    engine.Rpm = rpm;
    const TCombustionFigures figures =
        ComputeTraceFigures(one.Pressure, m_analysis.Volumes, m_displaced, m_settings, number, engine);
    TCycleFigures& cycle = m_analysis.Cycles.emplace_back(FiguresOfCycle(figures, one.Offset));
    cycle.Mapo = knock.Mapo;
    cycle.Knocking = knock.Knocking;
}

TPressureAnalysis TPressureAnalyser::finish() && {
    m_analysis.Statistics = StatisticsOf(m_analysis.Cycles);
    m_analysis.Mean.CovImep = m_analysis.Statistics.CovImep;
    return std::move(m_analysis);
}

TPressureAnalysis AnalysePressureCycle(const TPressureCycle& cycle, const TEngineGeometry& geometry,
                                       const TCombustionSettings& settings,
                                       const TPressureReference& reference, double rpm) {
    TPressureAnalyser analyser(geometry, settings, reference);
    analyser.addMean(cycle.Mean, cycle.Rpm > 0 ? cycle.Rpm : rpm);
    for (std::size_t c = 0; c < cycle.Cycles.size(); ++c) {
        analyser.addCycle(cycle.Cycles[c], c < cycle.Knock.size() ? cycle.Knock[c] : TCycleKnock{},
                          c < cycle.CycleRpm.size() ? cycle.CycleRpm[c] : rpm);
    }
    return std::move(analyser).finish();
}

}  // namespace morvane
