#pragma once

// Explicit detection of the three trapped floating-point faults. No NaN or
// infinity ever enters the program's data: every operation that could make one
// goes through these checks and raises EZeroDivide, EInvalidOp or EOverflow.
// Underflow and inexact results pass silently.

#include <cmath>
#include <cstdint>

#include "util/errors.h"

namespace morvane {

// Stores an extended intermediate into a double; EOverflow when the rounded
// result is beyond the double range, EInvalidOp for NaN. Inline: the figures
// of every cycle store each of their points through it.
inline double StoreDouble(long double value) {
    if (std::isnan(value))
        RaiseInvalidOp();
    // Rounded to nearest, ties to even; beyond the largest double it is infinite.
    const double stored = static_cast<double>(value);
    if (std::isinf(stored))
        RaiseOverflow();
    return stored;
}

// num / den in extended precision: EZeroDivide for x/0 (x != 0), EInvalidOp
// for 0/0 or a NaN operand.
long double Divide(long double num, long double den);

// Rounds to the nearest 64-bit integer, exact halves to even (2.5 -> 2,
// -2.5 -> -2). EInvalidOp when the value is NaN or outside the 64-bit range.
std::int64_t RoundToInt64(long double value);

// Drops the fraction toward zero; EInvalidOp outside the 64-bit range.
std::int64_t TruncToInt64(long double value);

}  // namespace morvane
