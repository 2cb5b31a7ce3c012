#include "timeline/LinearAxis.h"

#include <cmath>

#include "timeline/BitmapFont.h"
#include "timeline/PlotScale.h"
#include "timeline/Raster.h"

namespace morvane {

TLinearRange RoundLinearRange(double low, double high) {
    if (!(high > low)) {
        const double widening = low == 0 ? 1.0 : std::fabs(low) / 10;
        low -= widening;
        high += widening;
    }
    const double raw = (high - low) / 4;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    const double mantissa = raw / decade;
    const double step = decade * (mantissa <= 1 ? 1 : mantissa <= 2 ? 2 : mantissa <= 5 ? 5 : 10);
    // A value on a multiple may come out of the division a hair off it; + 0.0
    // turns a -0 into 0, which labels as "0".
    constexpr double kTolerance = 1e-9;
    return {std::floor(low / step + kTolerance) * step + 0.0,
            std::ceil(high / step - kTolerance) * step + 0.0, step};
}

void LeftLabel(TRaster& picture, int y, const std::string& text) {
    picture.textOut(kPlotLeft - 2 - static_cast<int>(text.size()) * kFontCellWidth,
                    y - kFontCellHeight / 2 - 1, text);
}

}  // namespace morvane
