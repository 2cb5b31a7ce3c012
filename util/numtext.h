#pragma once

// Number texts: every number shown or typed travels as text and is converted
// only here, with the process-wide decimal mark (a comma once the window exists).

#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// The decimal separator of the float parse and format. '.' until the main
// window sets it to ','; tests set it explicitly (see DecimalMarkScope).
extern char DecimalMark;

// Sets DecimalMark for one scope and restores the previous mark afterwards.
class TDecimalMarkScope {
public:
    explicit TDecimalMarkScope(char mark) : m_previous(DecimalMark) { DecimalMark = mark; }
    ~TDecimalMarkScope() { DecimalMark = m_previous; }
    TDecimalMarkScope(const TDecimalMarkScope&) = delete;
    TDecimalMarkScope& operator=(const TDecimalMarkScope&) = delete;

private:
    char m_previous;
};

// Whole-text integer parse: leading spaces, one sign, decimal or hexadecimal
// ($, x, X, 0x, 0X), 32-bit range. Raises EConvertError naming the text.
std::int32_t ParseInteger(std::string_view text);

// Whole-text float parse into the wide (64-bit mantissa) intermediate.
// Returns false for a syntax error or a value too large for the intermediate.
bool TryParseExtended(std::string_view text, long double& value);

// The float parse as a yes/no answer: false for a text ParseFloat rejects,
// without raising. A value beyond the double range is accepted by the syntax
// and still raises the overflow of storing it, as ParseFloat does.
bool TryParseFloat(std::string_view text, double& result);

// Float parse stored into a double. Raises EConvertError naming the text when
// TryParseExtended fails, EOverflow when the value exceeds the double range.
double ParseFloat(std::string_view text);

// The common line of two plain numbers ("1,5;3,25E+1", blanks around either
// part): both values as SplitAt and ParseFloat would give them, in one pass.
// False when the line is anything else; the caller then splits and parses it
// the general way, which owns every failure.
bool TryParsePlainPair(std::string_view line, char separator, double& left, double& right);

// As ParseFloat, but a rejected text gives the default; overflow still raises.
double ParseFloatOr(std::string_view text, double defaultValue);

// General format, 15 significant digits, DecimalMark, no '+', exponent form
// outside 1E-4 .. 1E15 ("1E-5", "1,5E300").
std::string FormatFloatGeneral(double value);

// Plain decimal digits, '-' for negatives, no grouping.
std::string FormatInteger(std::int64_t value);

// Two-digit event number: 00 .. 09, then 10, 11, ... 123.
std::string FormatEventNumber(std::int64_t n);

}  // namespace morvane
