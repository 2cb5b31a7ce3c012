#include "util/mathutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "parser/Parser.h"
#include "util/errors.h"

namespace morvane {
namespace {

T1DTable MakeTable(std::vector<double> values) {
    T1DTable table;
    table.Count = static_cast<std::int32_t>(values.size());
    table.Values = std::move(values);
    return table;
}

TEST(ResampleTable, SameLengthCopiesEverySample) {
    std::vector<double> values(1441);
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = std::sin(0.37 * static_cast<double>(i)) * 1e3 + 0.1;
    }
    T1DTable dest;
    ResampleTable(MakeTable(values), dest, 1441);
    EXPECT_EQ(dest.Count, 1441);
    EXPECT_EQ(dest.Values, values);
}

TEST(ResampleTable, ThreeSamplesHitTheMiddleAndTheEnd) {
    T1DTable dest;
    ResampleTable(MakeTable({0, 2, 4}), dest, 1441);
    ASSERT_EQ(dest.Values.size(), 1441u);
    EXPECT_EQ(dest.Values[0], 0);
    EXPECT_EQ(dest.Values[360], 1);
    EXPECT_EQ(dest.Values[720], 2);
    EXPECT_EQ(dest.Values[1440], 4);
}

TEST(ResampleTable, TwoSamplesGiveALine) {
    T1DTable dest;
    ResampleTable(MakeTable({1, -4}), dest, 1441);
    ASSERT_EQ(dest.Count, 1441);
    for (int i = 0; i < 1440; ++i) {
        ASSERT_NEAR(dest.Values[i], 1 - 5.0 * i / 1440, 1e-13) << "point " << i;
    }
    EXPECT_EQ(dest.Values[0], 1);
    EXPECT_EQ(dest.Values[1440], -4);
}

TEST(ResampleTable, OneSampleIsRepeated) {
    T1DTable dest;
    ResampleTable(MakeTable({2.5}), dest, 5);
    EXPECT_EQ(dest.Count, 5);
    EXPECT_EQ(dest.Values, (std::vector<double>{2.5, 2.5, 2.5, 2.5, 2.5}));
}

TEST(ResampleTable, OnePointIsTheLastSample) {
    T1DTable dest = MakeTable({9, 9, 9});
    ResampleTable(MakeTable({1, 2, 3}), dest, 1);
    EXPECT_EQ(dest.Count, 1);
    EXPECT_EQ(dest.Values, (std::vector<double>{3}));
}

TEST(ResampleTable, EmptySourceLeavesDestUntouched) {
    T1DTable dest = MakeTable({7, 8, 9});
    ResampleTable(T1DTable{}, dest, 1441);
    EXPECT_EQ(dest.Count, 3);
    EXPECT_EQ(dest.Values, (std::vector<double>{7, 8, 9}));
}

TEST(ResampleTable, LongSourceNeedsA64BitIndexProduct) {
    // 1439 * 1999999 is beyond the 32-bit range.
    const std::int32_t length = 2000000;
    std::vector<double> ramp(length);
    for (std::int32_t i = 0; i < length; ++i) {
        ramp[i] = i;
    }
    T1DTable dest;
    ResampleTable(MakeTable(std::move(ramp)), dest, 1441);
    for (int i = 0; i < 1441; ++i) {
        ASSERT_NEAR(dest.Values[i], static_cast<double>(i) * (length - 1) / 1440, 1e-6) << "point " << i;
    }
}

TEST(ResampleTable, CountBeyondTheValuesIsRefused) {
    T1DTable source = MakeTable({1, 2});
    source.Count = 5;
    T1DTable dest;
    try {
        ResampleTable(source, dest, 10);
        FAIL() << "no failure";
    } catch (const EListError& failure) {
        EXPECT_STREQ(failure.what(), "List index out of bounds (4)");
    }
    EXPECT_EQ(dest.Count, 0);
}

TEST(RoundToStep, NearestMultipleWithTiesToEven) {
    struct TRow {
        const char* Name;
        double Value;
        double Step;
        double Expected;
    };
    const TRow rows[] = {
        {"40 by 0.1", 40, 0.1, 40},
        {"120000/7000 by 0.1", 120000.0 / 7000, 0.1, 17.1},
        {"12.345 by 0.1", 12.345, 0.1, 12.3},
        {"2.5 by 1", 2.5, 1, 2},
        {"3.5 by 1", 3.5, 1, 4},
        {"-2.5 by 1", -2.5, 1, -2},
        {"0.75 by 0.5", 0.75, 0.5, 1},
        {"0.25 by 0.5", 0.25, 0.5, 0},
        {"-17.16 by 0.1", -17.16, 0.1, -17.2},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(RoundToStep(row.Value, row.Step), row.Expected);
    }
}

TEST(RoundToStep, Failures) {
    auto message = [](double value, double step) -> std::string {
        try {
            RoundToStep(value, step);
        } catch (const EMathError& failure) {
            return failure.what();
        }
        return "no failure";
    };
    EXPECT_EQ(message(1, 0), "Floating point division by zero");
    EXPECT_EQ(message(0, 0), "Invalid floating point operation");
    EXPECT_EQ(message(1e300, 1e-300), "Invalid floating point operation");
    EXPECT_EQ(message(std::numeric_limits<double>::quiet_NaN(), 0.1), "Invalid floating point operation");
    EXPECT_THROW(RoundToStep(1, 0), EZeroDivide);
    EXPECT_THROW(RoundToStep(0, 0), EInvalidOp);
}

TEST(ValueToColor, ReferenceValues) {
    struct TRow {
        const char* Name;
        double X;
        TColor Expected;
    };
    const TRow rows[] = {
        {"0", 0, 0x00FF0000},
        {"0.25", 0.25, 0x00FFFF00},
        {"1/3", 1.0 / 3, 0x00AAFF00},
        {"0.5", 0.5, 0x0000FF00},
        {"2/3", 2.0 / 3, 0x0000FFAA},
        {"0.75", 0.75, 0x0000FFFF},
        {"1", 1, 0x000000FF},
        {"0.125 (half to even)", 0.125, 0x00FF8000},
        {"0.875 (half to even)", 0.875, 0x000080FF},
        {"-1", -1, 0x00FF0000},
        {"-infinity", -std::numeric_limits<double>::infinity(), 0x00FF0000},
        {"2", 2, 0x000000FF},
        {"infinity", std::numeric_limits<double>::infinity(), 0x000000FF},
        {"NaN", std::numeric_limits<double>::quiet_NaN(), 0x000000FF},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(ValueToColor(row.X), row.Expected);
    }
}

TEST(ValueToColor, KindColoursAsChannels) {
    EXPECT_EQ(ColorBlue(ValueToColor(0.0 / 3)), 255u);
    EXPECT_EQ(ColorGreen(ValueToColor(1.0 / 3)), 255u);
    EXPECT_EQ(ColorBlue(ValueToColor(1.0 / 3)), 170u);
    EXPECT_EQ(ColorRed(ValueToColor(2.0 / 3)), 170u);
    EXPECT_EQ(ValueToColor(3.0 / 3), RgbColor(255, 0, 0));
}

class IMathUtilModule : public ::testing::Test {
protected:
    void SetUp() override { MathUtilStartup(); }
    void TearDown() override { MathUtilShutdown(); }
};

TEST_F(IMathUtilModule, DegreeTables) {
    EXPECT_EQ(SinTable.size(), 361u);
    EXPECT_EQ(CosTable.size(), 361u);
    EXPECT_EQ(SinTable[0], 0);
    EXPECT_EQ(SinTable[90], 1);
    EXPECT_EQ(CosTable[0], 1);
    EXPECT_NE(SinTable[180], 0);
    EXPECT_LT(std::fabs(SinTable[180]), 1e-18);
    EXPECT_NE(CosTable[90], 0);
    EXPECT_LT(std::fabs(CosTable[90]), 1e-18);
    for (int i = 0; i <= 360; ++i) {
        ASSERT_NEAR(SinTable[i], std::sin(i * M_PI / 180), 1e-15) << i;
        ASSERT_NEAR(CosTable[i], std::cos(i * M_PI / 180), 1e-15) << i;
    }
}

TEST_F(IMathUtilModule, ParserInstanceLivesUntilShutdown) {
    ASSERT_NE(MathParser, nullptr);
    EXPECT_EQ(MathParser->Owner(), nullptr);
    EXPECT_EQ(MathParser->ParseString, "");
    MathUtilShutdown();
    EXPECT_EQ(MathParser, nullptr);
    MathUtilShutdown();
    EXPECT_EQ(MathParser, nullptr);
}

TEST(ResampleTable, NoPointsEmptiesDest) {
    for (std::int32_t n : {0, -1}) {
        SCOPED_TRACE(n);
        T1DTable dest = MakeTable({7, 8, 9});
        ResampleTable(MakeTable({1, 2, 3}), dest, n);
        EXPECT_EQ(dest.Count, 0);
        EXPECT_TRUE(dest.Values.empty());
    }
}

// The first of the extreme values, as std::max_element and std::min_element
// give it: ties (zeros of either sign among them) at any lane and any length.
TEST(FirstExtreme, AsTheStandardAlgorithms) {
    std::mt19937_64 random(1441);
    std::uniform_int_distribution<int> few(-2, 2);
    for (std::size_t length = 1; length < 40; ++length) {
        for (int round = 0; round < 50; ++round) {
            std::vector<double> values(length);
            for (double& value : values) {
                const int v = few(random);
                value = v == 0 && round % 2 == 0 ? -0.0 : v;
            }
            const double* const first = values.data();
            const double* const last = first + length;
            ASSERT_EQ(FirstLargest(first, last), &*std::max_element(values.begin(), values.end()));
            ASSERT_EQ(FirstSmallest(first, last), &*std::min_element(values.begin(), values.end()));
        }
    }
}

}  // namespace
}  // namespace morvane
