// Draws the two-cylinder example over a sine with the cursor at 360 degrees and
// saves it as a PNG, for a look by eye: timeline_sample OUTPUT.png [W H F G].

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "timeline/PngWriter.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"

namespace {

using namespace morvane;

std::uint8_t KindOfName(std::string_view name) {
    if (name.find("Zapalování") != std::string_view::npos) {
        return ekIgnition;
    }
    if (name.find(" SV ") != std::string_view::npos) {
        return ekIntakeValve;
    }
    if (name.find(" VV ") != std::string_view::npos) {
        return ekExhaustValve;
    }
    return ekPiston;
}

std::vector<TEngineEvent> TwoCylinderEvents() {
    const std::pair<double, const char*> table[] = {
        {0, "Píst 1 - HU"},          {0, "Píst 1 - SV otvírá"},   {180, "Píst 2 - DU"},
        {180, "Píst 1 - DU"},        {180, "Píst 1 - SV zavírá"}, {180, "Píst 2 - VV otvírá"},
        {350, "Zapalování 1"},       {360, "Píst 2 - HU"},        {360, "Píst 1 - HU"},
        {360, "Píst 2 - SV otvírá"}, {360, "Píst 2 - VV zavírá"}, {540, "Píst 1 - VV otvírá"},
        {540, "Píst 2 - SV zavírá"}, {540, "Píst 1 - DU"},        {540, "Píst 2 - DU"},
        {710, "Zapalování 2"},       {720, "Píst 1 - VV zavírá"}, {720, "Píst 2 - HU"},
    };
    std::vector<TEngineEvent> events;
    for (const auto& [angle, name] : table) {
        events.push_back(TEngineEvent{.Name = name,
                                      .Kind = KindOfName(name),
                                      .NominalAngle = angle,
                                      .FinalAngle = angle,
                                      .Correction = 0});
    }
    return events;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 6) {
        std::fprintf(stderr, "usage: %s OUTPUT.png [W H F G]\n", argv[0]);
        return 2;
    }
    TSignalTable signal{};
    for (int i = 0; i < SignalPoints; ++i) {
        signal[static_cast<std::size_t>(i)] =
            0.6 * std::sin(i * 3.14159265358979 / 180) + 0.3 * std::sin(i / 100.0);
    }
    const std::vector<TEngineEvent> events = TwoCylinderEvents();
    TTimelineInput input;
    input.P = 360;
    input.Signal = &signal;
    input.Events = &events;
    if (argc == 6) {
        input.W = std::atoi(argv[2]);
        input.H = std::atoi(argv[3]);
        input.F = std::atoi(argv[4]);
        input.G = std::atoi(argv[5]);
    }
    TRaster picture;
    TSignalTable trend{};
    try {
        DrawTimeline(input, picture, trend);
        WritePng(picture, argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
