#include "timeline/Timeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "timeline/Raster.h"

namespace morvane {
namespace {

constexpr TColor kBlue = RgbColor(0, 0, 255);
constexpr TColor kCyanish = RgbColor(0, 255, 170);
constexpr TColor kYellowish = RgbColor(170, 255, 0);
constexpr TColor kRed = RgbColor(255, 0, 0);
constexpr TColor kKindColors[] = {kBlue, kCyanish, kYellowish, kRed};

TEngineEvent Event(int kind, double angle) {
    return TEngineEvent{.Name = std::string(1, 'E'),
                        .Kind = static_cast<std::uint8_t>(kind),
                        .NominalAngle = angle,
                        .FinalAngle = angle,
                        .Correction = 0};
}

// One redraw's inputs and outputs, with the window's start-up values.
struct TScene {
    TTimelineInput Input;
    TSignalTable Signal{};
    std::vector<TEngineEvent> Events;
    TSignalTable Trend{};
    TRaster Picture;

    TScene(int w = 663, int h = 300) {
        Input.W = w;
        Input.H = h;
    }
    TScene& draw() {
        Input.Signal = &Signal;
        Input.Events = &Events;
        DrawTimeline(Input, Picture, Trend);
        return *this;
    }
    TColor at(int x, int y) const { return Picture.pixel(x, y); }
    std::vector<TColor> pixels() const {
        return {Picture.data(), Picture.data() + Picture.width() * Picture.height()};
    }
};

// The picture without signal and markers, pixel by pixel: white, a black
// frame, the gray axis on row H/2 between the frame columns, the centre line
// on column W/2 over rows 1..H-2 (gray on every other row from row 1, white
// between), and the red cursor over the same rows.
std::vector<TColor> BasePicture(int w, int h, int cursor) {
    std::vector<TColor> pixels(static_cast<std::size_t>(w * h), kWhiteColor);
    auto set = [&](int x, int y, TColor c) {
        if (x >= 0 && x < w && y >= 0 && y < h) {
            pixels[static_cast<std::size_t>(y * w + x)] = c;
        }
    };
    for (int x = 0; x < w; ++x) {
        set(x, 0, kBlackColor);
        set(x, h - 1, kBlackColor);
        set(x, h / 2, x >= 1 && x <= w - 2 ? kGrayColor : kBlackColor);
    }
    for (int y = 0; y < h; ++y) {
        set(0, y, kBlackColor);
        set(w - 1, y, kBlackColor);
    }
    for (int y = 1; y <= h - 2; ++y) {
        set(w / 2, y, (y - 1) % 2 == 0 ? kGrayColor : kWhiteColor);
        set(cursor, y, kRed);
    }
    return pixels;
}

TEST(DrawTimeline, EmptyListDrawsFrameAxisCentreLineAndCursor) {
    struct TCase {
        const char* Name;
        int W, H, P, Cursor;
    };
    const std::vector<TCase> cases = {
        {"663x300 P=0", 663, 300, 0, 1},
        {"663x300 P=720", 663, 300, 720, 662},
        {"663x300 P=360", 663, 300, 360, 332},
        {"663x301 (y0 150)", 663, 301, 0, 1},
        {"664x300 (xMid 332)", 664, 300, 0, 1},
        {"2x300", 2, 300, 720, 1},
        {"5x3", 5, 3, 720, 4},
        {"9x1", 9, 1, 0, 1},
        {"1x1", 1, 1, 0, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScene scene(c.W, c.H);
        scene.Input.P = c.P;
        scene.draw();
        ASSERT_EQ(scene.Picture.width(), c.W);
        ASSERT_EQ(scene.Picture.height(), c.H);
        EXPECT_EQ(scene.pixels(), BasePicture(c.W, c.H, c.Cursor));
    }
}

TEST(DrawTimeline, OddSizesPlaceAxisAndCentreLine) {
    TScene scene(663, 301);
    scene.draw();
    EXPECT_EQ(scene.at(10, 150), kGrayColor);
    EXPECT_EQ(scene.at(10, 151), kWhiteColor);
    EXPECT_EQ(scene.at(331, 1), kGrayColor);
    EXPECT_EQ(scene.at(331, 2), kWhiteColor);
    EXPECT_EQ(scene.at(331, 3), kGrayColor);
    EXPECT_EQ(scene.at(332, 3), kWhiteColor);
}

TEST(DrawTimeline, AllKindsHiddenMatchesEmptyList) {
    TScene empty;
    empty.draw();
    TScene hidden;
    hidden.Events = {Event(0, 0), Event(1, 100), Event(2, 360), Event(3, 720)};
    hidden.Input.Visible = {false, false, false, false};
    hidden.draw();
    EXPECT_EQ(hidden.pixels(), empty.pixels());
}

TEST(DrawTimeline, MissingSignalAndEventsDrawTheBasePicture) {
    TScene scene;
    scene.Input.F = 50;
    DrawTimeline(scene.Input, scene.Picture, scene.Trend);
    EXPECT_EQ(scene.pixels(), BasePicture(663, 300, 1));
    EXPECT_EQ(scene.Trend[700], 0.0);
}

TEST(DrawTimeline, ResizesThePictureOnlyToTheInputSize) {
    TScene scene(40, 30);
    scene.Picture.resize(7, 9);
    scene.draw();
    EXPECT_EQ(scene.Picture.width(), 40);
    EXPECT_EQ(scene.Picture.height(), 30);
}

TEST(DrawTimeline, LeavesThePenSolidAndRed) {
    TScene scene;
    scene.Picture.setPenStyle(TPenStyle::Dotted);
    scene.Events = {Event(1, 100)};
    scene.draw();
    EXPECT_EQ(scene.Picture.penStyle(), TPenStyle::Solid);
    EXPECT_EQ(scene.Picture.penColor(), kRed);
    EXPECT_EQ(scene.Picture.brushColor(), kWhiteColor);  // the last marker was open
    EXPECT_EQ(scene.Picture.fontColor(), kCyanish);
}

// Each kind alone as event 00, above the axis, open (P = 0) at 360 degrees:
// column 332, box columns 322..341.
TEST(DrawTimeline, KindsHaveTheirColourAndLane) {
    for (int kind = 0; kind < 4; ++kind) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        TScene scene;
        scene.Events = {Event(kind, 360)};
        scene.draw();
        const TColor color = kKindColors[kind];
        const int d = 30 * kind + 20;
        const int top = 150 - d - 20;
        EXPECT_EQ(scene.at(332, 150 - d), color) << "stem meets the box";
        EXPECT_EQ(scene.at(332, 149), color) << "stem";
        EXPECT_EQ(scene.at(322, top), color) << "box top-left";
        EXPECT_EQ(scene.at(341, top + 19), color) << "box bottom-right";
        EXPECT_EQ(scene.at(342, top + 10), kWhiteColor) << "right of the box";
        EXPECT_EQ(scene.at(322, top - 1), kWhiteColor) << "above the box";
        EXPECT_EQ(scene.at(324, top + 10), kWhiteColor) << "open box inside";
        EXPECT_EQ(scene.at(326, top + 7), color) << "ink of the label's first 0";
    }
}

TEST(DrawTimeline, IgnitionLaneRowsAtHeight300) {
    TScene scene;
    scene.Events = {Event(3, 200), Event(3, 500)};
    scene.draw();
    const int above = MarkerColumn(200, 663);
    const int below = MarkerColumn(500, 663);
    for (const auto& [x, first, last] : {std::tuple{above, 20, 39}, std::tuple{below, 260, 279}}) {
        SCOPED_TRACE("box rows " + std::to_string(first) + ".." + std::to_string(last));
        EXPECT_EQ(scene.at(x - 10, first - 1), kWhiteColor);
        EXPECT_EQ(scene.at(x - 10, first), kRed);
        EXPECT_EQ(scene.at(x - 10, last), kRed);
        EXPECT_EQ(scene.at(x - 10, last + 1), kWhiteColor);
        EXPECT_EQ(scene.at(x + 9, first), kRed);
        EXPECT_EQ(scene.at(x + 10, first), kWhiteColor);
    }
    EXPECT_EQ(scene.at(above, 40), kRed) << "stem of the upper marker";
    EXPECT_EQ(scene.at(below, 259), kRed) << "stem of the lower marker";
    EXPECT_EQ(scene.at(above, 151), kWhiteColor);
    EXPECT_EQ(scene.at(below, 149), kWhiteColor);
}

TEST(DrawTimeline, MarkerIsFilledOnceTheCursorReachesIt) {
    struct TCase {
        const char* Name;
        int P;
        double Angle;
        bool Filled;
    };
    const std::vector<TCase> cases = {
        {"P=0 at 0", 0, 0, true},
        {"P=0 at 0.5", 0, 0.5, false},
        {"P=0 at -5", 0, -5, true},
        {"P=100 at 100", 100, 100, true},
        {"P=99 at 100", 99, 100, false},
        {"P=720 at 720", 720, 720, true},
        {"P=720 at 719.99", 720, 719.99, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScene scene;
        scene.Input.P = c.P;
        scene.Events = {Event(1, c.Angle)};
        scene.draw();
        const int x = MarkerColumn(c.Angle, 663);
        const int top = 150 - 50 - 20;
        // Look at the side of the box that lies inside the picture.
        const bool left = x > 331;
        EXPECT_EQ(scene.at(left ? x - 9 : x + 8, top + 1), c.Filled ? kCyanish : kWhiteColor) << "box inside";
        EXPECT_EQ(scene.at(left ? x - 6 : x + 4, top + 7), c.Filled ? kWhiteColor : kCyanish) << "label ink";
        EXPECT_EQ(scene.at(left ? x - 10 : x + 9, top + 1), kCyanish) << "box ring";
    }
}

TEST(DrawTimeline, CursorIsDrawnLastOverTheStemOfItsEvent) {
    TScene scene;
    scene.Input.P = 100;
    scene.Events = {Event(0, 100)};
    scene.draw();
    const int x = CursorColumn(100, 720, 663);
    ASSERT_EQ(x, MarkerColumn(100, 663));
    EXPECT_EQ(scene.at(x, 140), kRed);
    EXPECT_EQ(scene.at(x, 125), kRed) << "over the box";
    EXPECT_EQ(scene.at(x - 1, 125), kBlue);
}

TEST(DrawTimeline, MarkersAtTheEndsOfTheCycle) {
    TScene scene;
    scene.Input.P = 360;
    scene.Events = {Event(0, 0), Event(0, 720)};
    scene.draw();
    // 0 degrees: column 1, filled, box columns -9..10 rows 110..129.
    EXPECT_EQ(scene.at(1, 140), kBlue);
    EXPECT_EQ(scene.at(0, 111), kBlue) << "the filled box covers the frame";
    EXPECT_EQ(scene.at(10, 120), kBlue);
    EXPECT_EQ(scene.at(11, 120), kWhiteColor);
    // 720 degrees: column 662 on the right frame, open, box rows 170..189 below.
    EXPECT_EQ(scene.at(662, 160), kBlue) << "stem";
    EXPECT_EQ(scene.at(652, 180), kBlue) << "left ring";
    EXPECT_EQ(scene.at(662, 181), kWhiteColor) << "the open box covers the frame";
    EXPECT_EQ(scene.at(662, 170), kBlue) << "top ring";
    EXPECT_EQ(scene.at(662, 190), kBlackColor) << "frame below the box";
}

TEST(DrawTimeline, EvenIndexAboveOddBelowHiddenStillCounted) {
    TScene scene;
    scene.Input.Visible = {true, false, true, true};
    scene.Events = {Event(1, 100), Event(0, 200), Event(2, 300), Event(1, 400)};
    scene.draw();
    const int x1 = MarkerColumn(200, 663);
    const int x2 = MarkerColumn(300, 663);
    EXPECT_EQ(scene.at(x1, 160), kBlue) << "event 01 below";
    EXPECT_EQ(scene.at(x1, 140), kWhiteColor);
    EXPECT_EQ(scene.at(x2, 140), kYellowish) << "event 02 above";
    EXPECT_EQ(scene.at(x2, 160), kWhiteColor);
    EXPECT_EQ(scene.at(MarkerColumn(100, 663), 140), kWhiteColor) << "hidden event 00";
    // Label "01" below: its second cell's '1' has its stroke on the cell's third column.
    EXPECT_EQ(scene.at(x1 - 6 + 6 + 2, 150 + 20 + 3 + 5), kBlue);
}

TEST(DrawTimeline, ThreeDigitLabelRunsPastTheBox) {
    TScene scene;
    scene.Input.P = 720;
    scene.Input.Visible = {true, false, false, false};
    scene.Events.assign(100, Event(1, 10));
    scene.Events.push_back(Event(0, 360));  // index 100, above the axis, filled
    scene.draw();
    const int x = 332;  // box columns 322..341, label cells 326..343, rows 113..125
    for (int y = 113; y <= 125; ++y) {
        EXPECT_EQ(scene.at(x + 11, y), kBlue) << "cell background right of the box, row " << y;
    }
    EXPECT_EQ(scene.at(x + 11, 112), kWhiteColor);
    EXPECT_EQ(scene.at(x + 11, 126), kWhiteColor);
    EXPECT_EQ(scene.at(x + 12, 118), kWhiteColor);
    EXPECT_EQ(scene.at(x - 4, 118), kWhiteColor) << "stroke of the '1' in the font colour";
    EXPECT_EQ(scene.at(x + 10, 117), kWhiteColor) << "right side of the last '0'";
}

TEST(DrawTimeline, WidthTwoPutsMarkersAndCursorOnColumnOne) {
    TScene scene(2, 300);
    scene.Events = {Event(0, 360), Event(3, 0)};
    scene.draw();
    for (int y = 1; y <= 298; ++y) {
        ASSERT_EQ(scene.at(1, y), kRed) << "row " << y;
    }
    EXPECT_EQ(scene.at(0, 120), kWhiteColor) << "inside of the open box";
    EXPECT_EQ(scene.at(0, 265), kRed) << "inside of the filled ignition box";
}

TEST(DrawTimeline, HeightOneKeepsEverythingOnRowZero) {
    TScene scene(9, 1);
    scene.Signal.fill(0.5);
    scene.Events = {Event(2, 360)};
    scene.draw();
    const int x = MarkerColumn(360, 9);
    for (int c = 0; c < 9; ++c) {
        const TColor expected = c == x ? kYellowish : (c == 0 || c == 8) ? kBlackColor : kGrayColor;
        EXPECT_EQ(scene.at(c, 0), expected) << "column " << c;
    }
}

TEST(DrawTimeline, MarkersNearTopAndBottomAreClipped) {
    TScene scene(663, 190);  // y0 95; the exhaust-valve boxes span rows -5..14 and 175..194
    scene.Input.P = 720;
    scene.Events = {Event(2, 200), Event(2, 500)};
    scene.draw();
    const int above = MarkerColumn(200, 663);
    const int below = MarkerColumn(500, 663);
    EXPECT_EQ(scene.at(above - 5, 0), kYellowish) << "inside covers the top frame row";
    EXPECT_EQ(scene.at(above - 5, 14), kYellowish) << "bottom ring";
    EXPECT_EQ(scene.at(above - 5, 15), kWhiteColor);
    EXPECT_EQ(scene.at(below - 5, 189), kYellowish) << "inside covers the bottom frame row";
    EXPECT_EQ(scene.at(below - 5, 175), kYellowish) << "top ring";
    EXPECT_EQ(scene.at(below - 5, 174), kWhiteColor);
}

TEST(DrawTimeline, AbsurdAnglesLandOffThePicture) {
    TScene empty;
    empty.draw();
    TScene scene;
    scene.Events = {Event(0, 1e300), Event(1, -1e300), Event(2, 1e20), Event(3, -4e9)};
    EXPECT_NO_THROW(scene.draw());
    EXPECT_EQ(scene.pixels(), empty.pixels());
}

TEST(DrawTimeline, CursorWithoutScaleStaysOnColumnOne) {
    for (const int pmax : {0, -720}) {
        SCOPED_TRACE(pmax);
        TScene scene;
        scene.Input.P = 360;
        scene.Input.Pmax = pmax;
        EXPECT_NO_THROW(scene.draw());
        EXPECT_EQ(scene.pixels(), BasePicture(663, 300, 1));
    }
}

TEST(DrawTimeline, TraceRoundsTiesToEven) {
    // y0 = 10: +0.25 gives 2.5 -> 2 (row 8) and -0.25 gives -2.5 -> -2 (row 12).
    for (const double value : {0.25, -0.25}) {
        SCOPED_TRACE(value);
        TScene scene(40, 20);
        scene.Input.P = 720;
        scene.Signal.fill(value);
        scene.draw();
        const int row = value > 0 ? 8 : 12;
        EXPECT_EQ(scene.at(5, row), kBlackColor);
        EXPECT_EQ(scene.at(5, row - 1), kWhiteColor);
        EXPECT_EQ(scene.at(5, row + 1), kWhiteColor);
        EXPECT_EQ(scene.at(0, 10), kBlackColor);
    }
}

// The signal steps from +0.125 to -0.125 at sample 360 (columns 165 -> 166).
TEST(DrawTimeline, GainScalesAndClipsTheTrace) {
    struct TCase {
        const char* Name;
        int G;
        std::vector<std::tuple<int, int, TColor>> Pixels;
    };
    const std::vector<TCase> cases = {
        {"G=10: rows 131 and 169",
         10,
         {{100, 131, kBlackColor},
          {100, 130, kWhiteColor},
          {100, 132, kWhiteColor},
          {165, 140, kBlackColor},
          {165, 151, kWhiteColor},
          {166, 160, kBlackColor},
          {166, 150, kGrayColor},
          {500, 169, kBlackColor},
          {500, 131, kWhiteColor}}},
        {"G=100: rows -38 and 338, clipped",
         100,
         {{100, 1, kWhiteColor},
          {165, 1, kBlackColor},
          {165, 149, kBlackColor},
          {166, 151, kBlackColor},
          {166, 298, kBlackColor},
          {164, 5, kWhiteColor},
          {167, 290, kWhiteColor},
          {500, 298, kWhiteColor}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScene scene;
        scene.Input.P = 720;
        scene.Input.G = c.G;
        for (int i = 0; i < SignalPoints; ++i) {
            scene.Signal[static_cast<std::size_t>(i)] = i < 360 ? 0.125 : -0.125;
        }
        scene.draw();
        for (const auto& [x, y, color] : c.Pixels) {
            EXPECT_EQ(scene.at(x, y), color) << "pixel (" << x << ", " << y << ")";
        }
    }
}

TEST(DrawTimeline, TraceUsesTheMovingAverage) {
    TScene scene;
    scene.Input.F = 1;
    scene.Input.P = 720;
    scene.Signal.fill(1.0);
    scene.draw();
    EXPECT_EQ(scene.Trend[0], static_cast<double>(100.0L / 199));
    // Samples 2 and 3 fall on column 1: 1 - 102/199 and 1 - 103/199 times 150
    // give rows 150 - 73 and 150 - 72; the middle is flat on the axis.
    EXPECT_EQ(scene.at(1, 76), kWhiteColor);
    EXPECT_EQ(scene.at(1, 77), kBlackColor);
    EXPECT_EQ(scene.at(1, 78), kBlackColor);
    EXPECT_EQ(scene.at(1, 79), kWhiteColor);
    EXPECT_EQ(scene.at(300, 149), kWhiteColor);
}

TEST(TimelineColumns, RoundToNearestTiesToEven) {
    struct TCase {
        const char* Name;
        int Actual;
        int Expected;
    };
    const std::vector<TCase> cases = {
        {"trace W=720 i=0", TraceColumn(0, 720), 0},
        {"trace W=720 i=1", TraceColumn(1, 720), 0},
        {"trace W=720 i=2", TraceColumn(2, 720), 1},
        {"trace W=720 i=3", TraceColumn(3, 720), 2},
        {"trace W=720 i=4", TraceColumn(4, 720), 2},
        {"trace W=720 i=5", TraceColumn(5, 720), 2},
        {"trace W=720 i=7", TraceColumn(7, 720), 4},
        {"trace W=663 i=1440", TraceColumn(1440, 663), 663},
        {"trace W=663 i=720", TraceColumn(720, 663), 332},
        {"marker W=663 at 0", MarkerColumn(0, 663), 1},
        {"marker W=663 at 720", MarkerColumn(720, 663), 662},
        {"marker W=663 at 360", MarkerColumn(360, 663), 332},
        {"marker W=722 at 12.5", MarkerColumn(12.5, 722), 14},
        {"marker W=722 at 13.5", MarkerColumn(13.5, 722), 14},
        {"marker W=2 at 500", MarkerColumn(500, 2), 1},
        {"marker at 1e300", MarkerColumn(1e300, 663), 1 << 30},
        {"marker at -1e300", MarkerColumn(-1e300, 663), -(1 << 30)},
        {"cursor P=0", CursorColumn(0, 720, 663), 1},
        {"cursor P=720", CursorColumn(720, 720, 663), 662},
        {"cursor P=360", CursorColumn(360, 720, 663), 332},
        {"cursor W=2", CursorColumn(500, 720, 2), 1},
        {"cursor Pmax=0", CursorColumn(360, 0, 663), 1},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(c.Actual, c.Expected) << c.Name;
    }
}

TEST(DrawTimeline, MarkersAt12AndAHalfAnd13AndAHalfShareAColumnAtWidth722) {
    TScene scene(722, 300);
    scene.Events = {Event(0, 12.5), Event(0, 13.5)};
    scene.draw();
    EXPECT_EQ(scene.at(14, 140), kBlue);
    EXPECT_EQ(scene.at(14, 160), kBlue);
    EXPECT_EQ(scene.at(13, 140), kWhiteColor);
    EXPECT_EQ(scene.at(15, 160), kWhiteColor);
}

TSignalTable Ones() {
    TSignalTable table;
    table.fill(1.0);
    return table;
}

TEST(MovingAverage, WindowAndDivisor) {
    struct TCase {
        const char* Name;
        int F;
        int Index;
        double Expected;
    };
    const std::vector<TCase> cases = {
        {"F=0 clears", 0, 700, 0.0},
        {"F=-5 clears", -5, 0, 0.0},
        {"F=1 first entry over 199", 1, 0, static_cast<double>(100.0L / 199)},
        {"F=1 last entry over 199", 1, 1440, static_cast<double>(100.0L / 199)},
        {"F=1 entry 98", 1, 98, static_cast<double>(198.0L / 199)},
        {"F=1 entry 99 full window", 1, 99, 1.0},
        {"F=96 first entry over 9", 96, 0, static_cast<double>(5.0L / 9)},
        {"F=96 entry 4 full window", 96, 4, 1.0},
        {"F=100 is the signal", 100, 0, 1.0},
        {"F=500 is the signal", 500, 1440, 1.0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSignalTable trend;
        trend.fill(7.0);
        ComputeMovingAverage(Ones(), c.F, trend);
        EXPECT_EQ(trend[static_cast<std::size_t>(c.Index)], c.Expected);
    }
}

TEST(MovingAverage, AddsInIncreasingOrder) {
    // 1 + 1e16 rounds back to 1e16, so only the written order gives 0 here.
    TSignalTable signal{};
    signal[0] = 1.0;
    signal[1] = 1e16;
    signal[2] = -1e16;
    TSignalTable trend;
    ComputeMovingAverage(signal, 96, trend);
    EXPECT_EQ(trend[4], 0.0);
    EXPECT_EQ(trend[0], 0.0);
    EXPECT_EQ(trend[9], 0.0);
    EXPECT_EQ(trend[10], 0.0);
}

TEST(MovingAverage, SameTableAsSignalAndTrend) {
    TSignalTable signal{};
    for (int i = 0; i < SignalPoints; ++i) {
        signal[static_cast<std::size_t>(i)] = (i % 7) / 7.0 - 0.5;
    }
    TSignalTable separate;
    ComputeMovingAverage(signal, 60, separate);
    ComputeMovingAverage(signal, 60, signal);
    EXPECT_EQ(signal, separate);
}

}  // namespace
}  // namespace morvane
