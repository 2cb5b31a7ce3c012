#pragma once

// What the user types for the combustion figures, as texts, and the figures as
// the page and the batch tool show them, so that both read and print alike.

#include <string>
#include <string_view>

#include "signal/pressure/CombustionFigures.h"
#include "signal/pressure/EngineGeometry.h"
#include "util/controls.h"
#include "util/numtext.h"

namespace morvane {

// The entries of the page "Spalování" (and the batch tool's options), with the
// page's start-up texts: the single-cylinder diesel of the shared cycles.
struct TCombustionTexts {
    std::string Bore = "86";
    std::string Stroke = "75";
    std::string Rod = "118";
    std::string Compression = "21,2";
    std::string Gamma = "1,35";
    std::string WindowStart = "340";
    std::string WindowEnd = "460";
};

struct TCombustionInputs {
    TEngineGeometry Geometry;
    TCombustionSettings Settings;
};

// Each text through ParseFieldNumber (its conversion failure names the text);
// the ranges are judged later, by AnalysePressureCycle.
TCombustionInputs ParseCombustionTexts(const TCombustionTexts& texts, TNumberFormat format);

// ParseFloat of a field whose range is judged later: a number beyond the
// largest double becomes the largest double of its sign, so the field's own
// range check names the field instead of a bare "Floating point overflow".
double ParseFieldNumber(std::string_view text, TNumberFormat format);

// The figure names, exactly as printed.
inline constexpr const char* kNetImepName = "IMEP [bar]";
inline constexpr const char* kGrossImepName = "IMEP vysokotlaký [bar]";
inline constexpr const char* kPeakPressureName = "pmax [bar]";
inline constexpr const char* kPeakAngleName = "Úhel pmax [°]";
inline constexpr const char* kMfb10Name = "MFB10 [°]";
inline constexpr const char* kMfb50Name = "MFB50 [°]";
inline constexpr const char* kMfb90Name = "MFB90 [°]";
inline constexpr const char* kCovImepName = "CoV IMEP [%]";
inline constexpr const char* kLossAngleName = "Ztrátový úhel [°]";

// Clears the list and appends one row per figure in the order above: IMEP
// and the peak always, the burn angles for a burned cycle, the loss angle in
// their place for a motored one, the variation when it is known. Pressures
// are rounded to 0,001 bar, burn angles and the variation to 0,01; the peak's
// angle and the loss angle are exact half degrees.
void ListCombustionFigures(const TCombustionFigures& figures, IValueList& list, TNumberFormat format);

// The figures of ListCombustionFigures as "name;value" lines.
std::string CombustionFiguresText(const TCombustionFigures& figures, TNumberFormat format);

// The steps figures are shown at: pressures, then angles, variations and heat.
constexpr double kPressureStep = 0.001;
constexpr double kFineStep = 0.01;

// The value rounded to step (beyond 1e12 as it is), in the general format.
std::string RoundedFigure(double value, double step, TNumberFormat format);

}  // namespace morvane
