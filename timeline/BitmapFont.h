#pragma once

// The label font of the timeline: a fixed-cell bitmap font drawn by hand after
// an 8-point user-interface font at 96 dpi. Every character takes a cell of
// 6 x 13 pixels; the digits stand on rows 3 to 10 of it (baseline under row 10).

#include <array>
#include <cstdint>

namespace morvane {

constexpr int kFontCellWidth = 6;
constexpr int kFontCellHeight = 13;

// One glyph: per row of the cell, bit c set where column c is ink (bit 0 is
// the leftmost column).
using TGlyph = std::array<std::uint8_t, kFontCellHeight>;

// The glyph of an ASCII character, or nullptr when the font has none; such a
// character is drawn as an empty cell. The font holds the digits, space, '-' and ','.
const TGlyph* FindGlyph(unsigned char ch);

constexpr bool GlyphInk(const TGlyph& glyph, int column, int row) {
    return ((glyph[static_cast<std::size_t>(row)] >> column) & 1u) != 0;
}

}  // namespace morvane
