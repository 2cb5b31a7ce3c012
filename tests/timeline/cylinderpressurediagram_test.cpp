#include "timeline/CylinderPressureDiagram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "timeline/Raster.h"
#include "timeline/Timeline.h"

namespace morvane {
namespace {

// The events the picture marks, moved onto the cylinder's own angle; other
// cylinders' events and the other kinds are left out.
TEST(CylinderPressureDiagramTest, MarksTheSelectedCylindersEventsOnItsOwnAngle) {
    const TEventList events = {
        {"Zapalování 2", ekIgnition, 0, 890, 0},
        {"Zapalování 1", ekIgnition, 0, 350, 0},
        {"Píst 2 - SV zavírá", ekIntakeValve, 0, 770, 0},
        {"Píst 2 - SV otvírá", ekIntakeValve, 0, 1250, 0},
        {"Píst 2 - VV otvírá", ekExhaustValve, 0, 1030, 0},
        {"Píst 12 - SV zavírá", ekIntakeValve, 0, 100, 0},
        {"Píst 2 - HU", ekPiston, 0, 540, 0},
    };
    const std::vector<TPictureEvent> marked = CylinderPictureEvents(events, 2, 540);
    ASSERT_EQ(marked.size(), 3U);
    const TPictureEvent expected[] = {{350, ekIgnition}, {230, ekIntakeValve}, {490, ekExhaustValve}};
    for (std::size_t k = 0; k < marked.size(); ++k) {
        EXPECT_DOUBLE_EQ(marked[k].Angle, expected[k].Angle) << k;
        EXPECT_EQ(marked[k].Kind, expected[k].Kind) << k;
    }
}

// Each cylinder's trace in its own colour, the markers in their kinds'
// colours, the legend's swatch of the selected cylinder a bar.
TEST(CylinderPressureDiagramTest, DrawsTracesMarkersAndLegend) {
    TSignalTable low{};
    TSignalTable high{};
    for (std::size_t k = 0; k < low.size(); ++k) {
        low[k] = 10;
        high[k] = 40;
    }
    TRaster picture(kPressurePictureWidth, kPressurePictureHeight);
    DrawCylinderPressures({low, high}, {{90, ekIgnition}, {180, ekExhaustValve}}, 2, picture);
    auto columnHas = [&](int x, TColor color) {
        for (int y = 0; y < picture.height(); ++y) {
            if (picture.pixel(x, y) == color) {
                return true;
            }
        }
        return false;
    };
    auto rowHas = [&](int y, TColor color) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) == color) {
                return true;
            }
        }
        return false;
    };
    int lowRow = -1;
    int highRow = -1;
    for (int y = 0; y < picture.height(); ++y) {
        lowRow = lowRow < 0 && picture.pixel(300, y) == CylinderColor(1) ? y : lowRow;
        highRow = highRow < 0 && picture.pixel(300, y) == CylinderColor(2) ? y : highRow;
    }
    ASSERT_GE(lowRow, 0);
    ASSERT_GE(highRow, 0);
    EXPECT_LT(highRow, lowRow) << "40 bar above 10 bar";
    EXPECT_TRUE(rowHas(lowRow, CylinderColor(1)));
    EXPECT_NE(CylinderColor(1), CylinderColor(2));
    const int left = 48;
    const int right = kPressurePictureWidth - 96;
    const auto columnOf = [&](double angle) {
        return left + static_cast<int>(std::lround(angle / 720 * (right - left)));
    };
    EXPECT_TRUE(columnHas(columnOf(90), EventKindColor(ekIgnition)));
    EXPECT_TRUE(columnHas(columnOf(180), EventKindColor(ekExhaustValve)));
    EXPECT_FALSE(columnHas(columnOf(270), EventKindColor(ekIgnition)));
    // The selected cylinder's swatch is several rows high, the other's one.
    int rowsOf[3] = {0, 0, 0};
    for (int y = 0; y < picture.height(); ++y) {
        for (int number = 1; number <= 2; ++number) {
            rowsOf[number] += picture.pixel(right + 12, y) == CylinderColor(number) ? 1 : 0;
        }
    }
    EXPECT_EQ(rowsOf[1], 1);
    EXPECT_EQ(rowsOf[2], 7);
}

}  // namespace
}  // namespace morvane
