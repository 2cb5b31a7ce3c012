#include "signal/import/AngleRecording.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "signal_test_support.h"
#include "tests/support/MessageOf.h"
#include "tests/support/SyntheticRecording.h"
#include "tests/support/TempDirTest.h"
#include "util/errors.h"

namespace morvane {
namespace {

// Angles at a fixed step over some cycles, as an indicating system records them.
struct TAngleRow {
    std::string Name;
    double Step;    // degrees between samples
    double First;   // recorded angle of the first sample
    double Last;    // and of the last
    bool Restarts;  // the angle restarts at 0 every 720°
    double Offset;  // --angle-offset
    int Cycles;     // complete cycles expected
};

class AngleCyclesTest : public ::testing::TestWithParam<TAngleRow> {};

// Each complete cycle is the recorded shape at its 1441 points, within the
// linear resampling's error (h² p''/8: below 0.01 bar for steps up to 0.5°).
TEST_P(AngleCyclesTest, CutsAndResamplesTrueCycles) {
    const TAngleRow& row = GetParam();
    int cycles = 0;
    double worst = 0;
    TAngleCycles cutter(row.Offset, [&](const TSignalTable& points, std::int64_t) {
        ++cycles;
        for (std::size_t k = 0; k < SignalPoints; ++k) {
            worst = std::max(worst, std::fabs(points[k] - testing::Pressure(static_cast<double>(k) / 2)));
        }
    });
    const auto count = static_cast<long>(std::lround((row.Last - row.First) / row.Step));
    for (long i = 0; i <= count; ++i) {
        const double angle = row.First + row.Step * static_cast<double>(i);
        const double recorded = row.Restarts ? std::fmod(angle, 720) : angle;
        cutter.sample(recorded, testing::Pressure(std::fmod(angle - row.Offset + 1440, 720)), i + 1);
    }
    EXPECT_EQ(cycles, row.Cycles);
    EXPECT_LT(worst, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Recordings, AngleCyclesTest,
                         ::testing::Values(TAngleRow{"RestartingOnTheGrid", 0.5, 0, 2160, true, 0, 3},
                                           TAngleRow{"GrowingOffTheGrid", 0.3, 0.1, 2880, false, 0, 3},
                                           TAngleRow{"StartsWithinACycle", 0.25, 100, 2200, true, 0, 2},
                                           TAngleRow{"EndsJustShortOf720", 0.5, 0, 2159.5, true, 0, 2},
                                           TAngleRow{"Offset", 0.4, 0, 2200, false, 90, 2}),
                         testing::TRowName());

TEST(AngleCyclesFaultTest, AnAngleThatFallsOrJumpsFails) {
    TAngleCycles cutter(0, [](const TSignalTable&, std::int64_t) {});
    cutter.sample(10, 1, 1);
    EXPECT_EQ(testing::MessageOf<EImportError>([&] { cutter.sample(9, 1, 2); }), "Řádek 2: úhel klesá");
    EXPECT_EQ(testing::MessageOf<EImportError>([&] { cutter.sample(800, 1, 3); }),
              "Řádek 3: úhel přeskočil celý cyklus");
}

class AngleRecordingTest : public testing::TTempDirTest {};

// The same engine recorded with a toothed wheel and in the angle domain gives
// the same mean cycle within the resampling's error (below 0.002 bar at 0.1° steps).
TEST_F(AngleRecordingTest, GivesTheEncoderRecordingsCycle) {
    testing::TSynthetic s;
    s.Revolutions = 8;
    TEncoderOptions encoder;
    encoder.Path = writeFile("encoder.csv", testing::RecordingText(testing::RecordingLines(s)));
    encoder.Wheel = TWheel{s.Teeth, s.Missing};
    encoder.SampleRate = s.Rate;
    const TEncoderResult expected = ImportEncoderRecording(encoder);

    std::string text = "Úhel [°];Tlak [bar]\n";
    for (int i = 0; i <= 4 * 7200; ++i) {
        const double angle = 0.1 * i + 0.05;
        char line[64];
        std::snprintf(line, sizeof line, "%.2f;%.6f\n", angle, testing::Pressure(std::fmod(angle, 720)));
        text += line;
    }
    TEncoderOptions angle;
    angle.Path = writeFile("angle.csv", text);
    angle.AngleColumn = "1";
    angle.ValueColumn = "2";
    const TEncoderResult result = ImportEncoderRecording(angle);
    EXPECT_TRUE(result.AngleDomain);
    EXPECT_EQ(result.CycleCount, 3);
    for (std::size_t k = 0; k < SignalPoints; ++k) {
        EXPECT_NEAR(result.Mean[k], expected.Mean[k], 0.002) << k;  // bar, of a 41 bar peak
    }
}

}  // namespace
}  // namespace morvane
