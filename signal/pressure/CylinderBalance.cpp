#include "signal/pressure/CylinderBalance.h"

#include <algorithm>
#include <map>

#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/CycleTable.h"
#include "util/fpfault.h"

namespace morvane {

namespace {

double MeanOf(const std::vector<TCylinderFigures>& cylinders, double (*figure)(const TCylinderFigures&)) {
    long double sum = 0;
    for (const TCylinderFigures& cylinder : cylinders) {
        sum += figure(cylinder);
    }
    return StoreDouble(sum / static_cast<long double>(cylinders.size()));
}

std::optional<TBurnAngles> MeanBurn(const std::vector<TCylinderFigures>& cylinders) {
    TBurnAngles sum;
    for (const TCylinderFigures& cylinder : cylinders) {
        const std::optional<TBurnAngles>& burn = cylinder.Analysis.Mean.Burn;
        if (!burn) {
            return std::nullopt;
        }
        sum.Mfb10 += burn->Mfb10;
        sum.Mfb50 += burn->Mfb50;
        sum.Mfb90 += burn->Mfb90;
    }
    const auto count = static_cast<double>(cylinders.size());
    return TBurnAngles{sum.Mfb10 / count, sum.Mfb50 / count, sum.Mfb90 / count};
}

// The IMEP of every engine cycle that all cylinders have complete.
std::vector<double> EngineCycleImeps(const std::vector<TCylinderFigures>& cylinders) {
    std::map<std::int64_t, std::pair<long double, std::size_t>> cycles;
    for (const TCylinderFigures& cylinder : cylinders) {
        const std::size_t count = std::min(cylinder.EngineCycles.size(), cylinder.Analysis.Cycles.size());
        for (std::size_t k = 0; k < count; ++k) {
            auto& [sum, members] = cycles[cylinder.EngineCycles[k]];
            sum += cylinder.Analysis.Cycles[k].NetImep;
            ++members;
        }
    }
    std::vector<double> imeps;
    for (const auto& [number, cycle] : cycles) {
        if (cycle.second == cylinders.size()) {
            imeps.push_back(StoreDouble(cycle.first / static_cast<long double>(cycle.second)));
        }
    }
    return imeps;
}

void SumKnockAndMisfires(const std::vector<TCylinderFigures>& cylinders, TEngineFigures& engine) {
    for (const TCylinderFigures& cylinder : cylinders) {
        const TCycleStatistics& statistics = cylinder.Analysis.Statistics;
        engine.Misfires += statistics.Misfires;
        if (statistics.MapoMax) {
            engine.MapoMax = std::max(engine.MapoMax.value_or(*statistics.MapoMax), *statistics.MapoMax);
        }
        if (statistics.KnockingCycles) {
            engine.KnockingCycles = engine.KnockingCycles.value_or(0) + *statistics.KnockingCycles;
        }
    }
}

std::string Cell(const std::optional<double>& value, double step, TNumberFormat format) {
    return value ? RoundedFigure(*value, step, format) : std::string();
}

std::string BurnCell(const std::optional<TBurnAngles>& burn, double TBurnAngles::*angle,
                     TNumberFormat format) {
    return burn ? RoundedFigure((*burn).*angle, kFineStep, format) : std::string();
}

std::vector<std::string> FigureCells(double netImep, double grossImep, double peakPressure, double peakAngle,
                                     const std::optional<TBurnAngles>& burn, TNumberFormat format) {
    return {
        RoundedFigure(netImep, kPressureStep, format),      RoundedFigure(grossImep, kPressureStep, format),
        RoundedFigure(peakPressure, kPressureStep, format), RoundedFigure(peakAngle, kFineStep, format),
        BurnCell(burn, &TBurnAngles::Mfb10, format),        BurnCell(burn, &TBurnAngles::Mfb50, format),
        BurnCell(burn, &TBurnAngles::Mfb90, format)};
}

std::vector<std::string> CylinderRow(std::size_t number, const TCylinderFigures& cylinder,
                                     const std::optional<double>& deviation, TNumberFormat format) {
    const TCombustionFigures& mean = cylinder.Analysis.Mean;
    const TCycleStatistics& statistics = cylinder.Analysis.Statistics;
    std::vector<std::string> row = {FormatInteger(static_cast<std::int64_t>(number))};
    for (std::string& cell :
         FigureCells(mean.NetImep, mean.GrossImep, mean.PeakPressure, mean.PeakAngle, mean.Burn, format)) {
        row.push_back(std::move(cell));
    }
    row.push_back(Cell(mean.CovImep, kFineStep, format));
    row.push_back(Cell(statistics.MapoMax, kPressureStep, format));
    row.push_back(statistics.KnockingCycles ? FormatInteger(*statistics.KnockingCycles) : std::string());
    row.push_back(cylinder.Analysis.Cycles.empty() ? std::string() : FormatInteger(statistics.Misfires));
    row.push_back(Cell(deviation, kFineStep, format));
    return row;
}

}  // namespace

TCylinderBalance BalanceOf(const std::vector<TCylinderFigures>& cylinders) {
    TCylinderBalance balance;
    if (cylinders.empty()) {
        return balance;
    }
    TEngineFigures& engine = balance.Engine;
    engine.NetImep = MeanOf(cylinders, [](const TCylinderFigures& c) { return c.Analysis.Mean.NetImep; });
    engine.GrossImep = MeanOf(cylinders, [](const TCylinderFigures& c) { return c.Analysis.Mean.GrossImep; });
    engine.PeakPressure =
        MeanOf(cylinders, [](const TCylinderFigures& c) { return c.Analysis.Mean.PeakPressure; });
    engine.PeakAngle = MeanOf(cylinders, [](const TCylinderFigures& c) { return c.Analysis.Mean.PeakAngle; });
    engine.Burn = MeanBurn(cylinders);
    const std::vector<double> imeps = EngineCycleImeps(cylinders);
    engine.EngineCycles = static_cast<int>(imeps.size());
    engine.CovImep = CoefficientOfVariation(imeps);
    SumKnockAndMisfires(cylinders, engine);
    for (const TCylinderFigures& cylinder : cylinders) {
        balance.ImepDeviation.push_back(
            engine.NetImep == 0
                ? std::nullopt
                : std::optional<double>(StoreDouble(
                      Divide(100.0L * (cylinder.Analysis.Mean.NetImep - engine.NetImep), engine.NetImep))));
    }
    return balance;
}

std::vector<std::vector<std::string>> BalanceTableRows(const std::vector<TCylinderFigures>& cylinders,
                                                       const TCylinderBalance& balance,
                                                       TNumberFormat format) {
    std::vector<std::vector<std::string>> rows = {{kCylinderName, kNetImepName, kGrossImepName,
                                                   kPeakPressureName, kPeakAngleName, kMfb10Name, kMfb50Name,
                                                   kMfb90Name, kCovImepName, kMapoMaxName,
                                                   kKnockingCyclesName, kMisfiresName, kImepDeviationName}};
    for (std::size_t k = 0; k < cylinders.size(); ++k) {
        rows.push_back(CylinderRow(k + 1, cylinders[k],
                                   k < balance.ImepDeviation.size() ? balance.ImepDeviation[k] : std::nullopt,
                                   format));
    }
    const TEngineFigures& engine = balance.Engine;
    std::vector<std::string> row = {kEngineRowName};
    for (std::string& cell : FigureCells(engine.NetImep, engine.GrossImep, engine.PeakPressure,
                                         engine.PeakAngle, engine.Burn, format)) {
        row.push_back(std::move(cell));
    }
    row.push_back(Cell(engine.CovImep, kFineStep, format));
    row.push_back(Cell(engine.MapoMax, kPressureStep, format));
    row.push_back(engine.KnockingCycles ? FormatInteger(*engine.KnockingCycles) : std::string());
    row.push_back(FormatInteger(engine.Misfires));
    row.emplace_back();
    rows.push_back(std::move(row));
    return rows;
}

std::string CylinderCycleText(const std::vector<TCylinderFigures>& cylinders, TNumberFormat format) {
    std::string text;
    for (std::size_t k = 0; k < cylinders.size(); ++k) {
        AppendCycleTableLines(text, cylinders[k].Analysis, format, k == 0 ? kCylinderName : "",
                              FormatInteger(static_cast<std::int64_t>(k + 1)));
    }
    return text;
}

}  // namespace morvane
