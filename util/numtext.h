#pragma once

// Number texts: every number shown or typed travels as text and is converted
// only here, with the decimal mark the caller names (the window and the batch
// tool use the comma; a recording may name the point).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morvane {

// How a float text is written: its decimal mark. Passed to every float parse
// and format, as the caller's choice (nothing in the process holds one).
struct TNumberFormat {
    char DecimalMark;
};

inline constexpr TNumberFormat kDecimalComma{','};
inline constexpr TNumberFormat kDecimalPoint{'.'};

// Whole-text integer parse: leading spaces, one sign, decimal or hexadecimal
// ($, x, X, 0x, 0X), 32-bit range. Raises EConvertError naming the text.
std::int32_t ParseInteger(std::string_view text);

// Whole-text plain integer parse for the texts of files and options: decimal
// digits with an optional '-', nothing before or after, in int's range.
// Returns false (value untouched) otherwise.
bool TryParsePlainInteger(std::string_view text, int& value);

// Whole-text float parse into the wide (64-bit mantissa) intermediate.
// Returns false for a syntax error or a value too large for the intermediate.
bool TryParseExtended(std::string_view text, TNumberFormat format, long double& value);

// The float parse as a yes/no answer: false for a text ParseFloat rejects,
// without raising. A value beyond the double range is accepted by the syntax
// and still raises the overflow of storing it, as ParseFloat does.
bool TryParseFloat(std::string_view text, TNumberFormat format, double& result);

// Float parse stored into a double. Raises EConvertError naming the text when
// TryParseExtended fails, EOverflow when the value exceeds the double range.
double ParseFloat(std::string_view text, TNumberFormat format);

// The common line of two plain numbers ("1,5;3,25E+1", blanks around either
// part): both values as SplitAt and ParseFloat would give them, in one pass.
// False when the line is anything else; the caller then splits and parses it
// the general way, which owns every failure. The separator is no blank (a
// byte above ' ').
bool TryParsePlainPair(std::string_view line, char separator, TNumberFormat format, double& left,
                       double& right);

// The common data line: plain numbers apart at separator, blanks other than
// the separator around each ("1,5 ;-3,25E+1;7"). Parses the first count fields
// into values, each as ParseFloat gives it after the line is split and the
// field trimmed, and returns how many of them in a row were plain numbers
// followed by the separator or the line's end. Never raises; separator must
// not be the decimal mark.
std::size_t ParsePlainFields(std::string_view line, char separator, TNumberFormat format, double* values,
                             std::size_t count);

// The same for the data line that starts at line within a text of lines that
// runs on to end (the bytes [first, end) may be read): the line ends at its
// first CR, LF or NUL. Returns where the count-th field stops: at that break,
// or at the separator before further fields (the caller finds the break);
// nullptr when the line is not plain or the text ends before that field does.
const char* ParsePlainFieldsInText(const char* first, const char* line, const char* end, char separator,
                                   TNumberFormat format, double* values, std::size_t count);

// As ParseFloat, but a rejected text gives the default; overflow still raises.
double ParseFloatOr(std::string_view text, TNumberFormat format, double defaultValue);

// General format, 15 significant digits, the format's mark, no '+', exponent form
// outside 1E-4 .. 1E15 ("1E-5", "1,5E300").
std::string FormatFloatGeneral(double value, TNumberFormat format);

// Plain decimal digits, '-' for negatives, no grouping.
std::string FormatInteger(std::int64_t value);

// Two-digit event number: 00 .. 09, then 10, 11, ... 123.
std::string FormatEventNumber(std::int64_t n);

}  // namespace morvane
