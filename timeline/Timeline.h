#pragma once

// The timeline picture: signal trace, axis, centre line, event markers and the
// crank-angle cursor, repainted in full from its inputs at every call.

#include <array>
#include <vector>

#include "events/EngineEvent.h"
#include "signal/Signal.h"

namespace morvane {

class TRaster;

struct TTimelineInput {
    int W = 663;                       // picture width in pixels
    int H = 300;                       // picture height in pixels
    std::array<bool, EventKindCount> Visible{true, true, true, true};
    int P = 0;                         // crank-angle slider position, degrees
    int Pmax = 720;                    // its maximum
    int F = 0;                         // filter slider 0..96
    int G = 10;                        // gain slider 10..100
    const TSignalTable* Signal = nullptr;
    const std::vector<TEngineEvent>* Events = nullptr;
};

// Repaints the picture (resized to W x H first when it differs) and writes the
// moving average into trend.
void DrawTimeline(const TTimelineInput& input, TRaster& picture, TSignalTable& trend);

}  // namespace morvane
