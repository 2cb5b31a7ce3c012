#include "timeline/PvDiagram.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "timeline/BitmapFont.h"
#include "timeline/PlotScale.h"
#include "timeline/Raster.h"
#include "util/numtext.h"

namespace morvane {

namespace {

constexpr double kCubicCentimetresPerCubicMetre = 1e6;

bool Drawable(double pressure, double volume) {
    return pressure > 0 && volume > 0;
}

// The smallest and largest positive value among the drawable points.
struct TExtent {
    double Low = std::numeric_limits<double>::max();
    double High = 0;
    void take(double value) {
        Low = std::min(Low, value);
        High = std::max(High, value);
    }
};

std::string Label(double value, TNumberFormat format) {
    return FormatFloatGeneral(value, format);
}

void DrawGrid(TRaster& picture, const TPlotScale& across, const TPlotScale& up, const TRoundRange& volumes,
              const TRoundRange& pressures, TNumberFormat format) {
    picture.setPenColor(kGridColor);
    picture.setPenStyle(TPenStyle::Dotted);
    picture.setFontColor(kBlackColor);
    picture.setBrushColor(kWhiteColor);
    for (const double volume : RoundValues(volumes)) {
        const int x = across.at(volume);
        picture.moveTo(x, up.From);
        picture.lineTo(x, up.To);
        if (volume >= 1) {
            const std::string text = Label(volume, format);
            picture.textOut(x - static_cast<int>(text.size()) * kFontCellWidth / 2, up.From + 3, text);
        }
    }
    for (const double pressure : RoundValues(pressures)) {
        const int y = up.at(pressure);
        picture.moveTo(across.From, y);
        picture.lineTo(across.To, y);
        if (pressure >= 1) {
            const std::string text = Label(pressure, format);
            picture.textOut(across.From - 2 - static_cast<int>(text.size()) * kFontCellWidth,
                            y - kFontCellHeight / 2 - 1, text);
        }
    }
    picture.setPenStyle(TPenStyle::Solid);
}

}  // namespace

void DrawPvDiagram(const TSignalTable& pressure, const TSignalTable& volumes, TRaster& picture,
                   TNumberFormat format) {
    picture.resize(picture.width(), picture.height());
    const int right = picture.width() - kPlotRightGap;
    const int bottom = picture.height() - kPlotBottomGap;

    TExtent pressureExtent;
    TExtent volumeExtent;
    for (std::size_t k = 0; k < pressure.size(); ++k) {
        if (Drawable(pressure[k], volumes[k])) {
            pressureExtent.take(pressure[k]);
            volumeExtent.take(volumes[k] * kCubicCentimetresPerCubicMetre);
        }
    }
    if (pressureExtent.High > 0) {
        const TRoundRange pressures = RoundLogRange(pressureExtent.Low, pressureExtent.High);
        const TRoundRange cubics = RoundLogRange(volumeExtent.Low, volumeExtent.High);
        const TPlotScale across{cubics.Low, cubics.High, kPlotLeft, right, TAxisKind::Logarithmic};
        const TPlotScale up{pressures.Low, pressures.High, bottom, kPlotTop, TAxisKind::Logarithmic};
        DrawGrid(picture, across, up, cubics, pressures, format);

        picture.setPenColor(kLoopColor);
        bool drawing = false;
        for (std::size_t k = 0; k < pressure.size(); ++k) {
            if (!Drawable(pressure[k], volumes[k])) {
                drawing = false;
                continue;
            }
            const int x = across.at(volumes[k] * kCubicCentimetresPerCubicMetre);
            const int y = up.at(pressure[k]);
            if (drawing) {
                picture.lineTo(x, y);
            } else {
                picture.moveTo(x, y);
                drawing = true;
            }
        }
    }
    // The frame's right and bottom edges fall on the last grid values.
    DrawPlotFrame(picture, kPlotLeft, kPlotTop, right, bottom);
}

}  // namespace morvane
