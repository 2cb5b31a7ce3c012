#include "timeline/Raster.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace morvane {
namespace {

using TPoints = std::vector<std::pair<int, int>>;

constexpr TColor kPen = kBlackColor;
constexpr TColor kBrush = RgbColor(255, 0, 0);
constexpr TColor kFont = RgbColor(0, 0, 255);

// The picture as text, one line per row: '#' pen, 'o' brush, 'f' font,
// '.' white, '?' anything else.
std::string Art(const TRaster& picture) {
    std::string art;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const TColor c = picture.pixel(x, y);
            art += c == kPen ? '#' : c == kBrush ? 'o' : c == kFont ? 'f' : c == kWhiteColor ? '.' : '?';
        }
        art += '\n';
    }
    return art;
}

std::string Lines(std::initializer_list<const char*> rows) {
    std::string art;
    for (const char* row : rows) {
        art += row;
        art += '\n';
    }
    return art;
}

// Every pixel: the listed ones in pen colour, all others white.
void ExpectOnlyPoints(const TRaster& picture, const TPoints& points) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            bool listed = false;
            for (const auto& [px, py] : points) {
                listed = listed || (px == x && py == y);
            }
            ASSERT_EQ(picture.pixel(x, y), listed ? kPen : kWhiteColor) << "pixel (" << x << ", " << y << ")";
        }
    }
}

TRaster MakeRaster(int w, int h, TPenStyle style = TPenStyle::Solid) {
    TRaster picture(w, h);
    picture.setPenColor(kPen);
    picture.setBrushColor(kBrush);
    picture.setFontColor(kFont);
    picture.setPenStyle(style);
    return picture;
}

TEST(Raster, StartsWhiteWithDefaultTools) {
    TRaster picture(3, 2);
    EXPECT_EQ(Art(picture), Lines({"...", "..."}));
    EXPECT_EQ(picture.penColor(), kBlackColor);
    EXPECT_EQ(picture.penStyle(), TPenStyle::Solid);
    EXPECT_EQ(picture.brushColor(), kWhiteColor);
    EXPECT_EQ(picture.fontColor(), kBlackColor);
}

TEST(Raster, ResizeKeepsAtLeastOnePixelAndWhitensIt) {
    TRaster picture(4, 4);
    picture.rectangle(0, 0, 4, 4);
    picture.resize(0, -3);
    EXPECT_EQ(picture.width(), 1);
    EXPECT_EQ(picture.height(), 1);
    picture.resize(5, 2);
    EXPECT_EQ(Art(picture), Lines({".....", "....."}));
}

struct TLineCase {
    const char* Name;
    int X;
    int Y;
    TPoints Expected;
};

// From (5, 5): each octant once, exact halves going toward the start.
TEST(Raster, LineToPaintsStartNotEndInEveryOctant) {
    const std::vector<TLineCase> cases = {
        {"to 9,7", 9, 7, {{5, 5}, {6, 5}, {7, 6}, {8, 6}}},
        {"to 7,9", 7, 9, {{5, 5}, {5, 6}, {6, 7}, {6, 8}}},
        {"to 3,9", 3, 9, {{5, 5}, {5, 6}, {4, 7}, {4, 8}}},
        {"to 1,7", 1, 7, {{5, 5}, {4, 5}, {3, 6}, {2, 6}}},
        {"to 1,3", 1, 3, {{5, 5}, {4, 5}, {3, 4}, {2, 4}}},
        {"to 3,1", 3, 1, {{5, 5}, {5, 4}, {4, 3}, {4, 2}}},
        {"to 7,1", 7, 1, {{5, 5}, {5, 4}, {6, 3}, {6, 2}}},
        {"to 9,3", 9, 3, {{5, 5}, {6, 5}, {7, 4}, {8, 4}}},
        {"to 8,6 (no tie)", 8, 6, {{5, 5}, {6, 5}, {7, 6}}},
        {"to 9,5 horizontal", 9, 5, {{5, 5}, {6, 5}, {7, 5}, {8, 5}}},
        {"to 5,1 vertical", 5, 1, {{5, 5}, {5, 4}, {5, 3}, {5, 2}}},
        {"to 8,8 diagonal", 8, 8, {{5, 5}, {6, 6}, {7, 7}}},
        {"to 5,5 itself", 5, 5, {}},
        {"to 6,5 one step", 6, 5, {{5, 5}}},
    };
    for (const TLineCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRaster picture = MakeRaster(11, 11);
        picture.moveTo(5, 5);
        picture.lineTo(c.X, c.Y);
        ExpectOnlyPoints(picture, c.Expected);
        EXPECT_EQ(picture.penX(), c.X);
        EXPECT_EQ(picture.penY(), c.Y);
    }
}

TEST(Raster, PolylineSegmentsPaintEachOthersEnds) {
    TRaster picture = MakeRaster(5, 5);
    picture.moveTo(0, 0);
    picture.lineTo(3, 0);
    picture.lineTo(3, 3);
    EXPECT_EQ(Art(picture), Lines({"####.", "...#.", "...#.", ".....", "....."}));
}

TEST(Raster, MoveToPaintsNothing) {
    TRaster picture = MakeRaster(3, 3);
    picture.moveTo(1, 1);
    EXPECT_EQ(Art(picture), Lines({"...", "...", "..."}));
}

TEST(Raster, DottedPenPaintsGapsInBrushAndRestartsPerLine) {
    TRaster picture = MakeRaster(8, 5, TPenStyle::Dotted);
    picture.moveTo(0, 0);
    picture.lineTo(7, 0);
    picture.lineTo(7, 4);
    EXPECT_EQ(Art(picture), Lines({"#o#o#o##", ".......o", ".......#", ".......o", "........"}));
}

TEST(Raster, DottedPhaseCountsFromTheClippedStart) {
    TRaster picture = MakeRaster(6, 1, TPenStyle::Dotted);
    picture.moveTo(-3, 0);
    picture.lineTo(6, 0);
    EXPECT_EQ(Art(picture), Lines({"o#o#o#"}));
}

struct TRectCase {
    const char* Name;
    int X1, Y1, X2, Y2;
    std::string Art;
};

TEST(Raster, RectangleCoversMinToMaxMinusOne) {
    const std::string box = Lines({"......", ".####.", ".#oo#.", ".#oo#.", ".####.", "......"});
    const std::vector<TRectCase> cases = {
        {"corners 1,1 5,5", 1, 1, 5, 5, box},
        {"corners 5,5 1,1", 5, 5, 1, 1, box},
        {"corners 1,5 5,1", 1, 5, 5, 1, box},
        {"corners 5,1 1,5", 5, 1, 1, 5, box},
        {"one column wide", 2, 1, 3, 5, Lines({"......", "..#...", "..#...", "..#...", "..#...", "......"})},
        {"one row high", 1, 2, 5, 3, Lines({"......", "......", ".####.", "......", "......", "......"})},
        {"two by two", 1, 1, 3, 3, Lines({"......", ".##...", ".##...", "......", "......", "......"})},
        {"empty width", 2, 1, 2, 5, Lines({"......", "......", "......", "......", "......", "......"})},
        {"empty height", 1, 3, 5, 3, Lines({"......", "......", "......", "......", "......", "......"})},
        {"clipped top left", -3, -3, 3, 3,
         Lines({"oo#...", "oo#...", "###...", "......", "......", "......"})},
        {"clipped bottom right", 4, 4, 9, 9,
         Lines({"......", "......", "......", "......", "....##", "....#o"})},
        {"whole plane", INT_MIN, INT_MIN, INT_MAX, INT_MAX,
         Lines({"oooooo", "oooooo", "oooooo", "oooooo", "oooooo", "oooooo"})},
        {"ring on the edges", 0, 0, 6, 6,
         Lines({"######", "#oooo#", "#oooo#", "#oooo#", "#oooo#", "######"})},
        {"off the picture", 6, 0, 9, 6, Lines({"......", "......", "......", "......", "......", "......"})},
    };
    for (const TRectCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRaster picture = MakeRaster(6, 6);
        picture.rectangle(c.X1, c.Y1, c.X2, c.Y2);
        EXPECT_EQ(Art(picture), c.Art);
    }
}

TEST(Raster, RectangleLeavesTheCurrentPosition) {
    TRaster picture = MakeRaster(6, 6);
    picture.moveTo(2, 3);
    picture.rectangle(0, 0, 4, 4);
    EXPECT_EQ(picture.penX(), 2);
    EXPECT_EQ(picture.penY(), 3);
}

TEST(Raster, TextOutPaintsTheFullCellOnTheBrush) {
    TRaster picture = MakeRaster(8, 15);
    picture.textOut(1, 1, "1");
    EXPECT_EQ(Art(picture), Lines({"........", ".oooooo.", ".oooooo.", ".oooooo.", ".oofooo.", ".fffooo.",
                                   ".oofooo.", ".oofooo.", ".oofooo.", ".oofooo.", ".oofooo.", ".fffffo.",
                                   ".oooooo.", ".oooooo.", "........"}));
}

// Decimal numbers in pictures keep their comma ("3,2", never "3 2").
TEST(Raster, TextOutDrawsTheDecimalComma) {
    TRaster picture = MakeRaster(8, 15);
    picture.textOut(1, 1, ",");
    EXPECT_EQ(Art(picture), Lines({"........", ".oooooo.", ".oooooo.", ".oooooo.", ".oooooo.", ".oooooo.",
                                   ".oooooo.", ".oooooo.", ".oooooo.", ".oooooo.", ".ooffoo.", ".ooffoo.",
                                   ".oofooo.", ".oooooo.", "........"}));
}

TEST(Raster, TextOutAdvancesSixColumnsPerCharacter) {
    struct TCase {
        const char* Text;
        int Columns;
    };
    for (const TCase c : {TCase{"00", 12}, TCase{"100", 18}, TCase{"-5", 12}, TCase{"", 0}}) {
        SCOPED_TRACE(c.Text);
        TRaster picture = MakeRaster(24, 13);
        picture.textOut(0, 0, c.Text);
        for (int x = 0; x < 24; ++x) {
            const bool inCell = x < c.Columns;
            // The last column of every cell keeps one background column between digits.
            EXPECT_EQ(picture.pixel(x, 6) != kWhiteColor, inCell) << "column " << x;
            if (inCell && x % 6 == 5) {
                EXPECT_EQ(picture.pixel(x, 6), kBrush) << "column " << x;
            }
        }
    }
}

TEST(Raster, TextOutDrawsCharactersWithoutGlyphAsEmptyCells) {
    TRaster picture = MakeRaster(18, 13);
    picture.textOut(0, 0, "A\xC2\xB0Z");  // "A°Z": three characters, three cells, no ink
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 18; ++x) {
            ASSERT_EQ(picture.pixel(x, y), kBrush) << x << ", " << y;
        }
    }
}

TEST(Raster, TextOutLeavesTheCurrentPosition) {
    TRaster picture = MakeRaster(20, 20);
    picture.moveTo(3, 4);
    picture.textOut(0, 0, "12");
    EXPECT_EQ(picture.penX(), 3);
    EXPECT_EQ(picture.penY(), 4);
}

TEST(Raster, ClippedTextMatchesTheUnclippedCells) {
    TRaster whole = MakeRaster(30, 30);
    whole.textOut(3, 2, "4289");
    TRaster clipped = MakeRaster(20, 20);
    clipped.textOut(-5, -4, "4289");
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inText = x + 8 < 3 + 24 && y + 6 < 2 + 13;
            ASSERT_EQ(clipped.pixel(x, y), inText ? whole.pixel(x + 8, y + 6) : kWhiteColor)
                << x << ", " << y;
        }
    }
}

TEST(Raster, TextFarOffThePictureIsClipped) {
    TRaster picture = MakeRaster(4, 4);
    picture.textOut(INT_MAX - 3, 0, "123");
    picture.textOut(INT_MIN, INT_MIN, "123");
    picture.textOut(0, INT_MAX, "123");
    EXPECT_EQ(Art(picture), Lines({"....", "....", "....", "...."}));
}

// The straightforward Bresenham walk over every step, painting what is inside.
void NaiveLine(TRaster& picture, std::vector<TColor>& pixels, int x0, int y0, int x1, int y1) {
    const int dx = std::abs(x1 - x0);
    const int dy = std::abs(y1 - y0);
    const int sx = x1 < x0 ? -1 : 1;
    const int sy = y1 < y0 ? -1 : 1;
    const bool xMajor = dx >= dy;
    const int n = xMajor ? dx : dy;
    const int dm = xMajor ? dy : dx;
    int major = xMajor ? x0 : y0;
    int minor = xMajor ? y0 : x0;
    int decision = 2 * dm - n;
    for (int k = 0; k < n; ++k) {
        const int x = xMajor ? major : minor;
        const int y = xMajor ? minor : major;
        if (x >= 0 && y >= 0 && x < picture.width() && y < picture.height()) {
            const bool gap = picture.penStyle() == TPenStyle::Dotted && k % 2 == 1;
            pixels[static_cast<std::size_t>(y * picture.width() + x)] = gap ? kBrush : kPen;
        }
        if (decision > 0) {
            minor += xMajor ? sy : sx;
            decision -= 2 * n;
        }
        decision += 2 * dm;
        major += xMajor ? sx : sy;
    }
}

TEST(Raster, ClippedLinesMatchTheFullWalk) {
    std::mt19937 random(20240501);
    std::uniform_int_distribution<int> coordinate(-70, 110);
    for (const TPenStyle style : {TPenStyle::Solid, TPenStyle::Dotted}) {
        for (int round = 0; round < 3000; ++round) {
            const int x0 = coordinate(random);
            const int y0 = coordinate(random);
            const int x1 = coordinate(random);
            const int y1 = coordinate(random);
            TRaster picture = MakeRaster(41, 31, style);
            std::vector<TColor> expected(41 * 31, kWhiteColor);
            NaiveLine(picture, expected, x0, y0, x1, y1);
            picture.moveTo(x0, y0);
            picture.lineTo(x1, y1);
            const std::vector<TColor> actual(picture.data(), picture.data() + 41 * 31);
            ASSERT_EQ(actual, expected) << "line " << x0 << "," << y0 << " to " << x1 << "," << y1
                                        << (style == TPenStyle::Dotted ? " dotted" : "");
        }
    }
}

// Pixel by pixel from the line's definition: at every column (or row) of the
// picture, the step k there and its minor offset k * dm / n rounded to nearest
// with halves toward the start.
std::vector<TColor> LineByDefinition(int w, int h, int x0, int y0, int x1, int y1, TPenStyle style) {
    __extension__ typedef __int128 TInt128;
    std::vector<TColor> pixels(static_cast<std::size_t>(w * h), kWhiteColor);
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const std::int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    const std::int64_t dm = xMajor ? std::llabs(dy) : std::llabs(dx);
    const std::int64_t majorStart = xMajor ? x0 : y0;
    const std::int64_t minorStart = xMajor ? y0 : x0;
    const int majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    for (int m = 0; m < (xMajor ? w : h); ++m) {
        const std::int64_t k = majorSign * (m - majorStart);
        if (k < 0 || k >= n) {
            continue;
        }
        const TInt128 product = TInt128{k} * dm;
        std::int64_t q = static_cast<std::int64_t>(product / n);
        if (2 * (product % n) > n) {
            ++q;
        }
        const std::int64_t minor = minorStart + minorSign * q;
        if (minor < 0 || minor >= (xMajor ? h : w)) {
            continue;
        }
        const std::int64_t x = xMajor ? m : minor;
        const std::int64_t y = xMajor ? minor : m;
        const bool gap = style == TPenStyle::Dotted && k % 2 == 1;
        pixels[static_cast<std::size_t>(y * w + x)] = gap ? kBrush : kPen;
    }
    return pixels;
}

TEST(Raster, HugeLinesAreClippedQuicklyAndExactly) {
    struct TCase {
        const char* Name;
        int X0, Y0, X1, Y1;
    };
    const std::vector<TCase> cases = {
        {"horizontal INT_MIN to INT_MAX", INT_MIN, 2, INT_MAX, 2},
        {"vertical INT_MAX to INT_MIN", 3, INT_MAX, 3, INT_MIN},
        {"diagonal up", INT_MIN, INT_MIN, INT_MAX, INT_MAX},
        {"diagonal down", INT_MAX, INT_MAX, INT_MIN, INT_MIN},
        {"shallow", INT_MIN, -7, INT_MAX, 23},
        {"steep", -5, INT_MIN, 38, INT_MAX},
        {"steep reversed", 38, INT_MAX, -5, INT_MIN},
        {"skew through", -1000000007, 2000000011, 1999999993, -1000000001},
        {"from inside", 20, 15, INT_MIN, INT_MAX},
        {"into a corner", INT_MAX, INT_MIN, 0, 0},
        {"beside the picture", INT_MIN, -5, INT_MAX, -5},
        {"across a corner only", -100, 2, 2, -100},
    };
    const auto started = std::chrono::steady_clock::now();
    for (const TCase& c : cases) {
        for (const TPenStyle style : {TPenStyle::Solid, TPenStyle::Dotted}) {
            SCOPED_TRACE(std::string(c.Name) + (style == TPenStyle::Dotted ? " dotted" : " solid"));
            TRaster picture = MakeRaster(41, 31, style);
            picture.moveTo(c.X0, c.Y0);
            picture.lineTo(c.X1, c.Y1);
            const std::vector<TColor> actual(picture.data(), picture.data() + 41 * 31);
            EXPECT_EQ(actual, LineByDefinition(41, 31, c.X0, c.Y0, c.X1, c.Y1, style));
        }
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
}

TEST(Raster, HugeDiagonalKeepsItsDotPhase) {
    // Step k lies at x = INT_MIN + k going up and at x = INT_MAX - k coming
    // down, so the dots fall on even columns one way and odd columns the other.
    for (const bool up : {true, false}) {
        SCOPED_TRACE(up ? "up" : "down");
        TRaster picture = MakeRaster(6, 6, TPenStyle::Dotted);
        picture.moveTo(up ? INT_MIN : INT_MAX, up ? INT_MIN : INT_MAX);
        picture.lineTo(up ? INT_MAX : INT_MIN, up ? INT_MAX : INT_MIN);
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(picture.pixel(x, x), (x % 2 == 0) == up ? kPen : kBrush) << "column " << x;
        }
    }
}

}  // namespace
}  // namespace morvane
