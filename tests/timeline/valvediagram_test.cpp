#include "timeline/ValveDiagram.h"

#include <gtest/gtest.h>

#include "events/EngineEvent.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"

namespace morvane {
namespace {

// The first worked example: intake -31 .. 243, exhaust 463 .. 749, ignition 340.
TRaster ExampleDiagram(int w, int h) {
    TValveDiagramInput input;
    input.W = w;
    input.H = h;
    input.Angles = {340, -31, 243, 463, 749};
    TRaster picture;
    DrawValveDiagram(input, picture);
    return picture;
}

TEST(ValveDiagramTest, MarksAndArcsWhereTheAnglesSay) {
    const TColor intake = EventKindColor(ekIntakeValve);
    const TColor exhaust = EventKindColor(ekExhaustValve);
    struct TProbe {
        const char* What;
        double Phi;
        int Shift;
        TColor Color;
    };
    const TProbe probes[] = {
        {"gas-exchange top dead centre", 0, kTickReach - 1, kBlackColor},
        {"firing top dead centre", 360, -kTickReach + 1, kBlackColor},
        {"bottom dead centres", -180, kTickReach, kBlackColor},
        {"", 180, 2, kBlackColor},
        {"", 540, -2, kBlackColor},
        {"intake centreline", 106, kIntakeArcShift, intake},
        {"intake opening", -31, kIntakeArcShift + 1, intake},
        {"intake closing", 243, kIntakeArcShift - 1, intake},
        {"exhaust centreline", 606 - 720, kExhaustArcShift, exhaust},
        {"exhaust before the end of the spiral", 500, kExhaustArcShift, exhaust},
        {"exhaust closing", 29, kExhaustArcShift, exhaust},
        {"overlap: intake outside", -10, kIntakeArcShift, intake},
        {"overlap: exhaust inside", -10, kExhaustArcShift, exhaust},
        {"ignition", 340, 0, kRedColor},
        {"track with nothing open", 300, 0, kGrayColor},
        {"inside the track, nothing drawn", 300, kExhaustArcShift, kWhiteColor},
        {"outside the intake, nothing drawn", 106, kIntakeArcShift + 3, kWhiteColor},
    };
    for (const auto& [w, h] : {std::pair{360, 360}, std::pair{500, 300}}) {
        const TRaster picture = ExampleDiagram(w, h);
        ASSERT_EQ(picture.width(), w);
        for (const TProbe& probe : probes) {
            SCOPED_TRACE(std::string(probe.What) + " at " + std::to_string(probe.Phi) + ", " +
                         std::to_string(w));
            const TDiagramPoint p = ValveDiagramPoint(w, h, probe.Phi, probe.Shift);
            EXPECT_EQ(picture.pixel(p.X, p.Y), probe.Color);
        }
    }
}

TEST(ValveDiagramTest, TinyPicturesAndFarAnglesDrawWithoutFailing) {
    TValveDiagramInput input;
    input.W = 0;
    input.H = 1;
    input.Angles = {1e300, -1e300, 1e300, 0, 720};
    TRaster picture;
    DrawValveDiagram(input, picture);
    EXPECT_EQ(picture.width(), 1);
}

}  // namespace
}  // namespace morvane
