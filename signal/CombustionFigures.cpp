#include "signal/CombustionFigures.h"

#include <algorithm>
#include <cmath>

#include "util/errors.h"
#include "util/fpfault.h"

namespace morvane {

namespace {

constexpr double kPascalPerBar = 1e5;
constexpr double kMaxGamma = 10;
constexpr int kLastPoint = SignalPoints - 1;
constexpr int kGrossFirstPoint = 360;  // 180°
constexpr int kGrossLastPoint = 1080;  // 540°

double PointAngle(int point) {
    return static_cast<double>(point) / 2.0;
}

double Imep(const TSignalTable& pressure, const TSignalTable& volumes, double displaced, int first,
            int last) {
    return StoreDouble(Divide(PressureWork(pressure, volumes, first, last), displaced));
}

std::optional<double> ImepVariation(const std::vector<TSignalTable>& cycles, const TSignalTable& volumes,
                                    double displaced) {
    if (cycles.size() < 2) {
        return std::nullopt;
    }
    std::vector<long double> values;
    long double sum = 0;
    for (const TSignalTable& cycle : cycles) {
        values.push_back(Imep(cycle, volumes, displaced, 0, kLastPoint));
        sum += values.back();
    }
    const long double n = static_cast<long double>(values.size());
    const long double mean = sum / n;
    if (mean == 0) {
        return std::nullopt;
    }
    long double squares = 0;
    for (const long double value : values) {
        squares += (value - mean) * (value - mean);
    }
    return StoreDouble(100 * std::sqrt(squares / (n - 1)) / std::fabs(mean));
}

}  // namespace

void CheckCombustionSettings(const TCombustionSettings& settings) {
    if (!(settings.Gamma > 1) || settings.Gamma > kMaxGamma) {
        RaiseInputError("γ [1]", "větší než 1 a nejvýše 10");
    }
    const bool inCycle = settings.WindowStart >= 0 && settings.WindowEnd <= 720;
    if (!inCycle || WindowPoints(settings).Last <= WindowPoints(settings).First) {
        RaiseInputError("Okno [°]", "v rozsahu 0 až 720 a zahrnout alespoň dva body cyklu");
    }
}

TPointRange WindowPoints(const TCombustionSettings& settings) {
    // Clamped first, so that a far-off window cannot overflow the conversion.
    const double start = std::clamp(settings.WindowStart, 0.0, 720.0);
    const double end = std::clamp(settings.WindowEnd, 0.0, 720.0);
    return {static_cast<int>(std::ceil(2 * start)), static_cast<int>(std::floor(2 * end))};
}

double PressureWork(const TSignalTable& pressure, const TSignalTable& volumes, int first, int last) {
    long double work = 0;
    for (int i = first; i < last; ++i) {
        const auto k = static_cast<std::size_t>(i);
        work += 0.5L * (static_cast<long double>(pressure[k]) + pressure[k + 1]) *
                (static_cast<long double>(volumes[k + 1]) - volumes[k]);
    }
    return StoreDouble(work);
}

THeatRelease ApparentHeatRelease(const TSignalTable& pressure, const TSignalTable& volumes,
                                 const TCombustionSettings& settings, double peakPressure, double displaced) {
    const TPointRange range = WindowPoints(settings);
    const long double gamma = settings.Gamma;
    const long double workShare = gamma / (gamma - 1);
    const long double internalShare = 1 / (gamma - 1);

    THeatRelease release;
    release.FirstPoint = range.First;
    release.Heat.push_back(0);
    long double heat = 0;
    for (int i = range.First; i < range.Last; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const long double p0 = pressure[k];
        const long double p1 = pressure[k + 1];
        const long double v0 = volumes[k];
        const long double v1 = volumes[k + 1];
        heat += 0.5L * kPascalPerBar *
                (workShare * (p0 + p1) * (v1 - v0) + internalShare * (v0 + v1) * (p1 - p0));
        release.Heat.push_back(StoreDouble(heat));
    }

    const auto begin = release.Heat.begin();
    const auto largest = std::max_element(begin, release.Heat.end());
    const auto smallest = std::min_element(begin, largest + 1);
    release.MaxPoint = static_cast<int>(largest - begin);
    release.MinPoint = static_cast<int>(smallest - begin);
    const long double span = static_cast<long double>(*largest) - *smallest;
    release.Burned = span > 0 && span >= static_cast<long double>(kMinBurnShare) * peakPressure *
                                             kPascalPerBar * displaced;
    release.Fraction.assign(release.Heat.size(), 0.0);
    if (span > 0) {
        for (std::size_t j = 0; j < release.Heat.size(); ++j) {
            release.Fraction[j] =
                StoreDouble(Divide(release.Heat[j] - static_cast<long double>(*smallest), span));
        }
    }
    return release;
}

double BurnAngle(const THeatRelease& release, double level) {
    const std::vector<double>& fraction = release.Fraction;
    for (std::size_t j = static_cast<std::size_t>(release.MinPoint) + 1; j < fraction.size(); ++j) {
        if (fraction[j] >= level) {
            const long double step = Divide(level - static_cast<long double>(fraction[j - 1]),
                                            static_cast<long double>(fraction[j]) - fraction[j - 1]);
            return StoreDouble(PointAngle(release.FirstPoint + static_cast<int>(j) - 1) + step / 2);
        }
    }
    // Not reached while Qmax's fraction is 1; the window's end stands in.
    return PointAngle(release.FirstPoint + static_cast<int>(fraction.size()) - 1);
}

TCombustionFigures ComputeCombustionFigures(const TPressureCycle& cycle, const TEngineGeometry& geometry,
                                            const TCombustionSettings& settings) {
    const TSignalTable volumes = CylinderVolumes(geometry);
    CheckCombustionSettings(settings);
    const double displaced = DisplacedVolume(geometry);
    const TSignalTable& pressure = cycle.Mean;

    TCombustionFigures figures;
    figures.NetImep = Imep(pressure, volumes, displaced, 0, kLastPoint);
    figures.GrossImep = Imep(pressure, volumes, displaced, kGrossFirstPoint, kGrossLastPoint);
    const auto peak = std::max_element(pressure.begin(), pressure.end());
    figures.PeakPressure = *peak;
    figures.PeakAngle = PointAngle(static_cast<int>(peak - pressure.begin()));
    figures.LossAngle = figures.PeakAngle - 360;
    figures.Release = ApparentHeatRelease(pressure, volumes, settings, figures.PeakPressure, displaced);
    if (figures.Release.Burned) {
        figures.Burn = TBurnAngles{BurnAngle(figures.Release, 0.1), BurnAngle(figures.Release, 0.5),
                                   BurnAngle(figures.Release, 0.9)};
    }
    figures.CovImep = ImepVariation(cycle.Cycles, volumes, displaced);
    return figures;
}

}  // namespace morvane
