// One keystroke in the global-correction box: the whole recalculation of a
// twelve-cylinder engine's 108 events (cycle time, final angles, sort,
// correction list, event table) and the redraw of the window's 663 x 300
// picture it ends with. Every keystroke runs all of it, so this is what typing
// a correction costs.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <iterator>
#include <string>

#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "events/MainControls.h"
#include "events/Recalculation.h"
#include "signal/Signal.h"
#include "timeline/Raster.h"
#include "timeline/Timeline.h"
#include "util/memorycontrols.h"
#include "util/numtext.h"

namespace {

using namespace morvane;

// The window's controls in memory, with twelve cylinders 60 degrees apart,
// ignition at 350 and the valves at 0 / 180 / 540 / 720, at 3000 RPM.
struct TTwelveCylinderWindow : TMemoryMainControls {
    TTwelveCylinderWindow() {
        MainParameters.setValue(kCylinderCountRow, "12");
        MainParameters.setValue(kSpeedRow, "3000");
        for (int row = 1; row <= kCylinderRows; ++row) {
            CylinderTable.setCellText(OffsetColumn, row, FormatInteger(std::int64_t{60} * (row - 1)));
            CylinderTable.setCellText(IgnitionColumn, row, "350");
            CylinderTable.setCellText(IntakeClosesColumn, row, "180");
            CylinderTable.setCellText(ExhaustOpensColumn, row, "540");
            CylinderTable.setCellText(ExhaustClosesColumn, row, "720");
        }
        Picture.P = 360;
        Picture.F = 1;
        Recalc.DrawTimeline = [this] { DrawSessionTimeline(Session, Picture, Raster); };
    }

    TSession Session;
    TTimelineInput Picture;  // 663 x 300, gain 1, all kinds shown
    TRaster Raster{663, 300};
};

void BM_GlobalCorrectionKeystroke(benchmark::State& state) {
    TTwelveCylinderWindow window;
    for (int i = 0; i < SignalPoints; ++i) {
        window.Session.Signal[static_cast<std::size_t>(i)] = std::sin(i * 3.14159265358979 / 90);
    }
    CreateEventsAndRecalculate(window.CylinderTable, window.Session, window.Recalc);
    const std::size_t events = window.Session.Events.size();
    if (events != 108) {
        state.SkipWithError(("expected 108 events, got " + std::to_string(events)).c_str());
        return;
    }

    // Typing "1", then "15", then "1,5" after deleting, and so on: each text
    // moves every event and so reorders the list.
    const std::string texts[] = {"1", "15", "1,5", "-2,25"};
    std::size_t keystroke = 0;
    for (auto _ : state) {
        GlobalCorrectionChanged(texts[keystroke++ % std::size(texts)], window.Session, window.Recalc);
        benchmark::DoNotOptimize(window.Raster.data());
        benchmark::ClobberMemory();
    }
    state.counters["events"] = static_cast<double>(events);
}
BENCHMARK(BM_GlobalCorrectionKeystroke);

}  // namespace
