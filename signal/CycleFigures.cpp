#include "signal/CycleFigures.h"

#include <algorithm>

#include "signal/Pegging.h"
#include "signal/TopDeadCentre.h"
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

TPressureAnalysis AnalysePressureCycle(const TPressureCycle& cycle, const TEngineGeometry& geometry,
                                       const TCombustionSettings& settings,
                                       const TPressureReference& reference) {
    TPressureAnalysis analysis;
    analysis.Volumes = CylinderVolumes(geometry);
    CheckCombustionSettings(settings);
    CheckPressureReference(reference);
    const double displaced = DisplacedVolume(geometry);

    const TReferencedTrace mean = ReferenceTrace(cycle.Mean, analysis.Volumes, reference);
    analysis.Pressure = mean.Pressure;
    analysis.PegOffset = mean.Offset;
    analysis.Pegged = reference.PegMethod != TPegMethod::None;
    analysis.Mean = ComputeTraceFigures(mean.Pressure, analysis.Volumes, displaced, settings);
    analysis.MeanHeat = ReleasedHeat(analysis.Mean.Release);

    analysis.Cycles.reserve(cycle.Cycles.size());
    for (std::size_t c = 0; c < cycle.Cycles.size(); ++c) {
        const TReferencedTrace one = ReferenceTrace(cycle.Cycles[c], analysis.Volumes, reference);
        const TCombustionFigures figures =
            ComputeTraceFigures(one.Pressure, analysis.Volumes, displaced, settings, static_cast<int>(c) + 1);
        analysis.Cycles.push_back(FiguresOfCycle(figures, one.Offset));
        if (c < cycle.Knock.size()) {
            analysis.Cycles.back().Mapo = cycle.Knock[c].Mapo;
            analysis.Cycles.back().Knocking = cycle.Knock[c].Knocking;
        }
    }
    analysis.Statistics = StatisticsOf(analysis.Cycles);
    analysis.Mean.CovImep = analysis.Statistics.CovImep;
    return analysis;
}

}  // namespace morvane
