#pragma once

// Every cylinder's mean pressure on its own angle (its firing top dead centre
// at 360°), overlaid in distinct colours with a legend, and one cylinder's
// events from the event list — ignition, intake closing, exhaust opening — as
// vertical dotted markers in the colours of the timeline's kinds. The angle
// axis runs 0..720° with a label every 90°; the pressure axis has round limits;
// the legend names each cylinder by its number, the selected one with a bar.

#include <vector>

#include "events/EngineEvent.h"
#include "signal/Signal.h"
#include "util/mathutil.h"

namespace morvane {

class TRaster;

constexpr int kPressurePictureWidth = 720;
constexpr int kPressurePictureHeight = 400;

// An event of one cylinder on its own angle, 0 <= Angle < 720.
struct TPictureEvent {
    double Angle = 0;
    int Kind = ekIgnition;  // a TEventKind value
};

// The colour of cylinder number (from 1) in the picture and its legend.
TColor CylinderColor(int cylinder);

// The events of cylinder (from 1) that the picture marks, from the event list
// (as CreateEvents names them), moved onto the cylinder's own angle by its
// offset [°].
std::vector<TPictureEvent> CylinderPictureEvents(const TEventList& events, int cylinder, double offset);

// Repaints the picture at its size: means[k] is cylinder k + 1's mean pressure [bar].
void DrawCylinderPressures(const std::vector<TSignalTable>& means, const std::vector<TPictureEvent>& events,
                           int selected, TRaster& picture);

}  // namespace morvane
