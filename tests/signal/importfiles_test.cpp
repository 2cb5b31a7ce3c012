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

using TImporter = void (*)(const std::string&, IMessageBoxes&);

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
        GetParam().import(path, m_boxes);
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
    GetParam().import(path, m_boxes);

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
