#include <gtest/gtest.h>

#include <vector>

#include "signal/CombustionFigures.h"
#include "timeline/BurnDiagram.h"
#include "timeline/PlotScale.h"
#include "timeline/PvDiagram.h"
#include "timeline/Raster.h"

namespace morvane {
namespace {

TEST(PlotScaleTest, MapsValuesToPixels) {
    const TPlotScale linear{-0.1, 1.1, 100, 40, TAxisKind::Linear};
    const TPlotScale log{20, 500, 32, 132, TAxisKind::Logarithmic};
    struct TRow {
        const TPlotScale& Scale;
        double Value;
        int Pixel;
    };
    const TRow rows[] = {
        {linear, -0.1, 100},   {linear, 1.1, 40},     {linear, 0.5, 70}, {linear, 1e300, -(1 << 30)},
        {log, 20, 32},         {log, 500, 132},       {log, 100, 82},    {log, 0, -(1 << 30)},
        {log, -5, -(1 << 30)}, {log, 1e-300, -21521},
    };
    for (const TRow& row : rows) {
        EXPECT_EQ(row.Scale.at(row.Value), row.Pixel) << row.Value;
    }
}

TEST(PlotScaleTest, RoundRangesEncloseTheValues) {
    struct TRow {
        double Low, High, RoundLow, RoundHigh;
    };
    const TRow rows[] = {
        {21.57, 457.3, 20, 500},
        {0.9, 65.5, 0.5, 100},
        {1, 1, 1, 2},
        {2, 5, 2, 5},
        {3, 4, 2, 5},
        {0.0123, 0.0123, 0.01, 0.02},
        {19.999999999999996, 50.000000000000007, 20, 50},
    };
    for (const TRow& row : rows) {
        const TRoundRange range = RoundLogRange(row.Low, row.High);
        EXPECT_DOUBLE_EQ(range.Low, row.RoundLow) << row.Low;
        EXPECT_DOUBLE_EQ(range.High, row.RoundHigh) << row.High;
    }
    EXPECT_EQ(RoundValues({20, 500}), (std::vector<double>{20, 50, 100, 200, 500}));
}

TEST(PlotScaleTest, FrameCoversBothEnds) {
    TRaster picture(6, 5);
    DrawPlotFrame(picture, 1, 1, 4, 3);
    std::string art;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            art += picture.pixel(x, y) == kBlackColor ? '#' : '.';
        }
        art += '\n';
    }
    EXPECT_EQ(art, "......\n.####.\n.#..#.\n.####.\n......\n");
}

// A square loop: 30 and 40 cm³ against 3 and 4 bar, on the axes 20 .. 50 cm³ and 2 .. 5 bar.
TEST(PvDiagramTest, DrawsTheLoopOnLogAxes) {
    TSignalTable pressure{};
    TSignalTable volumes{};
    for (std::size_t k = 0; k < pressure.size(); ++k) {
        volumes[k] = (k / 360 == 1 || k / 360 == 2) ? 40e-6 : 30e-6;
        pressure[k] = k / 360 >= 2 ? 4 : 3;
    }
    TRaster picture(232, 124);
    DrawPvDiagram(pressure, volumes, picture);
    const TPlotScale across{20, 50, kPlotLeft, 232 - kPlotRightGap, TAxisKind::Logarithmic};
    const TPlotScale up{2, 5, 124 - kPlotBottomGap, kPlotTop, TAxisKind::Logarithmic};
    for (const auto& [volume, bar] : {std::pair{30.0, 3.0}, {40.0, 3.0}, {40.0, 4.0}, {35.0, 3.0}}) {
        EXPECT_EQ(picture.pixel(across.at(volume), up.at(bar)), kLoopColor) << volume << " " << bar;
    }
    EXPECT_EQ(picture.pixel(across.at(35), up.at(3.5)), kWhiteColor);
    EXPECT_EQ(picture.pixel(kPlotLeft, kPlotTop), kBlackColor);

    // Pressures that the log axis cannot take leave no trace.
    pressure.fill(0);
    DrawPvDiagram(pressure, volumes, picture);
    EXPECT_EQ(picture.pixel(across.at(35), up.at(3)), kWhiteColor);
}

TEST(BurnDiagramTest, DrawsFractionAndBurnMarks) {
    THeatRelease release;
    release.FirstPoint = 680;  // 340°
    for (int j = 0; j <= 240; ++j) {
        release.Fraction.push_back(j / 240.0);
    }
    TRaster picture(280, 140);
    DrawBurnDiagram(release, TBurnAngles{352, 400, 448}, picture);
    const TPlotScale across{340, 460, kPlotLeft, 280 - kPlotRightGap, TAxisKind::Linear};
    const TPlotScale up{-0.1, 1.1, 140 - kPlotBottomGap, kPlotTop, TAxisKind::Linear};
    EXPECT_EQ(picture.pixel(across.at(400), up.at(0.5)), kBurnColor);
    EXPECT_EQ(picture.pixel(across.at(400), up.at(0.2)), kBurnMarkColor);
    EXPECT_EQ(picture.pixel(across.at(352), up.at(0.8)), kBurnMarkColor);

    DrawBurnDiagram(release, std::nullopt, picture);
    EXPECT_EQ(picture.pixel(across.at(400), up.at(0.2)), kWhiteColor);
}

}  // namespace
}  // namespace morvane
