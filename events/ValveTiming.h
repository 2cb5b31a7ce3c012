#pragma once

// The cam-card figures of one cylinder from its valve angles, and back.
//
// Angles are relative to the cylinder's crank offset: 0 is the top dead centre
// of gas exchange (valve overlap), 360 the firing top dead centre.

#include <array>
#include <string>

#include "util/controls.h"
#include "util/numtext.h"

namespace morvane {

// The timing cells of one row of the cylinder table, parsed.
struct TValveAngles {
    double Ignition = 0;
    double IntakeOpens = 0;
    double IntakeCloses = 0;
    double ExhaustOpens = 0;
    double ExhaustCloses = 0;

    bool operator==(const TValveAngles&) const = default;
};

// What a cam card lists. Centrelines count from the gas-exchange top dead
// centre: the intake's after it, the exhaust's before it.
struct TCamCard {
    double IntakeDuration = 0;
    double ExhaustDuration = 0;
    double IntakeCentreline = 0;
    double ExhaustCentreline = 0;
};

// The cam card's four fields as typed.
struct TCamCardTexts {
    std::string IntakeDuration;
    std::string ExhaustDuration;
    std::string IntakeCentreline;
    std::string ExhaustCentreline;
};

// Valve angles a cell may hold: two cycles either side of the cycle are enough
// for any cam, and a far-off angle is a typing mistake, not a timing.
constexpr double kLowestValveAngle = -720;
constexpr double kHighestValveAngle = 1440;

struct TValveSummary {
    double IntakeDuration = 0;     // SV closes - SV opens, in 0..720
    double ExhaustDuration = 0;    // VV closes - VV opens, in 0..720
    double Overlap = 0;            // negative when the valves are never open together
    double IntakeCentreline = 0;   // after the gas-exchange top dead centre
    double ExhaustCentreline = 0;  // before it
    double LobeSeparation = 0;     // mean of the two centrelines
};

constexpr int kValveSummaryFigures = 6;

// Reads columns "Zapalování" .. "VV zavírá" of a row with the float parse;
// its failure names the text of the first bad cell. A valve angle outside
// kLowestValveAngle .. kHighestValveAngle raises EInputError naming the cylinder
// and the column.
TValveAngles ReadValveAngles(const ICellGrid& cylinderTable, int row, TNumberFormat format);

TValveSummary SummarizeValveTiming(const TValveAngles& angles);

// The four valve angles of a cam card: intake opening in -360..360, exhaust
// opening around the bottom dead centre before the gas-exchange top dead centre.
// The ignition is left at 0.
TValveAngles ValveAnglesFromCamCard(const TCamCard& card);

// The four fields with the float parse, in the order of TCamCardTexts; the
// first bad field's failure names its text.
TCamCard ParseCamCard(const TCamCardTexts& texts, TNumberFormat format);

// Writes the four valve angles into row of the table, as typing would.
void WriteValveAngles(ICellGrid& cylinderTable, int row, const TValveAngles& angles, TNumberFormat format);

// The six figures in the order of TValveSummary, as texts with the decimal mark.
std::array<std::string, kValveSummaryFigures> ValveSummaryTexts(const TValveSummary& summary,
                                                                TNumberFormat format);

// Fills a grid with the header row ("Válec", "Přesazení", the six figures) and
// one row per cylinder 1..N of the main parameters (1..12): the row number, the
// offset text as typed and the six figures. The offset is parsed as the event
// creation parses it, so a table the events refuse is refused here too. A bad
// cell stops it; the rows before that cylinder are already filled.
void FillValveSummary(const IValueList& mainParameters, const ICellGrid& cylinderTable, ICellGrid& summary,
                      TNumberFormat format);

constexpr int kValveSummaryColumns = 2 + kValveSummaryFigures;

// The summary of FillValveSummary as ';'-separated lines, header first.
std::string ValveSummaryText(const IValueList& mainParameters, const ICellGrid& cylinderTable,
                             TNumberFormat format);

}  // namespace morvane
