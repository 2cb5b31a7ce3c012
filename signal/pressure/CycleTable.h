#pragma once

// A pressure analysis as the page and the batch tool show it: the figure
// lines, and the table of every cycle as text (';'-separated, decimal mark of
// the process, '\n' after each line, written whole by the caller).

#include <string>
#include <string_view>
#include <vector>

#include "signal/pressure/CycleFigures.h"
#include "util/controls.h"
#include "util/numtext.h"

namespace morvane {

inline constexpr const char* kHeatName = "Teplo [J]";
inline constexpr const char* kPegOffsetName = "Posun tlaku [bar]";
inline constexpr const char* kCovPeakPressureName = "CoV pmax [%]";
inline constexpr const char* kMfb50DeviationName = "Sm. odchylka MFB50 [°]";
inline constexpr const char* kMisfiresName = "Vynechané cykly";
inline constexpr const char* kMapoMeanName = "MAPO průměr [bar]";
inline constexpr const char* kMapoMaxName = "MAPO max [bar]";
inline constexpr const char* kKnockingCyclesName = "Klepající cykly";
inline constexpr const char* kTdcShiftName = "Posun HÚ [°]";
inline constexpr const char* kWallHeatName = "Teplo do stěn [J]";
inline constexpr const char* kGrossHeatName = "Teplo hrubé [J]";
inline constexpr const char* kPeakTemperatureName = "Tmax [K]";
inline constexpr const char* kPeakTemperatureAngleName = "Úhel Tmax [°]";
inline constexpr const char* kTrappedMassName = "Náplň válce [mg]";

// ListCombustionFigures of the mean, then: Teplo [J] always; with a
// heat-transfer model Teplo do stěn [J], Teplo hrubé [J], Tmax [K], Úhel Tmax
// [°] (a half degree, exact) and Náplň válce [mg]; Posun tlaku [bar]
// when pegged; CoV pmax [%] and Sm. odchylka MFB50 [°] when known; Vynechané
// cykly when there are cycles; the MAPO lines and Klepající cykly when MAPO is
// known. Pressures to 0,001, heat, variations and angles to 0,01.
void ListPressureAnalysis(const TPressureAnalysis& analysis, IValueList& list, TNumberFormat format);

// The table's header, then one row per cycle numbered from 1: IMEP, gross
// IMEP, pmax, its angle, MFB10/50/90 (empty for a cycle that did not burn),
// heat, with a heat-transfer model gross heat and Tmax, pegging offset,
// misfire (1 or 0), and MAPO when any cycle has it
// (empty for a cycle without). Rounded as the figure lines.
std::vector<std::vector<std::string>> CycleTableRows(const TPressureAnalysis& analysis, TNumberFormat format);

// CycleTableRows joined by ';', each line ended by '\n'.
std::string CycleTableText(const TPressureAnalysis& analysis, TNumberFormat format);

// The lines of CycleTableText, each with a first cell of its own, appended to
// text for a table of several cylinders: header heads the header line (none
// when it is empty), cell starts every cycle's line. Cells are quoted as
// SemicolonLine quotes them.
void AppendCycleTableLines(std::string& text, const TPressureAnalysis& analysis, TNumberFormat format,
                           std::string_view header, std::string_view cell);

}  // namespace morvane
