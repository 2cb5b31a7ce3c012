#pragma once

// The valve-timing diagram of one cylinder: its 720° cycle as a spiral of two
// turns, the top dead centres at the top and the bottom dead centres at the
// bottom, the intake and exhaust open periods as arcs in the timeline's kind
// colours and the ignition as a red mark.
//
// Crank angle phi runs clockwise from the top. The spiral starts at the bottom
// dead centre before gas exchange (phi = -180) on the outer turn and ends
// there, 720° later, on the inner one; so the overlap around the gas-exchange
// top dead centre lies on one turn, the intake arc outside the track and the
// exhaust arc inside it, side by side.

#include <string>

#include "events/ValveTiming.h"

namespace morvane {

class TRaster;

struct TValveDiagramInput {
    int W = 360;
    int H = 360;
    int Cylinder = 1;  // shown in the caption only
    TValveAngles Angles;
};

// Radial shifts from the spiral track, in pixels: the intake arc runs outside
// it, the exhaust arc inside; each arc is three pixels wide around its shift.
constexpr int kIntakeArcShift = 8;
constexpr int kExhaustArcShift = -8;
// Dead-centre and ignition ticks cross the track from -kTickReach to +kTickReach.
constexpr int kTickReach = 14;

struct TDiagramPoint {
    int X = 0;
    int Y = 0;
};

// The pixel of cycle angle phi (-180 .. 540, not brought in) on the spiral of a
// W x H picture, moved outward by shift pixels.
TDiagramPoint ValveDiagramPoint(int W, int H, double phi, int shift);

// Repaints the picture (resized to W x H first when it differs; sizes below 1
// are drawn as 1).
void DrawValveDiagram(const TValveDiagramInput& input, TRaster& picture);

}  // namespace morvane
