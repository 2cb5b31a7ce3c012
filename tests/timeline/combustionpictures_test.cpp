#include <gtest/gtest.h>

#include <vector>

#include "signal/pressure/CombustionFigures.h"
#include "timeline/BurnDiagram.h"
#include "timeline/CycleDiagram.h"
#include "timeline/HeatRateDiagram.h"
#include "timeline/LinearAxis.h"
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
    DrawPvDiagram(pressure, volumes, picture, kDecimalComma);
    const TPlotScale across{20, 50, kPlotLeft, 232 - kPlotRightGap, TAxisKind::Logarithmic};
    const TPlotScale up{2, 5, 124 - kPlotBottomGap, kPlotTop, TAxisKind::Logarithmic};
    for (const auto& [volume, bar] : {std::pair{30.0, 3.0}, {40.0, 3.0}, {40.0, 4.0}, {35.0, 3.0}}) {
        EXPECT_EQ(picture.pixel(across.at(volume), up.at(bar)), kLoopColor) << volume << " " << bar;
    }
    EXPECT_EQ(picture.pixel(across.at(35), up.at(3.5)), kWhiteColor);
    EXPECT_EQ(picture.pixel(kPlotLeft, kPlotTop), kBlackColor);

    // Pressures that the log axis cannot take leave no trace.
    pressure.fill(0);
    DrawPvDiagram(pressure, volumes, picture, kDecimalComma);
    EXPECT_EQ(picture.pixel(across.at(35), up.at(3)), kWhiteColor);
}

TEST(BurnDiagramTest, DrawsFractionAndBurnMarks) {
    THeatRelease release;
    release.FirstPoint = 680;  // 340°
    for (int j = 0; j <= 240; ++j) {
        release.Fraction.push_back(j / 240.0);
    }
    TRaster picture(280, 140);
    DrawBurnDiagram(release, TBurnAngles{352, 400, 448}, picture, kDecimalComma);
    const TPlotScale across{340, 460, kPlotLeft, 280 - kPlotRightGap, TAxisKind::Linear};
    const TPlotScale up{-0.1, 1.1, 140 - kPlotBottomGap, kPlotTop, TAxisKind::Linear};
    EXPECT_EQ(picture.pixel(across.at(400), up.at(0.5)), kBurnColor);
    EXPECT_EQ(picture.pixel(across.at(400), up.at(0.2)), kBurnMarkColor);
    EXPECT_EQ(picture.pixel(across.at(352), up.at(0.8)), kBurnMarkColor);

    DrawBurnDiagram(release, std::nullopt, picture, kDecimalComma);
    EXPECT_EQ(picture.pixel(across.at(400), up.at(0.2)), kWhiteColor);
}

}  // namespace
}  // namespace morvane

namespace morvane {
namespace {

TEST(LinearAxisTest, RoundLimitsEncloseTheValues) {
    struct TRow {
        double Low, High, RoundLow, RoundHigh;
    };
    const TRow rows[] = {
        {-6.2, 21.7, -10, 30}, {0, 100, 0, 100}, {4.8, 5.3, 4.8, 5.4}, {375.1, 375.9, 375, 376},
        {0, 0, -1, 1},         {5, 5, 4.5, 5.5}, {-3, -3, -3.4, -2.6},
    };
    for (const TRow& row : rows) {
        const TLinearRange range = RoundLinearRange(row.Low, row.High);
        EXPECT_NEAR(range.Low, row.RoundLow, 1e-12) << row.Low << " " << row.High;
        EXPECT_NEAR(range.High, row.RoundHigh, 1e-12) << row.Low << " " << row.High;
    }
}

// Q falling by 2 J per point up to 380°, flat to 400°, then rising by 10 J
// per point: rates of -4, 0 and 20 J/°, on an axis from -10 to 20.
TEST(HeatRateDiagramTest, DrawsTheRateAndTheIgnitionMark) {
    THeatRelease release;
    release.FirstPoint = 680;  // 340°
    for (int j = 0; j <= 240; ++j) {
        release.Heat.push_back(j < 80 ? -2.0 * j : j <= 120 ? -160.0 : -160.0 + 10.0 * (j - 120));
    }
    TRaster picture(280, 140);
    const TPlotScale across{340, 460, kPlotLeft, 280 - kPlotRightGap, TAxisKind::Linear};
    const TPlotScale up{-10, 20, 140 - kPlotBottomGap, kPlotTop, TAxisKind::Linear};
    struct TRow {
        std::optional<double> Ignition;
        double Angle;
        double Rate;
        TColor Color;
    };
    const TRow rows[] = {
        {std::nullopt, 360, -4, kHeatRateColor},
        {std::nullopt, 390, 0, kHeatRateColor},
        {std::nullopt, 400, 10, kHeatRateColor},
        {370.0, 370, 10, kIgnitionColor},
        {std::nullopt, 370, 10, kWhiteColor},
        {300.0, 340.5, 10, kWhiteColor},  // an ignition outside the window is not drawn
    };
    for (const TRow& row : rows) {
        DrawHeatRateDiagram(release, row.Ignition, picture, kDecimalComma);
        EXPECT_EQ(picture.pixel(across.at(row.Angle), up.at(row.Rate)), row.Color) << row.Angle;
    }
}

TEST(HeatRateDiagramTest, IgnitionOfCylinderOne) {
    const TEventList events = {{"Zapalování 2", ekIgnition, 710, 712, 0},
                               {"Zapalování 1", ekIgnition, 350, 352, 0},
                               {"Píst 1 - HU", ekPiston, 360, 360, 0}};
    EXPECT_EQ(CylinderOneIgnition(events), 352);
    EXPECT_EQ(CylinderOneIgnition({events[0], events[2]}), std::nullopt);
}

TEST(CycleDiagramTest, MarksMisfiresAndKnocking) {
    std::vector<TCycleFigures> cycles(5);
    for (std::size_t c = 0; c < cycles.size(); ++c) {
        cycles[c].NetImep = 5;
        cycles[c].Burn = TBurnAngles{365, 375, 400};
    }
    cycles[2].NetImep = 0;
    cycles[2].Burn.reset();
    TRaster picture(300, 200);
    DrawCycleDiagram(cycles, picture, kDecimalComma);
    const TPlotScale across{1, 5, kPlotLeft, 300 - kPlotRightGap, TAxisKind::Linear};
    const int panel = (200 - kPlotBottomGap - kPlotTop - kPanelGap) / 2;
    const TPlotScale imep{0, 6, kPlotTop + panel, kPlotTop, TAxisKind::Linear};
    EXPECT_EQ(picture.pixel(across.at(2), imep.at(5)), kImepColor);
    EXPECT_EQ(picture.pixel(across.at(3), imep.at(0) - 1), kImepColor);  // the misfire's dot above the frame
    EXPECT_EQ(picture.pixel(across.at(3), imep.at(3) & ~1), kMisfireColor);  // dots on even rows from the top
    const TLinearRange mfb50 = RoundLinearRange(375, 375);
    const int mfb50Top = kPlotTop + panel + kPanelGap;
    const TPlotScale burn{mfb50.Low, mfb50.High, mfb50Top + panel, mfb50Top, TAxisKind::Linear};
    EXPECT_EQ(picture.pixel(across.at(2), burn.at(375)), kMfb50Color);
    EXPECT_EQ(picture.pixel(across.at(3), burn.at(375)), kWhiteColor);  // no MFB50 for the misfire

    cycles[3].Mapo = 2;
    cycles[3].Knocking = true;
    DrawCycleDiagram(cycles, picture, kDecimalComma);
    const int third = (200 - kPlotBottomGap - kPlotTop - 2 * kPanelGap) / 3;
    const int mapoTop = kPlotTop + 2 * (third + kPanelGap);
    EXPECT_EQ(picture.pixel(across.at(4), mapoTop + 2), kKnockColor);
}

}  // namespace
}  // namespace morvane
