// The trapped floating-point faults and the rounding to integers.

#include "util/fpfault.h"

#include <gtest/gtest.h>

#include "tests/support/MessageOf.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "util/errors.h"

namespace morvane {
namespace {

const long double kNaN = std::numeric_limits<long double>::quiet_NaN();
const long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kTwoPow63 = 9223372036854775808.0L;

const char kZeroDivideText[] = "Floating point division by zero";
const char kInvalidOpText[] = "Invalid floating point operation";
const char kOverflowText[] = "Floating point overflow";

using morvane::testing::MessageOf;

// ---------------------------------------------------------------------------
// StoreDouble
// ---------------------------------------------------------------------------

TEST(StoreDouble, ValuesWithinTheDoubleRange) {
    EXPECT_EQ(StoreDouble(0.0L), 0.0);
    EXPECT_TRUE(std::signbit(StoreDouble(-0.0L)));
    EXPECT_EQ(StoreDouble(1.5L), 1.5);
    EXPECT_EQ(StoreDouble(-2.25L), -2.25);
    EXPECT_EQ(StoreDouble(0.1L), 0.1);  // rounded to the nearest double
    EXPECT_EQ(StoreDouble(static_cast<long double>(DBL_MAX)), DBL_MAX);
    EXPECT_EQ(StoreDouble(-static_cast<long double>(DBL_MAX)), -DBL_MAX);
    // Above the largest double but rounding down to it.
    EXPECT_EQ(StoreDouble(1.7976931348623158e308L), DBL_MAX);
}

TEST(StoreDouble, UnderflowIsSilent) {
    EXPECT_EQ(StoreDouble(1e-400L), 0.0);
    EXPECT_TRUE(std::signbit(StoreDouble(-1e-400L)));
    EXPECT_EQ(StoreDouble(1e-320L), 1e-320);  // a subnormal double
    EXPECT_EQ(StoreDouble(LDBL_MIN), 0.0);
}

TEST(StoreDouble, OverflowRaises) {
    for (const long double value :
         {1e309L, -1e309L, 1e400L, 1e1000L, LDBL_MAX, -LDBL_MAX, 1.797693134862316e308L, kInf, -kInf}) {
        SCOPED_TRACE(static_cast<double>(value));
        EXPECT_EQ(MessageOf<EOverflow>([&] { StoreDouble(value); }), kOverflowText);
    }
}

TEST(StoreDouble, NaNIsAnInvalidOperation) {
    EXPECT_EQ(MessageOf<EInvalidOp>([] { StoreDouble(kNaN); }), kInvalidOpText);
    EXPECT_EQ(MessageOf<EInvalidOp>([] { StoreDouble(-kNaN); }), kInvalidOpText);
}

TEST(FaultKinds, AreMathErrors) {
    EXPECT_THROW(StoreDouble(1e400L), EMathError);
    EXPECT_THROW(Divide(1.0L, 0.0L), EMathError);
    EXPECT_THROW(Divide(0.0L, 0.0L), EMorvaneError);
}

// ---------------------------------------------------------------------------
// Divide: the three outcomes
// ---------------------------------------------------------------------------

TEST(Divide, Quotient) {
    EXPECT_EQ(Divide(6.0L, 3.0L), 2.0L);
    EXPECT_EQ(Divide(1.0L, 3.0L), 1.0L / 3.0L);  // extended precision
    EXPECT_EQ(Divide(120000.0L, 7.0L), 120000.0L / 7.0L);
    EXPECT_EQ(Divide(-1.0L, 4.0L), -0.25L);
    EXPECT_EQ(Divide(0.0L, 5.0L), 0.0L);
    EXPECT_TRUE(std::signbit(Divide(0.0L, -5.0L)));
    EXPECT_EQ(Divide(1e-4000L, 1e4000L), 0.0L);  // underflow is silent
    // An extended quotient beyond the double range is not a fault of Divide...
    const long double wide = Divide(1e300L, 1e-300L);
    EXPECT_EQ(wide, 1e300L / 1e-300L);
    // ...but of storing it.
    EXPECT_EQ(MessageOf<EOverflow>([&] { StoreDouble(wide); }), kOverflowText);
    // An infinite quotient of finite operands, reported by StoreDouble.
    const long double infinite = Divide(LDBL_MAX, 0.5L);
    EXPECT_TRUE(std::isinf(infinite));
    EXPECT_EQ(MessageOf<EOverflow>([&] { StoreDouble(infinite); }), kOverflowText);
}

TEST(Divide, NonZeroByZero) {
    for (const long double num : {1.0L, -1.0L, 1e-4000L, LDBL_MAX}) {
        for (const long double den : {0.0L, -0.0L}) {
            EXPECT_EQ(MessageOf<EZeroDivide>([&] { Divide(num, den); }), kZeroDivideText);
        }
    }
}

TEST(Divide, InvalidOperations) {
    const long double rows[][2] = {
        {0.0L, 0.0L}, {-0.0L, 0.0L}, {0.0L, -0.0L}, {kNaN, 1.0L},
        {1.0L, kNaN}, {kNaN, 0.0L},  {0.0L, kNaN},  {kInf, kInf},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MessageOf<EInvalidOp>([&] { Divide(row[0], row[1]); }), kInvalidOpText);
    }
}

// ---------------------------------------------------------------------------
// RoundToInt64: nearest, ties to even
// ---------------------------------------------------------------------------

TEST(RoundToInt64, NearestTiesToEven) {
    const struct {
        long double Value;
        std::int64_t Result;
    } rows[] = {
        {0.0L, 0},
        {-0.0L, 0},
        {0.4L, 0},
        {0.5L, 0},
        {0.6L, 1},
        {1.5L, 2},
        {2.5L, 2},
        {3.5L, 4},
        {4.5L, 4},
        {-0.5L, 0},
        {-1.5L, -2},
        {-2.5L, -2},
        {-3.5L, -4},
        {2.4999999L, 2},
        {2.5000001L, 3},
        {-1.2L, -1},
        {-1.7L, -2},
        {1200.0L, 1200},
        {1199.9999999999L, 1200},
        {1e18L + 0.5L, 1000000000000000000LL},
        {1e18L + 1.5L, 1000000000000000002LL},
        {9223372036854775807.0L, INT64_MAX},  // 2^63 - 1, exact in the intermediate
        {9223372036854775806.5L, 9223372036854775806LL},
        {-kTwoPow63, INT64_MIN},
        {-kTwoPow63 + 0.5L, INT64_MIN},  // tie: -2^63 is even
        {static_cast<long double>(1e-300), 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<double>(row.Value));
        EXPECT_EQ(RoundToInt64(row.Value), row.Result);
    }
}

TEST(RoundToInt64, OutOfRangeIsAnInvalidOperation) {
    const long double rows[] = {
        kTwoPow63,
        kTwoPow63 - 0.5L,  // tie rounds to the even 2^63, outside the range
        kTwoPow63 * 2,    -kTwoPow63 - 1.0L, 1e19L, -1e19L, 1e300L, kInf, -kInf, kNaN,
    };
    for (const long double value : rows) {
        SCOPED_TRACE(static_cast<double>(value));
        EXPECT_EQ(MessageOf<EInvalidOp>([&] { RoundToInt64(value); }), kInvalidOpText);
    }
}

// ---------------------------------------------------------------------------
// TruncToInt64: toward zero
// ---------------------------------------------------------------------------

TEST(TruncToInt64, TowardZero) {
    const struct {
        long double Value;
        std::int64_t Result;
    } rows[] = {
        {0.0L, 0},
        {0.99L, 0},
        {-0.99L, 0},
        {2.5L, 2},
        {2.9L, 2},
        {-2.5L, -2},
        {-2.9L, -2},
        {3.0L, 3},
        {-3.0L, -3},
        {719.999L, 719},
        {kTwoPow63 - 0.5L, INT64_MAX},
        {-kTwoPow63, INT64_MIN},
        {-kTwoPow63 + 0.5L, -INT64_MAX},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<double>(row.Value));
        EXPECT_EQ(TruncToInt64(row.Value), row.Result);
    }
}

TEST(TruncToInt64, OutOfRangeIsAnInvalidOperation) {
    for (const long double value : {kTwoPow63, -kTwoPow63 - 1.0L, 1e19L, -1e300L, kInf, -kInf, kNaN}) {
        SCOPED_TRACE(static_cast<double>(value));
        EXPECT_EQ(MessageOf<EInvalidOp>([&] { TruncToInt64(value); }), kInvalidOpText);
    }
}

}  // namespace
}  // namespace morvane
