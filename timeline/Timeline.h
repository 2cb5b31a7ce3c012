#pragma once

// The timeline picture: signal trace, axis, centre line, event markers and the
// crank-angle cursor, repainted in full from its inputs at every call.

#include <array>
#include <vector>

#include "events/EngineEvent.h"
#include "events/Session.h"
#include "signal/Signal.h"
#include "util/mathutil.h"

namespace morvane {

class TRaster;

struct TTimelineInput {
    int W = 663;  // picture width in pixels
    int H = 300;  // picture height in pixels
    std::array<bool, kEventKindCount> Visible{true, true, true, true};
    int P = 0;       // crank-angle slider position, degrees
    int Pmax = 720;  // its maximum
    int F = 0;       // filter slider 0..96
    int G = 10;      // gain slider 10..100
    const TSignalTable* Signal = nullptr;
    const TEventList* Events = nullptr;
};

// Repaints the picture (resized to W x H first when it differs) and writes the
// moving average into trend. Never fails: coordinates far outside the picture
// (an angle of 1e300) are clipped, a missing signal counts as all 0 and a
// missing event list as empty, Pmax <= 0 puts the cursor on column 1, and
// sizes below 1 are drawn as 1.
void DrawTimeline(const TTimelineInput& input, TRaster& picture, TSignalTable& trend);

// The one way a session is drawn: its signal and events with the controls'
// settings (the pointers of settings are ignored); the moving average becomes
// the session's SignalTrend.
void DrawSessionTimeline(TSession& session, TTimelineInput settings, TRaster& picture);

// The display filter: with a = 100 - F, trend[i] is the sum of signal[i - a]
// .. signal[i + a] (entries outside the table skipped, added in increasing
// order into a double) divided by 2a + 1, also near the ends. a >= 100 (the
// slider at 0) gives all 0; F above 100 is taken as 100 (a = 0). signal and
// trend may be the same table.
void ComputeMovingAverage(const TSignalTable& signal, int F, TSignalTable& trend);

// The colour of an event kind's markers, shared by every picture that shows
// events: pistons blue, intake green-blue, exhaust yellow-green, ignition red.
TColor EventKindColor(int kind);

// The columns of the picture's two horizontal scales, rounded to nearest, ties
// to even, and kept within +-2^30 so that an absurd angle lands far off the
// picture. The trace maps sample i (0..1440) onto columns 0..W; markers and
// the cursor map 0..720 degrees onto columns 1..W - 1.
int TraceColumn(int i, int W);
int MarkerColumn(double finalAngle, int W);
// Pmax <= 0 has no scale: the cursor then stays on column 1.
int CursorColumn(int P, int Pmax, int W);

}  // namespace morvane
