#include "timeline/ValveDiagram.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string_view>

#include "events/EngineEvent.h"
#include "timeline/BitmapFont.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"
#include "util/fpfault.h"
#include "util/numtext.h"

namespace morvane {

namespace {

constexpr long double kSpiralStart = -180;
constexpr long double kSpiralEnd = 540;
constexpr long double kCycle = 720;
// Radii of the spiral's ends as parts of the picture's smaller side.
constexpr long double kOuterRadius = 0.40L;
constexpr long double kInnerRadius = 0.12L;

// Far-off angles are brought in with fmod first, so the loops stay short.
long double OntoSpiral(long double phi) {
    if (std::fabs(phi) > 1e6L) {
        phi = std::fmod(phi, kCycle);
    }
    while (phi < kSpiralStart) {
        phi += kCycle;
    }
    while (phi >= kSpiralEnd) {
        phi -= kCycle;
    }
    return phi;
}

int Coordinate(long double value) {
    return static_cast<int>(RoundToInt64(value));
}

void MoveToAngle(TRaster& picture, long double phi, int shift) {
    const TDiagramPoint p =
        ValveDiagramPoint(picture.width(), picture.height(), static_cast<double>(phi), shift);
    picture.moveTo(p.X, p.Y);
}

void LineToAngle(TRaster& picture, long double phi, int shift) {
    const TDiagramPoint p =
        ValveDiagramPoint(picture.width(), picture.height(), static_cast<double>(phi), shift);
    picture.lineTo(p.X, p.Y);
}

// A polyline along the spiral from phi1 to phi2 (phi1 <= phi2, both on the
// spiral) with a vertex at every whole degree, end pixel included.
void SpiralPath(TRaster& picture, long double phi1, long double phi2, int shift) {
    MoveToAngle(picture, phi1, shift);
    for (long double phi = std::floor(phi1) + 1; phi < phi2; phi += 1) {
        LineToAngle(picture, phi, shift);
    }
    LineToAngle(picture, phi2, shift);
    const int x = picture.penX();
    const int y = picture.penY();
    picture.rectangle(x, y, x + 1, y + 1);
}

// An open period as a three-pixel band; one that runs past the inner end of
// the spiral goes on from its outer start.
void OpenPeriod(TRaster& picture, long double opens, long double duration, int shift, TColor color) {
    if (duration <= 0) {
        return;
    }
    picture.setPenColor(color);
    const long double from = OntoSpiral(opens);
    const long double to = from + duration;
    for (int band = -1; band <= 1; ++band) {
        SpiralPath(picture, from, std::min(to, kSpiralEnd), shift + band);
        if (to > kSpiralEnd) {
            SpiralPath(picture, kSpiralStart, to - kCycle, shift + band);
        }
    }
}

void Tick(TRaster& picture, long double phi, TColor color) {
    picture.setPenColor(color);
    MoveToAngle(picture, phi, -kTickReach);
    LineToAngle(picture, phi, kTickReach + 1);
}

// The label font has digits only: the dead centres are named by their angles,
// just beyond the outer end of their ticks, clear of the arcs.
void DeadCentreLabel(TRaster& picture, long double phi, std::string_view text) {
    const TDiagramPoint end =
        ValveDiagramPoint(picture.width(), picture.height(), static_cast<double>(phi), kTickReach);
    const bool atTop = std::cos(phi * std::numbers::pi_v<long double> / 180) > 0;
    picture.textOut(end.X + 3, atTop ? end.Y - kFontCellHeight : end.Y + 1, text);
}

}  // namespace

TDiagramPoint ValveDiagramPoint(int W, int H, double phi, int shift) {
    const long double side = std::min(W, H);
    // The outermost label must stay inside a small picture.
    const long double outer = std::min(side * kOuterRadius, side / 2 - kTickReach - kFontCellHeight - 2);
    const long double inner = side * kInnerRadius;
    const long double along = (phi - kSpiralStart) / kCycle;
    const long double radius = outer - along * (outer - inner) + shift;
    const long double radians = phi * std::numbers::pi_v<long double> / 180;
    const int centreX = W / 2;  // the centre pixel, whole
    const int centreY = H / 2;
    return {Coordinate(centreX + radius * std::sin(radians)),
            Coordinate(centreY - radius * std::cos(radians))};
}

void DrawValveDiagram(const TValveDiagramInput& input, TRaster& picture) {
    picture.resize(input.W, input.H);
    const int W = picture.width();
    const int H = picture.height();
    const TValveSummary summary = SummarizeValveTiming(input.Angles);

    // The dead-centre axis through the middle.
    picture.setPenColor(kGrayColor);
    picture.setBrushColor(kWhiteColor);
    picture.setPenStyle(TPenStyle::Dotted);
    picture.moveTo(W / 2, 0);
    picture.lineTo(W / 2, H);
    picture.setPenStyle(TPenStyle::Solid);
    // Labels first: in a small picture the arcs are drawn over them.
    picture.setBrushColor(kWhiteColor);
    picture.setFontColor(kBlackColor);
    DeadCentreLabel(picture, -180, "-180");
    DeadCentreLabel(picture, 0, "0");
    DeadCentreLabel(picture, 180, "180");
    DeadCentreLabel(picture, 360, "360");
    DeadCentreLabel(picture, 540, "540");
    picture.textOut(4, 4, FormatInteger(input.Cylinder));
    picture.setPenColor(kGrayColor);
    SpiralPath(picture, kSpiralStart, kSpiralEnd, 0);

    OpenPeriod(picture, input.Angles.IntakeOpens, summary.IntakeDuration, kIntakeArcShift,
               EventKindColor(ekIntakeValve));
    OpenPeriod(picture, input.Angles.ExhaustOpens, summary.ExhaustDuration, kExhaustArcShift,
               EventKindColor(ekExhaustValve));

    for (const long double deadCentre : {-180.0L, 0.0L, 180.0L, 360.0L, 540.0L}) {
        Tick(picture, deadCentre, kBlackColor);
    }
    const TColor ignitionColor = EventKindColor(ekIgnition);
    const long double ignition = OntoSpiral(input.Angles.Ignition);
    Tick(picture, ignition, ignitionColor);
    const TDiagramPoint spark = ValveDiagramPoint(W, H, static_cast<double>(ignition), 0);
    picture.setPenColor(ignitionColor);
    picture.setBrushColor(ignitionColor);
    picture.rectangle(spark.X - 3, spark.Y - 3, spark.X + 4, spark.Y + 4);
}

}  // namespace morvane
