#pragma once

// The off-screen picture the timeline is drawn on: W x H pixels of TColor with
// a pen, a brush, a font colour and a current position, and four flat
// primitives. Everything drawn outside the picture is clipped; any coordinate a
// 32-bit int can hold is accepted and costs no more than the visible part.
//
// Edge rules, pinned by the raster tests:
// - lineTo paints the start pixel and not the end pixel. The line is
//   Bresenham's: along the major axis every column (or row) from the start up
//   to the one before the end gets one pixel, whose minor offset at step k of n
//   is k * minor / n rounded to nearest, exact halves toward the start. A line
//   to the current position itself paints nothing.
// - A dotted pen paints the steps k = 0, 2, 4, ... of a line in the pen colour
//   and the steps in between in the brush colour; the pattern restarts at every
//   lineTo and is kept when the line is clipped.
// - rectangle covers columns min(x1, x2) .. max(x1, x2) - 1 and rows
//   min(y1, y2) .. max(y1, y2) - 1: the outermost ring of those pixels in the
//   pen colour (always solid), the inside in the brush colour. A rectangle one
//   pixel wide or high is all pen; an empty one paints nothing.
// - textOut paints one full cell of the bitmap font per character, its top-left
//   corner at (x, y) for the first character and advancing to the right: the
//   cell in the brush colour, the glyph in the font colour. It does not move
//   the current position.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "util/mathutil.h"

namespace morvane {

enum class TPenStyle { Solid, Dotted };

constexpr TColor kBlackColor = RgbColor(0, 0, 0);
constexpr TColor kWhiteColor = RgbColor(255, 255, 255);
constexpr TColor kGrayColor = RgbColor(128, 128, 128);
constexpr TColor kRedColor = RgbColor(255, 0, 0);

class TRaster {
public:
    // A 1 x 1 white picture.
    TRaster();
    // A white picture of w x h; sizes below 1 are taken as 1.
    TRaster(int w, int h);

    // Takes the new size (sizes below 1 are taken as 1) and makes the whole
    // picture white. The drawing tools keep their settings.
    void resize(int w, int h);

    int width() const { return m_width; }
    int height() const { return m_height; }

    // The pixel at (x, y); both must lie inside the picture.
    TColor pixel(int x, int y) const { return m_pixels[index(x, y)]; }
    // Row-major pixels, width() * height() of them.
    const TColor* data() const { return m_pixels.data(); }

    void setPenColor(TColor color) { m_penColor = color; }
    TColor penColor() const { return m_penColor; }
    void setPenStyle(TPenStyle style) { m_penStyle = style; }
    TPenStyle penStyle() const { return m_penStyle; }
    void setBrushColor(TColor color) { m_brushColor = color; }
    TColor brushColor() const { return m_brushColor; }
    void setFontColor(TColor color) { m_fontColor = color; }
    TColor fontColor() const { return m_fontColor; }

    int penX() const { return m_penX; }
    int penY() const { return m_penY; }

    void moveTo(int x, int y);
    void lineTo(int x, int y);
    void rectangle(int x1, int y1, int x2, int y2);
    void textOut(int x, int y, std::string_view text);

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }
    // Paints columns x1..x2 (inclusive, already inside the picture) of row y.
    void fillSpan(int y, int x1, int x2, TColor color);
    void drawGlyph(std::int64_t left, std::int64_t top, unsigned char ch);

    int m_width = 1;
    int m_height = 1;
    std::vector<TColor> m_pixels;
    TColor m_penColor = kBlackColor;
    TPenStyle m_penStyle = TPenStyle::Solid;
    TColor m_brushColor = kWhiteColor;
    TColor m_fontColor = kBlackColor;
    int m_penX = 0;
    int m_penY = 0;
};

}  // namespace morvane
