#include "util/fpfault.h"

#include <cmath>

#include "util/errors.h"

// The three trapped floating-point faults are realised as explicit
// checks: no hardware trap is enabled, every operation that could produce an
// infinity or a NaN checks its operands or its result and raises the failure.

namespace morvane {

namespace {

// 2^63 exactly; the 64-bit range is [-2^63, 2^63).
constexpr long double kTwoPow63 = 9223372036854775808.0L;

std::int64_t ToInt64InRange(long double whole) {
    if (!(whole >= -kTwoPow63 && whole < kTwoPow63))
        RaiseInvalidOp();
    return static_cast<std::int64_t>(whole);
}

}  // namespace

long double Divide(long double num, long double den) {
    if (std::isnan(num) || std::isnan(den))
        RaiseInvalidOp();
    if (den == 0.0L) {
        if (num == 0.0L)
            RaiseInvalidOp();
        RaiseZeroDivide();
    }
    const long double quotient = num / den;
    // Only infinite operands (inf / inf) can still give a NaN here. An infinite
    // quotient of finite operands is left to StoreDouble to report as overflow.
    if (std::isnan(quotient))
        RaiseInvalidOp();
    return quotient;
}

std::int64_t RoundToInt64(long double value) {
    if (std::isnan(value))
        RaiseInvalidOp();
    if (std::isinf(value))
        RaiseInvalidOp();
    // Nearest, exact halves to the even neighbour, independent of the current
    // rounding mode. value - floor is exact in long double for these values.
    long double whole = std::floor(value);
    const long double fraction = value - whole;
    if (fraction > 0.5L) {
        whole += 1.0L;
    } else if (fraction == 0.5L) {
        if (std::fmod(whole, 2.0L) != 0.0L)
            whole += 1.0L;
    }
    return ToInt64InRange(whole);
}

std::int64_t TruncToInt64(long double value) {
    if (std::isnan(value))
        RaiseInvalidOp();
    return ToInt64InRange(std::trunc(value));
}

}  // namespace morvane
