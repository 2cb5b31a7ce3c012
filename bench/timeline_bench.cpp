// The timeline redraw against the moving average alone: the redraw of the
// window's picture (663 x 300, twelve cylinders' events, the filter at its
// widest) should cost at most three times the bare moving average.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "timeline/Raster.h"
#include "timeline/Timeline.h"

namespace {

using namespace morvane;

TSignalTable FullScaleSine() {
    TSignalTable signal{};
    for (int i = 0; i < SignalPoints; ++i) {
        signal[static_cast<std::size_t>(i)] = std::sin(i * 3.14159265358979 / 90);
    }
    return signal;
}

// Per cylinder: four piston dead centres, the ignition and four valve events,
// the cylinders 60 degrees apart; sorted by angle as after a recalculation.
std::vector<TEngineEvent> TwelveCylinderEvents() {
    const std::pair<std::uint8_t, double> pattern[] = {
        {ekPiston, 0},        {ekPiston, 180},       {ekPiston, 360},
        {ekPiston, 540},      {ekIgnition, 350},     {ekIntakeValve, 0},
        {ekIntakeValve, 180}, {ekExhaustValve, 540}, {ekExhaustValve, 720},
    };
    std::vector<TEngineEvent> events;
    for (int cylinder = 0; cylinder < 12; ++cylinder) {
        for (const auto& [kind, angle] : pattern) {
            const double finalAngle = std::fmod(angle + 60.0 * cylinder, 720.0);
            events.push_back(TEngineEvent{
                .Name = "E", .Kind = kind, .NominalAngle = angle, .FinalAngle = finalAngle, .Correction = 0});
        }
    }
    std::stable_sort(events.begin(), events.end(), [](const TEngineEvent& a, const TEngineEvent& b) {
        return a.FinalAngle < b.FinalAngle;
    });
    return events;
}

void BM_DrawTimeline(benchmark::State& state) {
    const TSignalTable signal = FullScaleSine();
    const std::vector<TEngineEvent> events = TwelveCylinderEvents();
    TTimelineInput input;
    input.W = 663;
    input.H = 300;
    input.P = 360;
    input.F = 1;
    input.G = 10;
    input.Signal = &signal;
    input.Events = &events;
    TRaster picture(663, 300);
    TSignalTable trend{};
    for (auto _ : state) {
        DrawTimeline(input, picture, trend);
        benchmark::DoNotOptimize(picture.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DrawTimeline);

void BM_MovingAverage(benchmark::State& state) {
    const TSignalTable signal = FullScaleSine();
    TSignalTable trend{};
    for (auto _ : state) {
        ComputeMovingAverage(signal, 1, trend);
        benchmark::DoNotOptimize(trend.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MovingAverage);

}  // namespace
