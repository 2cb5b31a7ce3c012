#include "signal/import/CylinderRecording.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "signal/pressure/CombustionInputs.h"
#include "tests/support/SyntheticRecording.h"
#include "tests/support/TempDirTest.h"

namespace morvane {
namespace {

// A cylinder's cycle opens at its offset less cylinder 1's, within 0 .. <720.
TEST(CylinderRecordingTest, ChannelsOpenAtTheirOffsetsFromCylinderOne) {
    const struct {
        const char* Name;
        std::vector<double> Offsets;
        std::vector<double> Starts;
    } rows[] = {
        {"firing order 1-3-4-2", {0, 540, 180, 360}, {0, 540, 180, 360}},
        {"cylinder 1 not at 0", {90, 0, 450}, {0, 630, 360}},
        {"beyond a cycle, negative", {0, 1260, -180}, {0, 540, 540}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::vector<std::string> columns(row.Offsets.size(), "2");
        const std::vector<double> scales(row.Offsets.size(), 1);
        const std::vector<TPressureChannel> channels = PressureChannels(columns, scales, row.Offsets);
        ASSERT_EQ(channels.size(), row.Starts.size());
        for (std::size_t k = 0; k < channels.size(); ++k) {
            EXPECT_DOUBLE_EQ(channels[k].Start, row.Starts[k]) << k;
        }
    }
}

class CylinderRecordingFileTest : public testing::TTempDirTest {};

// The kept traces are each cylinder's own cycles, one per analysed cycle, and
// the engine cycles of two cylinders a half cycle apart pair up.
TEST_F(CylinderRecordingFileTest, KeepsEachCylindersTracesAndEngineCycles) {
    testing::TSynthetic synthetic;
    synthetic.Revolutions = 10;
    synthetic.CylinderOffsets = {0, 360};
    const std::string path = (m_dir / "cylinders.csv").string();
    std::ofstream(path, std::ios::binary) << testing::RecordingText(testing::RecordingLines(synthetic));
    TEncoderOptions options;
    options.Path = path;
    options.Wheel = {60, 2};
    options.SampleRate = 100000;
    options.PressureScale = 1;
    options.Channels = PressureChannels({"2", "3"}, {1, 1}, {0, 360});
    const TCombustionInputs inputs = ParseCombustionTexts({}, kDecimalComma);
    const TCylinderRecording recording =
        AnalyseCylinderRecording(options, inputs.Geometry, {inputs.Settings}, {}, true);
    ASSERT_EQ(recording.Cylinders.size(), 2U);
    for (std::size_t k = 0; k < 2; ++k) {
        const TCylinderFigures& cylinder = recording.Cylinders[k];
        EXPECT_EQ(recording.Traces[k].size(), cylinder.Analysis.Cycles.size()) << k;
        EXPECT_EQ(cylinder.EngineCycles.size(), cylinder.Analysis.Cycles.size()) << k;
        EXPECT_EQ(static_cast<std::int64_t>(cylinder.Analysis.Cycles.size()),
                  recording.Import.ChannelCycleCounts[k]);
    }
    // Cylinder 2's cycles open half a cycle after cylinder 1's: each shares its
    // engine cycle with the cylinder-1 cycle before it.
    const std::vector<std::int64_t>& first = recording.Cylinders[0].EngineCycles;
    const std::vector<std::int64_t>& second = recording.Cylinders[1].EngineCycles;
    for (const std::int64_t cycle : second) {
        EXPECT_NE(std::find(first.begin(), first.end(), cycle), first.end()) << cycle;
    }
    const TCylinderBalance balance = BalanceOf(recording.Cylinders);
    EXPECT_GE(balance.Engine.EngineCycles, static_cast<int>(second.size()) - 1);
}

}  // namespace
}  // namespace morvane
