#include "timeline/Timeline.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "timeline/Raster.h"
#include "util/mathutil.h"
#include "util/numtext.h"

namespace morvane {

namespace {

// Pixel coordinates are kept within this magnitude, so that a marker at an
// absurd angle (a correction of 1e300) lands far off the picture instead of
// overflowing, and the offsets added to it (box, label) stay within 32 bits.
constexpr std::int64_t kSafeCoordinate = std::int64_t{1} << 30;

// Rounds to the nearest integer, ties to even, and clamps into the safe range.
// The clamp comes first, so the conversion (under the default rounding mode,
// nearest-even) always has an integer range to land in.
std::int64_t RoundCoordinate(long double value) {
    constexpr long double kLimit = kSafeCoordinate;
    if (!(value >= -kLimit)) {  // also NaN
        return -kSafeCoordinate;
    }
    if (value > kLimit) {
        return kSafeCoordinate;
    }
    return std::llrint(value);
}

int ClampCoordinate(std::int64_t value) {
    return static_cast<int>(std::clamp(value, -kSafeCoordinate, kSafeCoordinate));
}

// Marker lane of each kind: the stem length d.
int LaneOffset(int kind) {
    return 30 * kind + 20;
}

void DrawTrace(TRaster& picture, const TSignalTable& signal, const TSignalTable& trend, int W, int y0,
               double g) {
    picture.setPenColor(kBlackColor);
    picture.moveTo(0, y0);
    for (int i = 0; i < SignalPoints; ++i) {
        const int px = TraceColumn(i, W);
        const long double swing = (static_cast<long double>(signal[static_cast<std::size_t>(i)]) -
                                   static_cast<long double>(trend[static_cast<std::size_t>(i)])) *
                                  y0 * g;
        const int py = ClampCoordinate(std::int64_t{y0} - RoundCoordinate(swing));
        picture.lineTo(px, py);
    }
}

void DrawMarker(TRaster& picture, const TEngineEvent& event, std::int64_t n, int P, int W, int y0) {
    const int kind = event.Kind;
    const TColor kindColor = EventKindColor(kind);
    const int d = LaneOffset(kind);
    picture.setPenColor(kindColor);
    if (static_cast<double>(P) >= event.FinalAngle) {
        picture.setBrushColor(kindColor);
        picture.setFontColor(kWhiteColor);
    } else {
        picture.setBrushColor(kWhiteColor);
        picture.setFontColor(kindColor);
    }
    const std::string label = FormatEventNumber(n);
    const int x = MarkerColumn(event.FinalAngle, W);

    picture.moveTo(x, y0);
    if (n % 2 == 0) {
        picture.lineTo(x, y0 - d - 1);
        picture.rectangle(x - 10, y0 - d, x + 10, y0 - d - 20);
        picture.textOut(x - 6, y0 - d - 17, label);
    } else {
        picture.lineTo(x, y0 + d + 1);
        picture.rectangle(x - 10, y0 + d, x + 10, y0 + d + 20);
        picture.textOut(x - 6, y0 + d + 3, label);
    }
}

}  // namespace

TColor EventKindColor(int kind) {
    return ValueToColor(kind / 3.0);
}

int TraceColumn(int i, int W) {
    return ClampCoordinate(RoundCoordinate(static_cast<long double>(std::int64_t{i} * W) / 1440));
}

int MarkerColumn(double finalAngle, int W) {
    return ClampCoordinate(
        RoundCoordinate(static_cast<long double>(std::int64_t{W} - 2) * finalAngle / 720 + 1));
}

int CursorColumn(int P, int Pmax, int W) {
    if (Pmax <= 0) {
        return 1;
    }
    return ClampCoordinate(RoundCoordinate(static_cast<long double>((std::int64_t{W} - 2) * P) / Pmax + 1));
}

void ComputeMovingAverage(const TSignalTable& signal, int F, TSignalTable& trend) {
    std::int64_t a = 100 - std::int64_t{F};
    if (a >= 100) {
        trend.fill(0.0);
        return;
    }
    a = std::max<std::int64_t>(a, 0);
    // Writing trend while reading signal needs a copy when they are one table.
    TSignalTable copy;
    const TSignalTable* source = &signal;
    if (&signal == &trend) {
        copy = signal;
        source = &copy;
    }
    const long double divisor = static_cast<long double>(2 * a + 1);
    const std::int64_t last = SignalPoints - 1;
    for (std::int64_t i = 0; i <= last; ++i) {
        // Entries beyond either end are skipped: they count as 0 in the sum
        // but not in the divisor.
        const std::int64_t from = std::max<std::int64_t>(i - a, 0);
        const std::int64_t to = std::min(i + a, last);
        double sum = 0;
        for (std::int64_t j = from; j <= to; ++j) {
            sum += (*source)[static_cast<std::size_t>(j)];
        }
        trend[static_cast<std::size_t>(i)] = static_cast<double>(sum / divisor);
    }
}

void DrawTimeline(const TTimelineInput& input, TRaster& picture, TSignalTable& trend) {
    static const TSignalTable kNoSignal{};
    const int W = std::max(input.W, 1);
    const int H = std::max(input.H, 1);
    if (picture.width() != W || picture.height() != H) {
        picture.resize(W, H);
    }
    const int y0 = H / 2;
    const int xMid = W / 2;
    const TSignalTable& signal = input.Signal != nullptr ? *input.Signal : kNoSignal;

    // Background and frame.
    picture.setPenStyle(TPenStyle::Solid);
    picture.setPenColor(kBlackColor);
    picture.setBrushColor(kWhiteColor);
    picture.rectangle(0, 0, W, H);

    ComputeMovingAverage(signal, input.F, trend);
    const double g = static_cast<double>(static_cast<long double>(input.G) / 10);
    DrawTrace(picture, signal, trend, W, y0, g);

    // Axis over the trace, then the dotted centre line with white gaps.
    picture.setPenColor(kGrayColor);
    picture.moveTo(1, y0);
    picture.lineTo(W - 1, y0);
    picture.setPenStyle(TPenStyle::Dotted);
    picture.moveTo(xMid, 1);
    picture.lineTo(xMid, H - 1);
    picture.setPenStyle(TPenStyle::Solid);

    if (input.Events != nullptr) {
        std::int64_t n = 0;
        for (const TEngineEvent& event : *input.Events) {
            // Hidden events keep their index, so the labels match the event table.
            if (event.Kind < kEventKindCount && input.Visible[event.Kind]) {
                DrawMarker(picture, event, n, input.P, W, y0);
            }
            ++n;
        }
    }

    picture.setPenColor(kRedColor);
    const int cursor = CursorColumn(input.P, input.Pmax, W);
    picture.moveTo(cursor, 1);
    picture.lineTo(cursor, H - 1);
}

void DrawSessionTimeline(TSession& session, TTimelineInput settings, TRaster& picture) {
    settings.Signal = &session.Signal;
    settings.Events = &session.Events;
    DrawTimeline(settings, picture, session.SignalTrend);
}

}  // namespace morvane
