#include "timeline/BitmapFont.h"

#include <cstddef>
#include <string_view>

namespace morvane {

namespace {

// The drawn part of a glyph: rows 3 to 10 of its cell, six columns each; '#'
// is ink. The rows above and below and the sixth column stay background, so
// neighbouring digits keep one column between them.
constexpr std::size_t kInkTop = 3;
constexpr std::size_t kInkRows = 8;
using TGlyphArt = std::array<std::string_view, kInkRows>;

constexpr TGlyph MakeGlyph(const TGlyphArt& art) {
    TGlyph glyph{};
    for (std::size_t row = 0; row < kInkRows; ++row) {
        std::uint8_t bits = 0;
        const std::string_view line = art[row];
        for (int column = 0; column < kFontCellWidth && column < static_cast<int>(line.size()); ++column) {
            if (line[static_cast<std::size_t>(column)] == '#') {
                bits = static_cast<std::uint8_t>(bits | (1u << column));
            }
        }
        glyph[kInkTop + row] = bits;
    }
    return glyph;
}

// clang-format off
constexpr std::array<TGlyph, 10> kDigitGlyphs = {
    MakeGlyph({".###..",
               "#...#.",
               "#...#.",
               "#...#.",
               "#...#.",
               "#...#.",
               "#...#.",
               ".###.."}),
    MakeGlyph({"..#...",
               "###...",
               "..#...",
               "..#...",
               "..#...",
               "..#...",
               "..#...",
               "#####."}),
    MakeGlyph({".###..",
               "#...#.",
               "....#.",
               "...#..",
               "..#...",
               ".#....",
               "#.....",
               "#####."}),
    MakeGlyph({".###..",
               "#...#.",
               "....#.",
               "..##..",
               "....#.",
               "....#.",
               "#...#.",
               ".###.."}),
    MakeGlyph({"...#..",
               "..##..",
               ".#.#..",
               "#..#..",
               "#####.",
               "...#..",
               "...#..",
               "...#.."}),
    MakeGlyph({"#####.",
               "#.....",
               "#.....",
               "####..",
               "....#.",
               "....#.",
               "#...#.",
               ".###.."}),
    MakeGlyph({"..##..",
               ".#....",
               "#.....",
               "####..",
               "#...#.",
               "#...#.",
               "#...#.",
               ".###.."}),
    MakeGlyph({"#####.",
               "....#.",
               "...#..",
               "...#..",
               "..#...",
               "..#...",
               ".#....",
               ".#...."}),
    MakeGlyph({".###..",
               "#...#.",
               "#...#.",
               ".###..",
               "#...#.",
               "#...#.",
               "#...#.",
               ".###.."}),
    MakeGlyph({".###..",
               "#...#.",
               "#...#.",
               "#...#.",
               ".####.",
               "....#.",
               "...#..",
               ".##..."}),
};

constexpr TGlyph kMinusGlyph = MakeGlyph({"......",
                                         "......",
                                         "......",
                                         "......",
                                         ".###..",
                                         "......",
                                         "......",
                                         "......"});
// clang-format on

constexpr TGlyph kSpaceGlyph{};

// The decimal comma of the Czech numbers: a dot on the baseline with a tail
// one row below it, in the middle of its cell.
constexpr TGlyph kCommaGlyph = [] {
    TGlyph glyph{};
    glyph[9] = 0b1100;
    glyph[10] = 0b1100;
    glyph[11] = 0b0100;
    return glyph;
}();

}  // namespace

const TGlyph* FindGlyph(unsigned char ch) {
    if (ch >= '0' && ch <= '9') {
        return &kDigitGlyphs[static_cast<std::size_t>(ch - '0')];
    }
    if (ch == '-') {
        return &kMinusGlyph;
    }
    if (ch == ' ') {
        return &kSpaceGlyph;
    }
    if (ch == ',') {
        return &kCommaGlyph;
    }
    return nullptr;
}

}  // namespace morvane
