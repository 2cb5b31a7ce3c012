#include "timeline/Raster.h"

#include <algorithm>

#include "timeline/BitmapFont.h"

namespace morvane {

namespace {

// The exact products of a clipped line's set-up need up to 66 bits.
__extension__ typedef __int128 TInt128;

std::int64_t CeilDivPositive(TInt128 num, TInt128 den) {
    return static_cast<std::int64_t>((num + den - 1) / den);
}

// One axis of a line: pixel k lies at start + sign * offset(k).
struct TAxis {
    std::int64_t Start;
    int Sign;
    std::int64_t Size;  // picture extent along this axis
};

// The range of offsets v with 0 <= start + sign * v <= size - 1.
void InsideOffsets(const TAxis& axis, std::int64_t& low, std::int64_t& high) {
    if (axis.Sign > 0) {
        low = -axis.Start;
        high = axis.Size - 1 - axis.Start;
    } else {
        low = axis.Start - (axis.Size - 1);
        high = axis.Start;
    }
}

// Steps First..Last of a line (empty when First > Last) whose pixel lies inside
// the picture; n steps along the major axis, dm along the minor one.
struct TStepRange {
    std::int64_t First;
    std::int64_t Last;
};

TStepRange VisibleSteps(const TAxis& major, const TAxis& minor, std::int64_t n, std::int64_t dm) {
    constexpr TStepRange kNone{0, -1};
    // Steps whose major coordinate lies inside the picture.
    std::int64_t low = 0;
    std::int64_t high = 0;
    InsideOffsets(major, low, high);
    TStepRange steps{std::max<std::int64_t>(0, low), std::min(n - 1, high)};

    // The minor offset q(k) = floor((2k*dm + n - 1) / 2n) never decreases, so
    // the steps whose minor coordinate lies inside form one range as well.
    InsideOffsets(minor, low, high);
    if (high < 0 || low > dm) {
        return kNone;
    }
    if (dm == 0) {
        return low > 0 ? kNone : steps;
    }
    if (low > 0) {
        steps.First = std::max(steps.First, CeilDivPositive(TInt128{2} * n * low - n + 1, TInt128{2} * dm));
    }
    if (high < dm) {
        steps.Last =
            std::min(steps.Last, static_cast<std::int64_t>((TInt128{2} * n * high + n) / (TInt128{2} * dm)));
    }
    return steps;
}

}  // namespace

TRaster::TRaster() : TRaster(1, 1) {}

TRaster::TRaster(int w, int h) {
    resize(w, h);
}

void TRaster::resize(int w, int h) {
    m_width = std::max(w, 1);
    m_height = std::max(h, 1);
    m_pixels.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), kWhiteColor);
}

void TRaster::fillSpan(int y, int x1, int x2, TColor color) {
    TColor* row = m_pixels.data() + index(0, y);
    std::fill(row + x1, row + x2 + 1, color);
}

void TRaster::moveTo(int x, int y) {
    m_penX = x;
    m_penY = y;
}

void TRaster::lineTo(int x, int y) {
    const std::int64_t dx = std::int64_t{x} - m_penX;
    const std::int64_t dy = std::int64_t{y} - m_penY;
    const TAxis xAxis{m_penX, dx < 0 ? -1 : 1, m_width};
    const TAxis yAxis{m_penY, dy < 0 ? -1 : 1, m_height};
    m_penX = x;
    m_penY = y;

    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx >= ady;
    const std::int64_t n = xMajor ? adx : ady;  // steps; the end pixel (step n) is not painted
    const std::int64_t dm = xMajor ? ady : adx;
    if (n == 0) {
        return;
    }
    const TAxis& major = xMajor ? xAxis : yAxis;
    const TAxis& minor = xMajor ? yAxis : xAxis;

    const TStepRange steps = VisibleSteps(major, minor, n, dm);
    const std::int64_t kLow = steps.First;
    const std::int64_t kHigh = steps.Last;
    if (kLow > kHigh) {
        return;
    }

    // Bresenham from step kLow on: q is the minor offset, r its remainder.
    const TInt128 start = TInt128{2} * kLow * dm + n - 1;
    std::int64_t q = static_cast<std::int64_t>(start / (TInt128{2} * n));
    std::int64_t r = static_cast<std::int64_t>(start % (TInt128{2} * n));
    const std::int64_t twoN = 2 * n;
    const std::int64_t twoDm = 2 * dm;
    const bool dotted = m_penStyle == TPenStyle::Dotted;
    for (std::int64_t k = kLow; k <= kHigh; ++k) {
        const std::int64_t mj = major.Start + major.Sign * k;
        const std::int64_t mn = minor.Start + minor.Sign * q;
        const TColor color = (dotted && (k & 1) != 0) ? m_brushColor : m_penColor;
        if (xMajor) {
            m_pixels[index(static_cast<int>(mj), static_cast<int>(mn))] = color;
        } else {
            m_pixels[index(static_cast<int>(mn), static_cast<int>(mj))] = color;
        }
        r += twoDm;
        if (r >= twoN) {
            r -= twoN;
            ++q;
        }
    }
}

void TRaster::rectangle(int x1, int y1, int x2, int y2) {
    const std::int64_t left = std::min(x1, x2);
    const std::int64_t right = std::int64_t{std::max(x1, x2)} - 1;
    const std::int64_t top = std::min(y1, y2);
    const std::int64_t bottom = std::int64_t{std::max(y1, y2)} - 1;
    if (left > right || top > bottom) {
        return;
    }
    const int clipLeft = static_cast<int>(std::max<std::int64_t>(left, 0));
    const int clipRight = static_cast<int>(std::min<std::int64_t>(right, m_width - 1));
    const int clipTop = static_cast<int>(std::max<std::int64_t>(top, 0));
    const int clipBottom = static_cast<int>(std::min<std::int64_t>(bottom, m_height - 1));
    if (clipLeft > clipRight || clipTop > clipBottom) {
        return;
    }
    const int innerLeft = static_cast<int>(std::max<std::int64_t>(left + 1, 0));
    const int innerRight = static_cast<int>(std::min<std::int64_t>(right - 1, m_width - 1));
    for (int y = clipTop; y <= clipBottom; ++y) {
        if (y == top || y == bottom) {
            fillSpan(y, clipLeft, clipRight, m_penColor);
            continue;
        }
        if (innerLeft <= innerRight) {
            fillSpan(y, innerLeft, innerRight, m_brushColor);
        }
        if (left == clipLeft) {
            m_pixels[index(clipLeft, y)] = m_penColor;
        }
        if (right == clipRight) {
            m_pixels[index(clipRight, y)] = m_penColor;
        }
    }
}

void TRaster::drawGlyph(std::int64_t left, std::int64_t top, unsigned char ch) {
    const std::int64_t right = left + kFontCellWidth;
    const std::int64_t bottom = top + kFontCellHeight;
    if (right <= 0 || left >= m_width || bottom <= 0 || top >= m_height) {
        return;
    }
    const TGlyph* glyph = FindGlyph(ch);
    const int x1 = static_cast<int>(std::max<std::int64_t>(left, 0));
    const int x2 = static_cast<int>(std::min<std::int64_t>(right, m_width)) - 1;
    const int y1 = static_cast<int>(std::max<std::int64_t>(top, 0));
    const int y2 = static_cast<int>(std::min<std::int64_t>(bottom, m_height)) - 1;
    for (int y = y1; y <= y2; ++y) {
        const int row = static_cast<int>(y - top);
        TColor* line = m_pixels.data() + index(0, y);
        for (int x = x1; x <= x2; ++x) {
            const bool ink = glyph != nullptr && GlyphInk(*glyph, static_cast<int>(x - left), row);
            line[x] = ink ? m_fontColor : m_brushColor;
        }
    }
}

void TRaster::textOut(int x, int y, std::string_view text) {
    std::int64_t left = x;
    for (const char c : text) {
        const auto ch = static_cast<unsigned char>(c);
        // A UTF-8 continuation byte belongs to the cell of its lead byte.
        if ((ch & 0xC0u) == 0x80u) {
            continue;
        }
        if (left >= m_width) {
            break;
        }
        drawGlyph(left, y, ch);
        left += kFontCellWidth;
    }
}

}  // namespace morvane
