#include "events/ValveTiming.h"

#include <cmath>

#include "events/EventGeneration.h"
#include "events/FiringOrder.h"
#include "util/errors.h"
#include "util/fpfault.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"
#include "util/semicolonrows.h"

namespace morvane {

namespace {

constexpr long double kCycle = 720;
constexpr long double kTurn = 360;

constexpr std::array<const char*, kValveSummaryColumns> kSummaryHeader = {
    "Válec",        "Přesazení",    "Sání [°]",       "Výfuk [°]",
    "Překrytí [°]", "Osa sání [°]", "Osa výfuku [°]", "Rozestup os [°]"};

// The headers of the cylinder table's four valve columns.
constexpr std::array<const char*, 4> kValveColumnHeaders = {"SV otvírá", "SV zavírá", "VV otvírá",
                                                            "VV zavírá"};

// Brings an angle into [low, low + 720) by whole cycles; the cells hold at most
// a few cycles, so adding and subtracting stays exact.
long double IntoCycle(long double angle, long double low) {
    while (angle < low) {
        angle += kCycle;
    }
    while (angle >= low + kCycle) {
        angle -= kCycle;
    }
    return angle;
}

// Far-off angles (1e300) would take forever to bring in by whole cycles.
long double IntoCycleBounded(long double angle, long double low) {
    constexpr long double kFar = 1e6L;
    if (angle > kFar || angle < -kFar) {
        angle = std::fmod(angle, kCycle);
    }
    return IntoCycle(angle, low);
}

// A valve cell's angle, within the angles a cell may hold.
double ValveAngle(const ICellGrid& cylinderTable, int column, int row, TNumberFormat format) {
    const double angle = ParseFloat(cylinderTable.cellText(column, row), format);
    if (!(angle >= kLowestValveAngle && angle <= kHighestValveAngle)) {
        RaiseInputError(
            "Válec " + FormatInteger(row) + ", " + kValveColumnHeaders[column - IntakeOpensColumn],
            "od -720 do 1440");
    }
    return angle;
}

}  // namespace

TValveAngles ReadValveAngles(const ICellGrid& cylinderTable, int row, TNumberFormat format) {
    TValveAngles angles;
    angles.Ignition = ParseFloat(cylinderTable.cellText(IgnitionColumn, row), format);
    angles.IntakeOpens = ValveAngle(cylinderTable, IntakeOpensColumn, row, format);
    angles.IntakeCloses = ValveAngle(cylinderTable, IntakeClosesColumn, row, format);
    angles.ExhaustOpens = ValveAngle(cylinderTable, ExhaustOpensColumn, row, format);
    angles.ExhaustCloses = ValveAngle(cylinderTable, ExhaustClosesColumn, row, format);
    return angles;
}

TValveSummary SummarizeValveTiming(const TValveAngles& angles) {
    const long double intakeDuration =
        IntoCycleBounded(static_cast<long double>(angles.IntakeCloses) - angles.IntakeOpens, 0);
    const long double exhaustDuration =
        IntoCycleBounded(static_cast<long double>(angles.ExhaustCloses) - angles.ExhaustOpens, 0);
    // Both events seen from the gas-exchange top dead centre, -360 .. 360.
    const long double intakeOpens = IntoCycleBounded(angles.IntakeOpens, -kTurn);
    const long double exhaustCloses = IntoCycleBounded(angles.ExhaustCloses, -kTurn);
    const long double intakeMiddle = IntoCycle(intakeOpens + intakeDuration / 2, -kTurn);
    const long double exhaustMiddle = IntoCycleBounded(angles.ExhaustOpens, 0) + exhaustDuration / 2;
    const long double exhaustCentreline = IntoCycle(kCycle - exhaustMiddle, -kTurn);

    TValveSummary summary;
    summary.IntakeDuration = StoreDouble(intakeDuration);
    summary.ExhaustDuration = StoreDouble(exhaustDuration);
    summary.Overlap = StoreDouble(exhaustCloses - intakeOpens);
    summary.IntakeCentreline = StoreDouble(intakeMiddle);
    summary.ExhaustCentreline = StoreDouble(exhaustCentreline);
    summary.LobeSeparation = StoreDouble((intakeMiddle + exhaustCentreline) / 2);
    return summary;
}

TValveAngles ValveAnglesFromCamCard(const TCamCard& card) {
    const long double intakeHalf = static_cast<long double>(card.IntakeDuration) / 2;
    const long double exhaustHalf = static_cast<long double>(card.ExhaustDuration) / 2;
    const long double exhaustMiddle = kCycle - card.ExhaustCentreline;
    TValveAngles angles;
    angles.IntakeOpens = StoreDouble(card.IntakeCentreline - intakeHalf);
    angles.IntakeCloses = StoreDouble(card.IntakeCentreline + intakeHalf);
    angles.ExhaustOpens = StoreDouble(exhaustMiddle - exhaustHalf);
    angles.ExhaustCloses = StoreDouble(exhaustMiddle + exhaustHalf);
    return angles;
}

TCamCard ParseCamCard(const TCamCardTexts& texts, TNumberFormat format) {
    return {ParseFloat(texts.IntakeDuration, format), ParseFloat(texts.ExhaustDuration, format),
            ParseFloat(texts.IntakeCentreline, format), ParseFloat(texts.ExhaustCentreline, format)};
}

void WriteValveAngles(ICellGrid& cylinderTable, int row, const TValveAngles& angles, TNumberFormat format) {
    cylinderTable.setCellText(IntakeOpensColumn, row, FormatFloatGeneral(angles.IntakeOpens, format));
    cylinderTable.setCellText(IntakeClosesColumn, row, FormatFloatGeneral(angles.IntakeCloses, format));
    cylinderTable.setCellText(ExhaustOpensColumn, row, FormatFloatGeneral(angles.ExhaustOpens, format));
    cylinderTable.setCellText(ExhaustClosesColumn, row, FormatFloatGeneral(angles.ExhaustCloses, format));
}

std::array<std::string, kValveSummaryFigures> ValveSummaryTexts(const TValveSummary& summary,
                                                                TNumberFormat format) {
    return {FormatFloatGeneral(summary.IntakeDuration, format),
            FormatFloatGeneral(summary.ExhaustDuration, format),
            FormatFloatGeneral(summary.Overlap, format),
            FormatFloatGeneral(summary.IntakeCentreline, format),
            FormatFloatGeneral(summary.ExhaustCentreline, format),
            FormatFloatGeneral(summary.LobeSeparation, format)};
}

void FillValveSummary(const IValueList& mainParameters, const ICellGrid& cylinderTable, ICellGrid& summary,
                      TNumberFormat format) {
    const int count = TableCylinderCount(mainParameters);
    summary.setRowCount(count + 1);
    for (int column = 0; column < kValveSummaryColumns; ++column) {
        summary.setCellText(column, 0, kSummaryHeader[column]);
    }
    for (int row = 1; row <= count; ++row) {
        // Shown as typed, yet it must be a number, as the event creation demands.
        static_cast<void>(ParseFloat(cylinderTable.cellText(OffsetColumn, row), format));
        const auto figures =
            ValveSummaryTexts(SummarizeValveTiming(ReadValveAngles(cylinderTable, row, format)), format);
        summary.setCellText(0, row, FormatInteger(row));
        summary.setCellText(1, row, cylinderTable.cellText(OffsetColumn, row));
        for (int k = 0; k < kValveSummaryFigures; ++k) {
            summary.setCellText(2 + k, row, figures[k]);
        }
    }
}

std::string ValveSummaryText(const IValueList& mainParameters, const ICellGrid& cylinderTable,
                             TNumberFormat format) {
    TMemoryGrid summary(kValveSummaryColumns, 1);
    FillValveSummary(mainParameters, cylinderTable, summary, format);
    return SemicolonRows(summary, kValveSummaryColumns);
}

}  // namespace morvane
