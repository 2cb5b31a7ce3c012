// The page "Spalování" shown with a recording of 2 500 cycles of 1 441 points:
// from the cycle the import hands over to the page painted (every figure, the
// cycle table, the five plots), offscreen in the window at its first size;
// beside it the same page with the mean alone, which is what the cycles cost.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>

#include <cmath>
#include <memory>

#include "app/pages/CombustionPage.h"
#include "app/window/uMain.h"

namespace {

using namespace morvane;

constexpr int kCycles = 2500;

// Compression around top dead centre and a combustion peak whose height
// varies from cycle to cycle, in bar.
double Pressure(int cycle, double angle) {
    const double compression = 1 + 35 * std::exp(-std::pow((angle - 360) / 45, 2));
    const double burn = (20 + 12 * std::sin(cycle * 0.37)) * std::exp(-std::pow((angle - 375) / 18, 2));
    return compression + burn;
}

std::shared_ptr<const TPressureCycle> MakeRecording(int cycles) {
    auto recording = std::make_shared<TPressureCycle>();
    recording->Source = "synthetic.csv";
    for (int cycle = 0; cycle < cycles; ++cycle) {
        TSignalTable& trace = recording->Cycles.emplace_back();
        for (int point = 0; point < SignalPoints; ++point) {
            trace[point] = Pressure(cycle, point * 0.5);
            recording->Mean[point] += trace[point] / cycles;
        }
    }
    if (cycles == 0) {
        for (int point = 0; point < SignalPoints; ++point) {
            recording->Mean[point] = Pressure(0, point * 0.5);
        }
    }
    return recording;
}

void ShowRecording(benchmark::State& state, int cycles) {
    TFMain window;
    window.show();
    auto* pages = window.findChild<QTabWidget*>("PageControl1");
    pages->setCurrentIndex(pages->count() - 1);
    auto* page = window.findChild<TCombustionPage*>("CombustionPage");
    const std::shared_ptr<const TPressureCycle> recording = MakeRecording(cycles);
    for (auto _ : state) {
        window.session().PressureCycle = recording;
        page->refreshFromSession(TSessionChange::CycleImported);
        // The plots redraw from the event loop, as they do for the user.
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(page->grab());
    }
}

void BM_PageShowsRecording(benchmark::State& state) {
    ShowRecording(state, kCycles);
}
BENCHMARK(BM_PageShowsRecording)->Unit(benchmark::kMillisecond);

void BM_PageShowsMeanOnly(benchmark::State& state) {
    ShowRecording(state, 0);
}
BENCHMARK(BM_PageShowsMeanOnly)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
