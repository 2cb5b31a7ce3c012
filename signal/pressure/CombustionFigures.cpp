#include "signal/pressure/CombustionFigures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/GasTemperature.h"
#include "util/errors.h"
#include "util/fpfault.h"
#include "util/mathutil.h"
#include "util/numtext.h"

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

struct TSpread {
    long double Mean = 0;
    long double Deviation = 0;
};

TSpread SpreadOf(const std::vector<double>& values) {
    const auto n = static_cast<long double>(values.size());
    long double sum = 0;
    for (const double value : values) {
        sum += value;
    }
    const long double mean = sum / n;
    long double squares = 0;
    for (const long double value : values) {
        squares += (value - mean) * (value - mean);
    }
    return {mean, std::sqrt(squares / (n - 1))};
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
    CheckHeatTransferSettings(settings.HeatTransfer);
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

namespace {

// One step's share of the apparent heat, J, for γ over the step.
long double HeatStep(long double gamma, long double p0, long double p1, long double v0, long double v1) {
    return 0.5L * kPascalPerBar *
           (gamma / (gamma - 1) * (p0 + p1) * (v1 - v0) + 1 / (gamma - 1) * (v0 + v1) * (p1 - p0));
}

std::vector<double> BruntHeat(const TSignalTable& pressure, const TSignalTable& volumes, TPointRange range,
                              const std::vector<double>& temperatures) {
    std::vector<double> heat{0};
    long double sum = 0;
    for (int i = range.First; i < range.Last; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const double gamma = BruntGamma(0.5 * (temperatures[k] + temperatures[k + 1]));
        sum += HeatStep(gamma, pressure[k], pressure[k + 1], volumes[k], volumes[k + 1]);
        heat.push_back(StoreDouble(sum));
    }
    return heat;
}

}  // namespace

THeatRelease ApparentHeatRelease(const TSignalTable& pressure, const TSignalTable& volumes,
                                 const TCombustionSettings& settings, double peakPressure, double displaced,
                                 const std::vector<double>* temperatures) {
    const TPointRange range = WindowPoints(settings);
    if (temperatures != nullptr) {
        return ReleaseOfHeat(range.First, BruntHeat(pressure, volumes, range, *temperatures), pressure,
                             peakPressure, displaced);
    }
    const long double gamma = settings.Gamma;
    const long double workShare = gamma / (gamma - 1);
    const long double internalShare = 1 / (gamma - 1);

    std::vector<double> heats{0};
    long double heat = 0;
    for (int i = range.First; i < range.Last; ++i) {
        const auto k = static_cast<std::size_t>(i);
        const long double p0 = pressure[k];
        const long double p1 = pressure[k + 1];
        const long double v0 = volumes[k];
        const long double v1 = volumes[k + 1];
        heat += 0.5L * kPascalPerBar *
                (workShare * (p0 + p1) * (v1 - v0) + internalShare * (v0 + v1) * (p1 - p0));
        heats.push_back(StoreDouble(heat));
    }
    return ReleaseOfHeat(range.First, std::move(heats), pressure, peakPressure, displaced);
}

THeatRelease ReleaseOfHeat(int firstPoint, std::vector<double> heat, const TSignalTable& pressure,
                           double peakPressure, double displaced) {
    THeatRelease release;
    release.FirstPoint = firstPoint;
    release.Heat = std::move(heat);
    const double* const begin = release.Heat.data();
    const double* const largest = FirstLargest(begin, begin + release.Heat.size());
    const double* const smallest = FirstSmallest(begin, largest + 1);
    release.MaxPoint = static_cast<int>(largest - begin);
    release.MinPoint = static_cast<int>(smallest - begin);
    const long double span = static_cast<long double>(*largest) - *smallest;
    const bool compressed = peakPressure >= kMinCompression * pressure[kGrossFirstPoint];
    release.Burned =
        compressed && span > 0 &&
        span >= static_cast<long double>(kMinBurnShare) * peakPressure * kPascalPerBar * displaced;
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

double ReleasedHeat(const THeatRelease& release) {
    if (release.Heat.empty()) {
        return 0;
    }
    const auto max = static_cast<std::size_t>(release.MaxPoint);
    const auto min = static_cast<std::size_t>(release.MinPoint);
    return StoreDouble(static_cast<long double>(release.Heat[max]) - release.Heat[min]);
}

std::vector<double> HeatReleaseRate(const THeatRelease& release) {
    const std::vector<double>& heat = release.Heat;
    std::vector<double> rate;
    if (heat.size() < 2) {
        return rate;
    }
    const std::size_t last = heat.size() - 1;
    // Points are 0,5° apart: one step over 0,5°, two steps over 1°.
    rate.push_back(StoreDouble(2 * (static_cast<long double>(heat[1]) - heat[0])));
    for (std::size_t j = 1; j < last; ++j) {
        rate.push_back(StoreDouble(static_cast<long double>(heat[j + 1]) - heat[j - 1]));
    }
    rate.push_back(StoreDouble(2 * (static_cast<long double>(heat[last]) - heat[last - 1])));
    return rate;
}

namespace {

constexpr int kCyclePoints = SignalPoints - 1;
constexpr int kLevelHalf = static_cast<int>(2 * kPressureLevelSpan);

// The point k + offset of the cycle continued periodically (point 1440 is point 0).
double Around(const TSignalTable& pressure, int k, int offset) {
    return pressure[static_cast<std::size_t>((k + offset + kCyclePoints) % kCyclePoints)];
}

std::string PointName(int point, int cycleNumber, TNumberFormat format) {
    const std::string angle = FormatFloatGeneral(PointAngle(point), format);
    return cycleNumber > 0 ? "Tlak cyklu " + FormatInteger(cycleNumber) + " při " + angle + "°"
                           : "Tlak při " + angle + "°";
}

}  // namespace

void CheckPositivePressure(const TSignalTable& pressure, int cycleNumber, TNumberFormat format) {
    // A sum of values all above 0 is above 0: a trace above 0 everywhere
    // needs no level summed (a recording's thousands of cycles are).
    if (std::all_of(pressure.begin(), pressure.end(), [](double value) { return value > 0; })) {
        return;
    }
    long double lowestSum = 0;
    int lowestPoint = 0;
    for (int k = 0; k < kCyclePoints; ++k) {
        long double sum = 0;
        for (int j = -kLevelHalf; j <= kLevelHalf; ++j) {
            sum += Around(pressure, k, j);
        }
        if (k == 0 || sum < lowestSum) {
            lowestSum = sum;
            lowestPoint = k;
        }
    }
    if (lowestSum > 0) {
        return;
    }
    RaiseInputError(PointName(lowestPoint, cycleNumber, format) + " [bar]",
                    "větší než 0 (absolutní tlak; je-li tlak relativní, zvolte vztažení tlaku)");
}

void CheckStrayPoints(const TSignalTable& pressure, int cycleNumber, TNumberFormat format) {
    std::array<double, std::size_t{2} * kLevelHalf> neighbours{};
    for (int k = 0; k < SignalPoints; ++k) {
        const double value = pressure[static_cast<std::size_t>(k)];
        // The level is never below the floor, so a point within the factor
        // of it is no stray point whatever its neighbours.
        if (std::fabs(value) <= kStrayPointFactor * kStrayPointFloor) {
            continue;
        }
        std::size_t n = 0;
        for (int j = -kLevelHalf; j <= kLevelHalf; ++j) {
            if (j != 0) {
                neighbours[n++] = std::fabs(Around(pressure, k, j));
            }
        }
        const auto middle = neighbours.begin() + kLevelHalf;
        std::nth_element(neighbours.begin(), middle, neighbours.end());
        const double level = *middle;
        if (std::fabs(value) > kStrayPointFactor * std::max(level, kStrayPointFloor)) {
            RaiseInputError(PointName(k, cycleNumber, format) + " [bar] " + FormatFloatGeneral(value, format),
                            "řádově jako v okolních bodech (kolem " +
                                RoundedFigure(level, kPressureStep, format) +
                                "); jde nejspíš o chybný bod záznamu");
        }
    }
}

namespace {

// The gross release from the net one and the wall heat of the same points.
THeatRelease GrossRelease(const THeatRelease& net, const std::vector<double>& wallHeat,
                          const TSignalTable& pressure, double peakPressure, double displaced) {
    std::vector<double> gross(net.Heat.size());
    for (std::size_t j = 0; j < gross.size(); ++j) {
        gross[j] = StoreDouble(static_cast<long double>(net.Heat[j]) + wallHeat[j]);
    }
    return ReleaseOfHeat(net.FirstPoint, std::move(gross), pressure, peakPressure, displaced);
}

void FollowTheCharge(const TSignalTable& pressure, const TSignalTable& volumes, double displaced,
                     const TCombustionSettings& settings, int cycleNumber, const TRunningEngine& engine,
                     TCombustionFigures& figures) {
    const TPointRange range = WindowPoints(settings);
    const THeatTransferSettings& heat = settings.HeatTransfer;
    figures.Charge =
        FollowCharge(pressure, volumes, heat, engine, range.First, range.Last, cycleNumber, settings.Numbers);
    const bool brunt = heat.Gamma == TGammaModel::Brunt;
    figures.Release = ApparentHeatRelease(pressure, volumes, settings, figures.PeakPressure, displaced,
                                          brunt ? &figures.Charge->Temperatures : nullptr);
    if (heat.Model != THeatModel::None) {
        figures.Gross = GrossRelease(figures.Release, figures.Charge->WallHeat, pressure,
                                     figures.PeakPressure, displaced);
    }
}

std::vector<double> AnglesOf(int first, std::size_t count) {
    std::vector<double> angles(count);
    for (std::size_t j = 0; j < count; ++j) {
        angles[j] = PointAngle(first + static_cast<int>(j));
    }
    return angles;
}

}  // namespace

TCombustionFigures ComputeTraceFigures(const TSignalTable& pressure, const TSignalTable& volumes,
                                       double displaced, const TCombustionSettings& settings, int cycleNumber,
                                       const TRunningEngine& engine) {
    CheckPositivePressure(pressure, cycleNumber, settings.Numbers);
    TCombustionFigures figures;
    figures.NetImep = Imep(pressure, volumes, displaced, 0, kLastPoint);
    figures.GrossImep = Imep(pressure, volumes, displaced, kGrossFirstPoint, kGrossLastPoint);
    const double* const peak = FirstLargest(pressure.data(), pressure.data() + pressure.size());
    figures.PeakPressure = *peak;
    figures.PeakAngle = PointAngle(static_cast<int>(peak - pressure.data()));
    figures.LossAngle = figures.PeakAngle - 360;
    if (FollowsCharge(settings.HeatTransfer)) {
        FollowTheCharge(pressure, volumes, displaced, settings, cycleNumber, engine, figures);
    } else {
        figures.Release = ApparentHeatRelease(pressure, volumes, settings, figures.PeakPressure, displaced);
    }
    const THeatRelease& burning = figures.Gross ? *figures.Gross : figures.Release;
    if (burning.Burned) {
        figures.Burn = TBurnAngles{BurnAngle(burning, 0.1), BurnAngle(burning, 0.5), BurnAngle(burning, 0.9)};
    }
    return figures;
}

THeatCurves HeatCurvesOf(const TCombustionFigures& figures) {
    THeatCurves curves;
    curves.WindowAngles = AnglesOf(figures.Release.FirstPoint, figures.Release.Heat.size());
    curves.NetRate = HeatReleaseRate(figures.Release);
    if (figures.Gross) {
        curves.GrossRate = HeatReleaseRate(*figures.Gross);
    }
    if (figures.Charge) {
        const TChargeFigures& charge = *figures.Charge;
        const auto first = static_cast<std::size_t>(charge.FirstPoint);
        const auto last = static_cast<std::size_t>(charge.LastPoint);
        curves.GasAngles = AnglesOf(charge.FirstPoint, last - first + 1);
        curves.Temperature.assign(charge.Temperatures.begin() + static_cast<std::ptrdiff_t>(first),
                                  charge.Temperatures.begin() + static_cast<std::ptrdiff_t>(last) + 1);
        curves.Coefficient = charge.Coefficients;
    }
    return curves;
}

std::optional<double> SampleDeviation(const std::vector<double>& values) {
    if (values.size() < 2) {
        return std::nullopt;
    }
    return StoreDouble(SpreadOf(values).Deviation);
}

std::optional<double> CoefficientOfVariation(const std::vector<double>& values) {
    if (values.size() < 2) {
        return std::nullopt;
    }
    const TSpread spread = SpreadOf(values);
    if (spread.Mean == 0) {
        return std::nullopt;
    }
    return StoreDouble(100 * spread.Deviation / std::fabs(spread.Mean));
}

}  // namespace morvane
