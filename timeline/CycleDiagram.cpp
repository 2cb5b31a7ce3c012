#include "timeline/CycleDiagram.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "timeline/BitmapFont.h"
#include "timeline/LinearAxis.h"
#include "timeline/PlotScale.h"
#include "timeline/Raster.h"
#include "util/numtext.h"

namespace morvane {

namespace {

using TFigureOf = std::function<std::optional<double>(const TCycleFigures&)>;

struct TPanel {
    TFigureOf Figure;
    TColor Color;
    std::function<bool(const TCycleFigures&)> Marked;
    TColor MarkColor;
};

std::optional<double> NetImepOf(const TCycleFigures& cycle) {
    return cycle.NetImep;
}

std::optional<double> Mfb50Of(const TCycleFigures& cycle) {
    return cycle.Burn ? std::optional<double>(cycle.Burn->Mfb50) : std::nullopt;
}

std::optional<double> MapoOf(const TCycleFigures& cycle) {
    return cycle.Mapo;
}

bool Misfired(const TCycleFigures& cycle) {
    return !cycle.Burn;
}

bool Knocked(const TCycleFigures& cycle) {
    return cycle.Mapo && cycle.Knocking;
}

void DrawPanel(const std::vector<TCycleFigures>& cycles, const TPanel& panel, const TPlotScale& across,
               int top, int bottom, TRaster& picture, TNumberFormat format) {
    std::optional<double> lowest;
    std::optional<double> highest;
    for (const TCycleFigures& cycle : cycles) {
        if (const std::optional<double> value = panel.Figure(cycle)) {
            lowest = std::min(lowest.value_or(*value), *value);
            highest = std::max(highest.value_or(*value), *value);
        }
    }
    if (lowest) {
        const TLinearRange range = RoundLinearRange(*lowest, *highest);
        const TPlotScale up{range.Low, range.High, bottom, top, TAxisKind::Linear};
        LeftLabel(picture, bottom, FormatFloatGeneral(range.Low, format));
        LeftLabel(picture, top, FormatFloatGeneral(range.High, format));

        picture.setPenColor(panel.MarkColor);
        picture.setPenStyle(TPenStyle::Dotted);
        for (std::size_t c = 0; c < cycles.size(); ++c) {
            if (panel.Marked(cycles[c])) {
                const int x = across.at(static_cast<double>(c + 1));
                picture.moveTo(x, top);
                picture.lineTo(x, bottom);
            }
        }
        picture.setPenStyle(TPenStyle::Solid);
        picture.setPenColor(panel.Color);
        picture.setBrushColor(panel.Color);
        bool drawing = false;
        for (std::size_t c = 0; c < cycles.size(); ++c) {
            const std::optional<double> value = panel.Figure(cycles[c]);
            if (!value) {
                drawing = false;
                continue;
            }
            const int x = across.at(static_cast<double>(c + 1));
            const int y = up.at(*value);
            // A lone point still shows, as a 3 x 3 dot.
            picture.rectangle(x - 1, y - 1, x + 2, y + 2);
            if (drawing) {
                picture.lineTo(x, y);
            }
            picture.moveTo(x, y);
            drawing = true;
        }
        picture.setBrushColor(kWhiteColor);
    }
    DrawPlotFrame(picture, kPlotLeft, top, across.To, bottom);
}

}  // namespace

void DrawCycleDiagram(const std::vector<TCycleFigures>& cycles, TRaster& picture, TNumberFormat format) {
    picture.resize(picture.width(), picture.height());
    picture.setBrushColor(kWhiteColor);
    picture.setFontColor(kBlackColor);
    const int right = picture.width() - kPlotRightGap;
    const int bottom = picture.height() - kPlotBottomGap;
    std::vector<TPanel> panels = {{NetImepOf, kImepColor, Misfired, kMisfireColor},
                                  {Mfb50Of, kMfb50Color, Misfired, kMisfireColor}};
    if (std::any_of(cycles.begin(), cycles.end(), [](const TCycleFigures& cycle) { return cycle.Mapo; })) {
        panels.push_back({MapoOf, kMapoColor, Knocked, kKnockColor});
    }
    const double count = static_cast<double>(std::max<std::size_t>(cycles.size(), 2));
    const TPlotScale across{1, count, kPlotLeft, right, TAxisKind::Linear};
    const int panelCount = static_cast<int>(panels.size());
    const int height = (bottom - kPlotTop - (panelCount - 1) * kPanelGap) / panelCount;
    int lastBottom = bottom;
    for (int i = 0; i < panelCount; ++i) {
        const int top = kPlotTop + i * (height + kPanelGap);
        lastBottom = top + height;
        DrawPanel(cycles, panels[static_cast<std::size_t>(i)], across, top, lastBottom, picture, format);
    }
    if (!cycles.empty()) {
        picture.textOut(kPlotLeft - kFontCellWidth / 2, lastBottom + 3, "1");
    }
    if (cycles.size() > 1) {
        const std::string last = FormatInteger(static_cast<std::int64_t>(cycles.size()));
        picture.textOut(right - static_cast<int>(last.size()) * kFontCellWidth / 2, lastBottom + 3, last);
    }
}

}  // namespace morvane
