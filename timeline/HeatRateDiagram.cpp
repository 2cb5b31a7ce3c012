#include "timeline/HeatRateDiagram.h"

#include <algorithm>
#include <string>
#include <vector>

#include "timeline/BitmapFont.h"
#include "timeline/LinearAxis.h"
#include "timeline/PlotScale.h"
#include "timeline/Raster.h"
#include "util/numtext.h"

namespace morvane {

namespace {

double PointAngle(int point) {
    return static_cast<double>(point) / 2.0;
}

void CentredText(TRaster& picture, int x, int y, const std::string& text) {
    picture.textOut(x - static_cast<int>(text.size()) * kFontCellWidth / 2, y, text);
}

}  // namespace

std::optional<double> CylinderOneIgnition(const TEventList& events) {
    for (const TEngineEvent& event : events) {
        if (event.Kind == ekIgnition && event.Name == "Zapalování 1") {
            return event.FinalAngle;
        }
    }
    return std::nullopt;
}

void DrawHeatRateDiagram(const THeatRelease& release, std::optional<double> ignitionAngle, TRaster& picture,
                         TNumberFormat format) {
    picture.resize(picture.width(), picture.height());
    const int right = picture.width() - kPlotRightGap;
    const int bottom = picture.height() - kPlotBottomGap;
    const std::vector<double> rate = HeatReleaseRate(release);
    if (rate.empty()) {
        DrawPlotFrame(picture, kPlotLeft, kPlotTop, right, bottom);
        return;
    }
    const int points = static_cast<int>(rate.size());
    const double first = PointAngle(release.FirstPoint);
    const double last = PointAngle(release.FirstPoint + points - 1);
    const auto [lowest, highest] = std::minmax_element(rate.begin(), rate.end());
    const TLinearRange range = RoundLinearRange(std::min(*lowest, 0.0), std::max(*highest, 0.0));
    const TPlotScale across{first, last, kPlotLeft, right, TAxisKind::Linear};
    const TPlotScale up{range.Low, range.High, bottom, kPlotTop, TAxisKind::Linear};

    picture.setBrushColor(kWhiteColor);
    picture.setFontColor(kBlackColor);
    picture.setPenColor(kGridColor);
    picture.setPenStyle(TPenStyle::Dotted);
    picture.moveTo(across.From, up.at(0));
    picture.lineTo(across.To, up.at(0));
    picture.setPenStyle(TPenStyle::Solid);
    LeftLabel(picture, up.at(range.Low), FormatFloatGeneral(range.Low, format));
    LeftLabel(picture, up.at(range.High), FormatFloatGeneral(range.High, format));
    // 0 only where its label does not run into a limit's.
    if (std::min(up.at(range.Low) - up.at(0), up.at(0) - up.at(range.High)) >= kFontCellHeight) {
        LeftLabel(picture, up.at(0), "0");
    }
    CentredText(picture, kPlotLeft, bottom + 3, FormatFloatGeneral(first, format));
    CentredText(picture, right, bottom + 3, FormatFloatGeneral(last, format));

    if (ignitionAngle && *ignitionAngle >= first && *ignitionAngle <= last) {
        picture.setPenColor(kIgnitionColor);
        const int x = across.at(*ignitionAngle);
        picture.moveTo(x, up.From);
        picture.lineTo(x, up.To);
    }
    picture.setPenColor(kHeatRateColor);
    for (int j = 0; j < points; ++j) {
        const int x = across.at(PointAngle(release.FirstPoint + j));
        const int y = up.at(rate[static_cast<std::size_t>(j)]);
        if (j == 0) {
            picture.moveTo(x, y);
        } else {
            picture.lineTo(x, y);
        }
    }
    DrawPlotFrame(picture, kPlotLeft, kPlotTop, right, bottom);
}

}  // namespace morvane
