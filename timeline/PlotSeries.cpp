#include "timeline/PlotSeries.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>

#include "signal/pressure/Pegging.h"
#include "signal/pressure/TopDeadCentre.h"

namespace morvane {

namespace {

constexpr double kPointStep = 0.5;         // degrees between the cycle's points
constexpr double kCubicCentimetres = 1e6;  // in one m³

double AngleOf(std::size_t point) {
    return static_cast<double>(point) * kPointStep;
}

TSeries TraceSeries(const TSignalTable& trace) {
    TSeries series;
    series.Keys.reserve(trace.size());
    for (std::size_t point = 0; point < trace.size(); ++point) {
        series.Keys.push_back(AngleOf(point));
    }
    series.Values.assign(trace.begin(), trace.end());
    return series;
}

TSignalTable ReferencedCycle(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                             const TPressureReference& reference, std::size_t index) {
    return OffsetTrace(ShiftTrace(cycle.Cycles[index], reference.TdcShift), analysis.Cycles[index].PegOffset);
}

std::size_t CycleCount(const TPressureCycle& cycle, const TPressureAnalysis& analysis) {
    return std::min(cycle.Cycles.size(), analysis.Cycles.size());
}

// The window's angles of a release's points.
std::vector<double> WindowAngles(const THeatRelease& release, std::size_t points) {
    std::vector<double> angles;
    angles.reserve(points);
    for (std::size_t point = 0; point < points; ++point) {
        angles.push_back(AngleOf(static_cast<std::size_t>(release.FirstPoint) + point));
    }
    return angles;
}

std::vector<double> Smoothed(const std::vector<double>& values, int points) {
    if (points <= 1 || values.empty()) {
        return values;
    }
    const auto count = static_cast<std::ptrdiff_t>(values.size());
    const std::ptrdiff_t before = (points - 1) / 2;
    const std::ptrdiff_t after = points - 1 - before;
    std::vector<double> smoothed(values.size());
    for (std::ptrdiff_t point = 0; point < count; ++point) {
        const std::ptrdiff_t first = std::max<std::ptrdiff_t>(0, point - before);
        const std::ptrdiff_t last = std::min(count - 1, point + after);
        double sum = 0;
        for (std::ptrdiff_t k = first; k <= last; ++k) {
            sum += values[static_cast<std::size_t>(k)];
        }
        smoothed[static_cast<std::size_t>(point)] = sum / static_cast<double>(last - first + 1);
    }
    return smoothed;
}

}  // namespace

TSeries PressureSeries(const TSignalTable& trace) {
    return TraceSeries(trace);
}

TSeries CyclePressureSeries(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                            const TPressureReference& reference, int number) {
    if (number < 1 || static_cast<std::size_t>(number) > CycleCount(cycle, analysis)) {
        return {};
    }
    return TraceSeries(ReferencedCycle(cycle, analysis, reference, static_cast<std::size_t>(number) - 1));
}

std::optional<TCycleCurves> CycleCurves(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                                        const TPressureReference& reference, const TEngineGeometry& geometry,
                                        const TCombustionSettings& settings, int number) {
    if (number < 1 || static_cast<std::size_t>(number) > CycleCount(cycle, analysis)) {
        return std::nullopt;
    }
    TCycleCurves curves;
    curves.Pressure = ReferencedCycle(cycle, analysis, reference, static_cast<std::size_t>(number) - 1);
    // A heat-transfer model measures the cycle at its own speed, as the analysis did.
    const auto at = static_cast<std::size_t>(number) - 1;
    const double displaced = DisplacedVolume(geometry);
    const TRunningEngine engine{geometry.Bore, geometry.Stroke, displaced,
                                at < cycle.CycleRpm.size() ? cycle.CycleRpm[at] : cycle.Rpm};
    TCombustionFigures figures =
        ComputeTraceFigures(curves.Pressure, analysis.Volumes, displaced, settings, number, engine);
    curves.Release = std::move(figures.Release);
    curves.Gross = std::move(figures.Gross);
    return curves;
}

TPressureBand PressureBand(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                           const TPressureReference& reference) {
    const std::size_t count = CycleCount(cycle, analysis);
    if (count == 0) {
        return {};
    }
    TSignalTable low;
    TSignalTable high;
    low.fill(std::numeric_limits<double>::max());
    high.fill(std::numeric_limits<double>::lowest());
    for (std::size_t index = 0; index < count; ++index) {
        const TSignalTable trace = ReferencedCycle(cycle, analysis, reference, index);
        for (std::size_t point = 0; point < trace.size(); ++point) {
            low[point] = std::min(low[point], trace[point]);
            high[point] = std::max(high[point], trace[point]);
        }
    }
    return {TraceSeries(low), TraceSeries(high)};
}

std::optional<int> NearestCycle(const TPressureCycle& cycle, const TPressureAnalysis& analysis,
                                const TPressureReference& reference, double angle, double value) {
    const std::size_t count = CycleCount(cycle, analysis);
    if (count == 0) {
        return std::nullopt;
    }
    const double clamped = std::clamp(angle, 0.0, AngleOf(SignalPoints - 1));
    const auto point = static_cast<std::size_t>(std::lround(clamped / kPointStep));
    std::size_t nearest = 0;
    double nearestGap = std::numeric_limits<double>::max();
    for (std::size_t index = 0; index < count; ++index) {
        const double gap = std::abs(ReferencedCycle(cycle, analysis, reference, index)[point] - value);
        if (gap < nearestGap) {
            nearestGap = gap;
            nearest = index;
        }
    }
    return static_cast<int>(nearest) + 1;
}

TSeries PvSeries(const TSignalTable& pressure, const TSignalTable& volumes) {
    TSeries series;
    series.Keys.reserve(volumes.size());
    for (const double volume : volumes) {
        series.Keys.push_back(volume * kCubicCentimetres);
    }
    series.Values.assign(pressure.begin(), pressure.end());
    return series;
}

TSeries BurnSeries(const THeatRelease& release) {
    TSeries series{WindowAngles(release, release.Fraction.size()), {}};
    series.Values.reserve(release.Fraction.size());
    for (const double fraction : release.Fraction) {
        series.Values.push_back(fraction * 100);
    }
    return series;
}

TSeries HeatRateSeries(const THeatRelease& release, int points) {
    const std::vector<double> rate = HeatReleaseRate(release);
    return {WindowAngles(release, rate.size()), Smoothed(rate, points)};
}

TCycleSeries CycleSeries(const std::vector<TCycleFigures>& cycles) {
    TCycleSeries series;
    for (std::size_t index = 0; index < cycles.size(); ++index) {
        const TCycleFigures& figures = cycles[index];
        const int number = static_cast<int>(index) + 1;
        series.NetImep.Keys.push_back(number);
        series.NetImep.Values.push_back(figures.NetImep);
        if (figures.Burn) {
            series.Mfb50.Keys.push_back(number);
            series.Mfb50.Values.push_back(figures.Burn->Mfb50);
        } else {
            series.Misfires.push_back(number);
        }
        if (figures.Mapo) {
            series.Mapo.Keys.push_back(number);
            series.Mapo.Values.push_back(*figures.Mapo);
        }
        if (figures.Knocking) {
            series.Knocking.push_back(number);
        }
    }
    return series;
}

std::vector<TAngleMarker> CylinderOneMarkers(const TEventList& events) {
    return CylinderMarkers(events, 1, 0);
}

std::vector<TAngleMarker> CylinderMarkers(const TEventList& events, int cylinder, double shift) {
    const std::string number = std::to_string(cylinder);
    const std::pair<std::string, const char*> marked[] = {{"Zapalování " + number, "Zapalování"},
                                                          {"Píst " + number + " - SV zavírá", "SV zavírá"},
                                                          {"Píst " + number + " - VV otvírá", "VV otvírá"}};
    std::vector<TAngleMarker> markers;
    for (const auto& mark : marked) {
        const std::string& name = mark.first;
        const char* const label = mark.second;
        const auto event = std::find_if(events.begin(), events.end(),
                                        [&name](const TEngineEvent& one) { return one.Name == name; });
        if (event != events.end()) {
            double angle = event->FinalAngle;
            if (shift != 0) {
                angle = std::fmod(angle - shift, 720.0);
                angle = angle < 0 ? angle + 720 : angle;
            }
            markers.push_back({angle, label});
        }
    }
    return markers;
}

}  // namespace morvane
