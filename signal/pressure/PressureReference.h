#pragma once

// How a measured pressure trace is referenced before any figure: where its
// firing top dead centre lies on its angle scale, and how it is tied to
// absolute pressure (pegging). The page "Spalování" and the batch tool read the
// same texts into the same settings.
//
// - Top-dead-centre shift DEG: the trace's firing top dead centre lies at
//   360 + DEG on its angle scale (see signal/pressure/TopDeadCentre.h).
// - Pegging: none, point or polytropic over the angle range FROM .. TO, whose
//   points are the half-degree points θ with FROM ≤ θ ≤ TO (see
//   signal/pressure/Pegging.h). Without a range the method's own default applies:
//   175 .. 185° (intake bottom dead centre) for point, 245 .. 295° (115° to 65°
//   before firing top dead centre) for polytropic.

#include <optional>
#include <string>
#include <string_view>
#include "util/numtext.h"

namespace morvane {

enum class TPegMethod { None, Point, Polytropic };

struct TAngleRange {
    double From = 0;  // degrees
    double To = 0;    // degrees
};

struct TPressureReference {
    double TdcShift = 0;  // degrees
    TPegMethod PegMethod = TPegMethod::None;
    std::optional<TAngleRange> PegRange;  // the method's default when empty
    double PegPressure = 1.013;           // bar, absolute
    double PegExponent = 1.32;            // n of p·Vⁿ
};

// The shift is kept within one cycle either way; beyond that it is a typing
// mistake, not a reference error.
constexpr double kMaxTdcShift = 360;

// Raises EInputError for a shift beyond ±kMaxTdcShift (or not a number).
void CheckTdcShift(double shift);

// The range pegging uses: the given one, or the method's default.
TAngleRange PegRangeOf(const TPressureReference& reference);

// Raises EInputError naming the field and its valid range: a shift beyond
// ±kMaxTdcShift; and, when pegging, a range that is reversed, leaves 0 .. 720°
// or holds fewer than two half-degree points, a peg pressure not above 0 (or
// above 1000 bar), an exponent not above 0 (or above 10).
void CheckPressureReference(const TPressureReference& reference);

// The reference as typed: decimal comma as everywhere; an empty range means
// the method's default.
struct TReferenceTexts {
    std::string TdcShift = "0";
    std::string PegMethod = "none";
    std::string PegRange;
    std::string PegPressure = "1,013";
    std::string PegExponent = "1,32";
};

// The method's name as the batch tool takes it ("none", "point",
// "polytropic"); nothing for another text.
std::optional<TPegMethod> PegMethodNamed(std::string_view name);
const char* PegMethodName(TPegMethod method);
// The drop-down list's texts, in the order of TPegMethod.
inline constexpr const char* kPegMethodTitles[] = {"Žádné", "Bodové", "Polytropické"};

// Splits "FROM,TO" as the heat-release window is written: at a ';' when there
// is one ("175,5;185"), else at the only comma ("175,185") or at the middle of
// three ("175,5,185,5"). False for any other text.
bool SplitAngleRange(std::string_view text, std::string& from, std::string& to);

// Every text through ParseFloat (its conversion failure names the text); an
// unknown method or a range that cannot be split raises EInputError. The
// values are judged by CheckPressureReference.
TPressureReference ParseReferenceTexts(const TReferenceTexts& texts, TNumberFormat format);

}  // namespace morvane
