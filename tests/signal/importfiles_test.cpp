// What both imports share: a file that cannot be opened keeps the previous
// signal, and a real engine recording comes out normalised.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "signal/AngleImport.h"
#include "signal/Signal.h"
#include "signal/TimeImport.h"
#include "signal_test_support.h"
#include "util/errors.h"

namespace morvane {
namespace {

using TImporter = void (*)(const std::string&, IMessageBoxes&, TSignalTable&);

struct TOpenCase {
    const char* name;
    TImporter import;
    bool directory;
};

class OpenFailureTest : public testing::SignalImportTest, public ::testing::WithParamInterface<TOpenCase> {};

TEST_P(OpenFailureTest, KeepsPreviousSignal) {
    Signal = testing::PreviousSignal();
    const std::string path = GetParam().directory ? m_dir.string() : (m_dir / "missing.csv").string();
    try {
        GetParam().import(path, m_boxes, Signal);
        ADD_FAILURE() << "no failure";
    } catch (const EFOpenError& failure) {
        EXPECT_EQ(std::string(failure.what()).rfind(openMessagePrefix(path), 0), 0u) << failure.what();
    }
    EXPECT_EQ(Signal, testing::PreviousSignal());
    EXPECT_TRUE(m_boxes.infos.empty());
}

INSTANTIATE_TEST_SUITE_P(Paths, OpenFailureTest,
                         ::testing::Values(TOpenCase{"AngleMissingFile", ImportAngleSignal, false},
                                           TOpenCase{"AngleDirectory", ImportAngleSignal, true},
                                           TOpenCase{"TimeMissingFile", ImportTimeSignal, false},
                                           TOpenCase{"TimeDirectory", ImportTimeSignal, true}),
                         testing::RowName());

// Files with no non-zero value: the summary is shown, then the normalisation
// fails, and no NaN is left behind: the signal is all zero.
struct TZeroCase {
    const char* name;
    TImporter import;
    std::string content;
    std::string summary;
};

class ZeroMagnitudeTest : public testing::SignalImportTest,
                          public ::testing::WithParamInterface<TZeroCase> {};

TEST_P(ZeroMagnitudeTest, ShowsSummaryThenFailsWithAllZeroSignal) {
    Signal = testing::PreviousSignal();
    const std::string path = writeFile("zero.csv", GetParam().content);
    testing::ExpectFailure<EInvalidOp>([&] { GetParam().import(path, m_boxes, Signal); },
                                       "Invalid floating point operation");
    EXPECT_EQ(m_boxes.infos, std::vector<std::string>{"Řádky / Vrcholy: " + GetParam().summary});
    EXPECT_TRUE(testing::AllZero(Signal));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ZeroMagnitudeTest,
    ::testing::Values(TZeroCase{"AngleEmptyFile", ImportAngleSignal, "", "0 / 0"},
                      TZeroCase{"AngleHeaderOnly", ImportAngleSignal, "Trigger;Wert\n", "1 / 0"},
                      TZeroCase{"AngleOneDataLine", ImportAngleSignal, "h\n5;5\n", "2 / 0"},
                      TZeroCase{"AngleRisingOnly", ImportAngleSignal, "h\n1;1\n2;2\n3;3\n", "4 / 0"},
                      TZeroCase{"AngleFlatTopsOnly", ImportAngleSignal, "h\n1;1\n1;1\n0;1\n", "4 / 0"},
                      TZeroCase{"AngleZeroBins", ImportAngleSignal, "h\n1;0\n0;0\n1;-0\n0;0\n", "5 / 2"},
                      TZeroCase{"TimeSingleZero", ImportTimeSignal, "0\n", "1 / 1440"},
                      TZeroCase{"TimeZeros", ImportTimeSignal, "0\n-0\n0,0\n", "3 / 1440"}),
    testing::RowName());

struct TRecordingCase {
    const char* name;
    TImporter import;
    const char* file;
    const char* summary;  // the angle file's peak count comes from an independent scan
};

class RealRecordingTest : public testing::SignalImportTest,
                          public ::testing::WithParamInterface<TRecordingCase> {};

TEST_P(RealRecordingTest, IsNormalisedToItsLargestMagnitude) {
    const std::string path = testing::SharedDataFile(GetParam().file);
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no " << path;
    }
    GetParam().import(path, m_boxes, Signal);

    EXPECT_EQ(m_boxes.infos, std::vector<std::string>{GetParam().summary});
    EXPECT_TRUE(testing::AllFinite(Signal));
    double largest = 0;
    for (double v : Signal) {
        ASSERT_LE(std::fabs(v), 1.0);
        largest = std::max(largest, std::fabs(v));
    }
    EXPECT_EQ(largest, 1.0);
}

INSTANTIATE_TEST_SUITE_P(EngineBench, RealRecordingTest,
                         ::testing::Values(TRecordingCase{"Angle", ImportAngleSignal,
                                                          "bench-engine-angle.csv",
                                                          "Řádky / Vrcholy: 50001 / 1417"},
                                           TRecordingCase{"Time", ImportTimeSignal, "bench-engine-time.csv",
                                                          "Řádky / Vrcholy: 50000 / 1440"}),
                         testing::RowName());

}  // namespace
}  // namespace morvane
