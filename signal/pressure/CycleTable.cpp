#include "signal/pressure/CycleTable.h"

#include <algorithm>

#include "signal/pressure/CombustionInputs.h"
#include "util/numtext.h"
#include "util/semicolonrows.h"

namespace morvane {

namespace {

bool MapoKnown(const TPressureAnalysis& analysis) {
    return std::any_of(analysis.Cycles.begin(), analysis.Cycles.end(),
                       [](const TCycleFigures& cycle) { return cycle.Mapo.has_value(); });
}

std::vector<std::string> Header(bool withMapo, bool withWalls) {
    std::vector<std::string> header = {"Cyklus",          kNetImepName,   kGrossImepName,
                                       kPeakPressureName, kPeakAngleName, kMfb10Name,
                                       kMfb50Name,        kMfb90Name,     kHeatName};
    if (withWalls) {
        header.emplace_back(kGrossHeatName);
        header.emplace_back(kPeakTemperatureName);
    }
    header.emplace_back(kPegOffsetName);
    header.emplace_back("Vynechání");
    if (withMapo) {
        header.emplace_back("MAPO [bar]");
    }
    return header;
}

std::vector<std::string> Row(int number, const TCycleFigures& cycle, bool withMapo, TNumberFormat format) {
    std::vector<std::string> row = {FormatInteger(number),
                                    RoundedFigure(cycle.NetImep, kPressureStep, format),
                                    RoundedFigure(cycle.GrossImep, kPressureStep, format),
                                    RoundedFigure(cycle.PeakPressure, kPressureStep, format),
                                    FormatFloatGeneral(cycle.PeakAngle, format)};
    for (const double TBurnAngles::*angle : {&TBurnAngles::Mfb10, &TBurnAngles::Mfb50, &TBurnAngles::Mfb90}) {
        row.push_back(cycle.Burn ? RoundedFigure((*cycle.Burn).*angle, kFineStep, format) : std::string());
    }
    row.push_back(RoundedFigure(cycle.Heat, kFineStep, format));
    if (cycle.GrossHeat && cycle.PeakTemperature) {
        row.push_back(RoundedFigure(*cycle.GrossHeat, kFineStep, format));
        row.push_back(RoundedFigure(*cycle.PeakTemperature, kFineStep, format));
    }
    row.push_back(RoundedFigure(cycle.PegOffset, kPressureStep, format));
    row.emplace_back(cycle.Burn ? "0" : "1");
    if (withMapo) {
        row.push_back(cycle.Mapo ? RoundedFigure(*cycle.Mapo, kPressureStep, format) : std::string());
    }
    return row;
}

std::string JoinedLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += (i == 0 ? "" : ";") + cells[i];
    }
    return line + '\n';
}

void ListChargeFigures(const TCombustionFigures& mean, IValueList& list, TNumberFormat format) {
    if (!mean.Gross || !mean.Charge) {
        return;
    }
    const TChargeFigures& charge = *mean.Charge;
    constexpr double kMilligramsPerKilogram = 1e6;
    list.append(kWallHeatName, RoundedFigure(charge.WallHeat.back(), kFineStep, format));
    list.append(kGrossHeatName, RoundedFigure(ReleasedHeat(*mean.Gross), kFineStep, format));
    list.append(kPeakTemperatureName, RoundedFigure(charge.PeakTemperature, kFineStep, format));
    list.append(kPeakTemperatureAngleName, FormatFloatGeneral(charge.PeakTemperatureAngle, format));
    list.append(kTrappedMassName,
                RoundedFigure(charge.TrappedMass * kMilligramsPerKilogram, kFineStep, format));
}

}  // namespace

void ListPressureAnalysis(const TPressureAnalysis& analysis, IValueList& list, TNumberFormat format) {
    const TCycleStatistics& statistics = analysis.Statistics;
    ListCombustionFigures(analysis.Mean, list, format);
    list.append(kHeatName, RoundedFigure(analysis.MeanHeat, kFineStep, format));
    ListChargeFigures(analysis.Mean, list, format);
    if (analysis.Pegged) {
        list.append(kPegOffsetName, RoundedFigure(analysis.PegOffset, kPressureStep, format));
    }
    if (statistics.CovPeakPressure) {
        list.append(kCovPeakPressureName, RoundedFigure(*statistics.CovPeakPressure, kFineStep, format));
    }
    if (statistics.Mfb50Deviation) {
        list.append(kMfb50DeviationName, RoundedFigure(*statistics.Mfb50Deviation, kFineStep, format));
    }
    if (!analysis.Cycles.empty()) {
        list.append(kMisfiresName, FormatInteger(statistics.Misfires));
    }
    if (statistics.MapoMean && statistics.MapoMax && statistics.KnockingCycles) {
        list.append(kMapoMeanName, RoundedFigure(*statistics.MapoMean, kPressureStep, format));
        list.append(kMapoMaxName, RoundedFigure(*statistics.MapoMax, kPressureStep, format));
        list.append(kKnockingCyclesName, FormatInteger(*statistics.KnockingCycles));
    }
}

std::vector<std::vector<std::string>> CycleTableRows(const TPressureAnalysis& analysis,
                                                     TNumberFormat format) {
    const bool withMapo = MapoKnown(analysis);
    std::vector<std::vector<std::string>> rows;
    rows.reserve(analysis.Cycles.size() + 1);
    rows.push_back(Header(withMapo, analysis.WallHeat));
    for (std::size_t c = 0; c < analysis.Cycles.size(); ++c) {
        rows.push_back(Row(static_cast<int>(c) + 1, analysis.Cycles[c], withMapo, format));
    }
    return rows;
}

std::string CycleTableText(const TPressureAnalysis& analysis, TNumberFormat format) {
    // Row by row, so that a long recording's table is held once, as text only.
    const bool withMapo = MapoKnown(analysis);
    std::string text = JoinedLine(Header(withMapo, analysis.WallHeat));
    for (std::size_t c = 0; c < analysis.Cycles.size(); ++c) {
        text += JoinedLine(Row(static_cast<int>(c) + 1, analysis.Cycles[c], withMapo, format));
    }
    return text;
}

void AppendCycleTableLines(std::string& text, const TPressureAnalysis& analysis, TNumberFormat format,
                           std::string_view header, std::string_view cell) {
    const bool withMapo = MapoKnown(analysis);
    const auto appendLine = [&text](std::string_view first, const std::vector<std::string>& cells) {
        text += SemicolonCell(first);
        for (const std::string& next : cells) {
            text += ';';
            text += SemicolonCell(next);
        }
        text += '\n';
    };
    if (!header.empty()) {
        appendLine(header, Header(withMapo, analysis.WallHeat));
    }
    for (std::size_t c = 0; c < analysis.Cycles.size(); ++c) {
        appendLine(cell, Row(static_cast<int>(c) + 1, analysis.Cycles[c], withMapo, format));
    }
}

}  // namespace morvane
