#include "timeline/CylinderPressureDiagram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "timeline/BitmapFont.h"
#include "timeline/LinearAxis.h"
#include "timeline/PlotScale.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"
#include "util/numtext.h"

namespace morvane {

namespace {

// Sixteen colours told apart on white, the first four the most distinct.
constexpr std::array<TColor, 16> kCylinderColors = {
    RgbColor(0, 0, 192),   RgbColor(192, 0, 0),   RgbColor(0, 128, 0),   RgbColor(160, 96, 0),
    RgbColor(128, 0, 160), RgbColor(0, 128, 160), RgbColor(96, 96, 96),  RgbColor(224, 96, 160),
    RgbColor(96, 160, 0),  RgbColor(0, 64, 96),   RgbColor(160, 64, 64), RgbColor(64, 64, 224),
    RgbColor(0, 192, 128), RgbColor(192, 160, 0), RgbColor(96, 0, 64),   RgbColor(64, 128, 64)};

constexpr int kLeft = 48;
constexpr int kTop = 8;
constexpr int kBottomMargin = 22;
constexpr int kRightMargin = 96;  // the legend

void DrawTrace(const TSignalTable& trace, const TPlotScale& across, const TPlotScale& up, TRaster& picture) {
    picture.moveTo(across.at(0), up.at(trace[0]));
    for (std::size_t k = 1; k < trace.size(); ++k) {
        picture.lineTo(across.at(0.5 * static_cast<double>(k)), up.at(trace[k]));
    }
}

void DrawAxes(const TPlotScale& across, const TPlotScale& up, const TLinearRange& range, TRaster& picture) {
    picture.setPenColor(kBlackColor);
    picture.setPenStyle(TPenStyle::Solid);
    picture.setBrushColor(kWhiteColor);
    picture.rectangle(across.From, up.To, across.To + 1, up.From + 1);
    for (int angle = 0; angle <= 720; angle += 90) {
        const std::string text = FormatInteger(angle);
        picture.textOut(across.at(angle) - static_cast<int>(text.size()) * kFontCellWidth / 2, up.From + 4,
                        text);
    }
    for (const double value : {range.Low, range.High}) {
        const std::string text = FormatFloatGeneral(value, kDecimalComma);
        picture.textOut(across.From - 4 - static_cast<int>(text.size()) * kFontCellWidth,
                        up.at(value) - kFontCellHeight / 2, text);
    }
}

void DrawLegend(std::size_t cylinders, int selected, int left, TRaster& picture) {
    picture.setBrushColor(kWhiteColor);
    for (std::size_t k = 0; k < cylinders; ++k) {
        const int number = static_cast<int>(k) + 1;
        const int y = kTop + 4 + static_cast<int>(k) * (kFontCellHeight + 2);
        picture.setPenColor(CylinderColor(number));
        // The selected cylinder's swatch is a bar, the others' a line.
        picture.setBrushColor(CylinderColor(number));
        const int half = number == selected ? 3 : 0;
        picture.rectangle(left, y + kFontCellHeight / 2 - half, left + 16,
                          y + kFontCellHeight / 2 + half + 1);
        picture.setBrushColor(kWhiteColor);
        picture.setFontColor(CylinderColor(number));
        picture.textOut(left + 20, y, FormatInteger(number));
    }
    picture.setFontColor(kBlackColor);
}

}  // namespace

TColor CylinderColor(int cylinder) {
    return kCylinderColors[static_cast<std::size_t>(std::max(cylinder - 1, 0)) % kCylinderColors.size()];
}

std::vector<TPictureEvent> CylinderPictureEvents(const TEventList& events, int cylinder, double offset) {
    const std::string number = FormatInteger(cylinder);
    const std::string ignition = "Zapalování " + number;
    const std::string intakeCloses = "Píst " + number + " - SV zavírá";
    const std::string exhaustOpens = "Píst " + number + " - VV otvírá";
    std::vector<TPictureEvent> marked;
    for (const TEngineEvent& event : events) {
        if (event.Name == ignition || event.Name == intakeCloses || event.Name == exhaustOpens) {
            // Where the event list puts it, corrections included.
            double angle = std::fmod(event.FinalAngle - offset, 720.0);
            angle = angle < 0 ? angle + 720 : angle;
            marked.push_back({angle >= 720 ? 0 : angle, event.Kind});
        }
    }
    return marked;
}

void DrawCylinderPressures(const std::vector<TSignalTable>& means, const std::vector<TPictureEvent>& events,
                           int selected, TRaster& picture) {
    picture.resize(picture.width(), picture.height());
    double lowest = 0;
    double highest = 1;
    for (const TSignalTable& mean : means) {
        lowest = std::min(lowest, *std::min_element(mean.begin(), mean.end()));
        highest = std::max(highest, *std::max_element(mean.begin(), mean.end()));
    }
    const TLinearRange range = RoundLinearRange(lowest, highest);
    const int right = std::max(kLeft + 2, picture.width() - kRightMargin);
    const int bottom = std::max(kTop + 2, picture.height() - kBottomMargin);
    const TPlotScale across{0, 720, kLeft, right, TAxisKind::Linear};
    const TPlotScale up{range.Low, range.High, bottom, kTop, TAxisKind::Linear};
    DrawAxes(across, up, range, picture);
    picture.setPenStyle(TPenStyle::Dotted);
    for (const TPictureEvent& event : events) {
        picture.setPenColor(EventKindColor(event.Kind));
        picture.moveTo(across.at(event.Angle), up.To + 1);
        picture.lineTo(across.at(event.Angle), up.From);
    }
    picture.setPenStyle(TPenStyle::Solid);
    for (std::size_t k = 0; k < means.size(); ++k) {
        picture.setPenColor(CylinderColor(static_cast<int>(k) + 1));
        DrawTrace(means[k], across, up, picture);
    }
    DrawLegend(means.size(), selected, right + 8, picture);
}

}  // namespace morvane
