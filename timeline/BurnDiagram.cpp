#include "timeline/BurnDiagram.h"

#include <algorithm>

#include "timeline/BitmapFont.h"
#include "timeline/PlotScale.h"
#include "timeline/Raster.h"
#include "util/numtext.h"

namespace morvane {

namespace {

double PointAngle(int point) {
    return static_cast<double>(point) / 2.0;
}

void Horizontal(TRaster& picture, const TPlotScale& across, int y) {
    picture.moveTo(across.From, y);
    picture.lineTo(across.To, y);
}

void Vertical(TRaster& picture, const TPlotScale& up, int x) {
    picture.moveTo(x, up.From);
    picture.lineTo(x, up.To);
}

void CentredText(TRaster& picture, int x, int y, const std::string& text) {
    picture.textOut(x - static_cast<int>(text.size()) * kFontCellWidth / 2, y, text);
}

}  // namespace

void DrawBurnDiagram(const THeatRelease& release, const std::optional<TBurnAngles>& burn, TRaster& picture,
                     TNumberFormat format) {
    picture.resize(picture.width(), picture.height());
    const int right = picture.width() - kPlotRightGap;
    const int bottom = picture.height() - kPlotBottomGap;
    const int points = static_cast<int>(release.Fraction.size());
    const double first = PointAngle(release.FirstPoint);
    const double last = PointAngle(release.FirstPoint + std::max(points - 1, 1));
    const TPlotScale across{first, last, kPlotLeft, right, TAxisKind::Linear};
    const TPlotScale up{-kFractionMargin, 1 + kFractionMargin, bottom, kPlotTop, TAxisKind::Linear};

    picture.setBrushColor(kWhiteColor);
    picture.setFontColor(kBlackColor);
    picture.setPenColor(kGridColor);
    picture.setPenStyle(TPenStyle::Dotted);
    for (const double level : {0.0, 0.1, 0.5, 0.9, 1.0}) {
        Horizontal(picture, across, up.at(level));
    }
    picture.setPenStyle(TPenStyle::Solid);
    for (const int percent : {0, 50, 100}) {
        const std::string text = FormatInteger(percent);
        picture.textOut(kPlotLeft - 2 - static_cast<int>(text.size()) * kFontCellWidth,
                        up.at(percent / 100.0) - kFontCellHeight / 2 - 1, text);
    }
    CentredText(picture, kPlotLeft, bottom + 3, FormatFloatGeneral(first, format));
    CentredText(picture, right, bottom + 3, FormatFloatGeneral(last, format));

    if (burn) {
        picture.setPenColor(kBurnMarkColor);
        for (const double angle : {burn->Mfb10, burn->Mfb50, burn->Mfb90}) {
            Vertical(picture, up, across.at(angle));
        }
    }
    picture.setPenColor(kBurnColor);
    for (int j = 0; j < points; ++j) {
        const int x = across.at(PointAngle(release.FirstPoint + j));
        const int y = up.at(release.Fraction[static_cast<std::size_t>(j)]);
        if (j == 0) {
            picture.moveTo(x, y);
        } else {
            picture.lineTo(x, y);
        }
    }

    DrawPlotFrame(picture, kPlotLeft, kPlotTop, right, bottom);
}

}  // namespace morvane
