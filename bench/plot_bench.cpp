// The pressure plot's redraw with a recording of 2 500 cycles of 1 441 points,
// offscreen at 900 x 600: as the page draws it (the cycles' min–max band, the
// mean, one highlighted cycle and three event markers) against every cycle
// drawn as a light curve of its own, which is why the page draws the band.

#include <benchmark/benchmark.h>

#include <qcustomplot.h>
#include <QApplication>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "app/widgets/PlotView.h"

namespace {

using namespace morvane;

constexpr int kCycles = 2500;
constexpr int kPoints = 1441;  // 0..720 ° in half degrees

struct TRecording {
    QVector<double> Angles;
    std::vector<QVector<double>> Cycles;
    QVector<double> Lowest;
    QVector<double> Highest;
    QVector<double> Mean;
};

// Compression around top dead centre and a combustion peak whose height
// varies from cycle to cycle, in bar.
double Pressure(int cycle, double angle) {
    const double compression = 1 + 35 * std::exp(-std::pow((angle - 360) / 45, 2));
    const double burn = (20 + 12 * std::sin(cycle * 0.37)) * std::exp(-std::pow((angle - 375) / 18, 2));
    return compression + burn;
}

TRecording MakeRecording() {
    TRecording recording;
    for (int i = 0; i < kPoints; ++i) {
        recording.Angles << i * 0.5;
    }
    recording.Lowest = QVector<double>(kPoints, 1e9);
    recording.Highest = QVector<double>(kPoints, -1e9);
    recording.Mean = QVector<double>(kPoints, 0);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        QVector<double> pressures(kPoints);
        for (int i = 0; i < kPoints; ++i) {
            pressures[i] = Pressure(cycle, recording.Angles[i]);
            recording.Lowest[i] = std::min(recording.Lowest[i], pressures[i]);
            recording.Highest[i] = std::max(recording.Highest[i], pressures[i]);
            recording.Mean[i] += pressures[i] / kCycles;
        }
        recording.Cycles.push_back(std::move(pressures));
    }
    return recording;
}

QCPGraph* AddCurve(TPlotView& plot, const QVector<double>& keys, const QVector<double>& values,
                   const QPen& pen) {
    QCPGraph* graph = plot.addGraph();
    graph->setData(keys, values, true);
    graph->setPen(pen);
    return graph;
}

// Ignition, intake closing and exhaust opening.
void AddMarkers(TPlotView& plot) {
    for (const double angle : {350.0, 570.0, 130.0}) {
        // Across the whole height, on a logarithmic axis too.
        auto* line = new QCPItemStraightLine(&plot);
        line->point1->setTypeY(QCPItemPosition::ptAxisRectRatio);
        line->point2->setTypeY(QCPItemPosition::ptAxisRectRatio);
        line->point1->setCoords(angle, 0);
        line->point2->setCoords(angle, 1);
        line->setPen(QPen(QColor(0, 120, 0), 0, Qt::DashLine));
    }
}

std::unique_ptr<TPlotView> ShownPlot(std::unique_ptr<TPlotView> plot) {
    plot->setAxisTitles(QStringLiteral("φ"), QStringLiteral("°"), QStringLiteral("p"), QStringLiteral("bar"));
    AddMarkers(*plot);
    plot->resize(900, 600);
    plot->fitHome();
    plot->show();
    plot->replot(QCustomPlot::rpImmediateRefresh);
    return plot;
}

std::unique_ptr<TPlotView> BandPlot(const TRecording& recording) {
    auto plot = std::make_unique<TPlotView>();
    QCPGraph* lowest = AddCurve(*plot, recording.Angles, recording.Lowest, Qt::NoPen);
    QCPGraph* highest = AddCurve(*plot, recording.Angles, recording.Highest, Qt::NoPen);
    highest->setBrush(QColor(180, 200, 230, 120));
    highest->setChannelFillGraph(lowest);
    highest->setName(QStringLiteral("rozsah cyklů"));
    AddCurve(*plot, recording.Angles, recording.Mean, QPen(Qt::black, 1.5))
        ->setName(QStringLiteral("průměr"));
    QCPGraph* highlighted = AddCurve(*plot, recording.Angles, recording.Cycles[16], QPen(Qt::red, 1.5));
    TPlotView::setCycleOf(highlighted, 17);
    highlighted->setName(QStringLiteral("cyklus 17"));
    return ShownPlot(std::move(plot));
}

std::unique_ptr<TPlotView> AllCyclesPlot(const TRecording& recording) {
    auto plot = std::make_unique<TPlotView>();
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        TPlotView::setCycleOf(
            AddCurve(*plot, recording.Angles, recording.Cycles[cycle], QColor(170, 170, 170)), cycle + 1);
    }
    AddCurve(*plot, recording.Angles, recording.Mean, QPen(Qt::black, 1.5))
        ->setName(QStringLiteral("průměr"));
    return ShownPlot(std::move(plot));
}

const TRecording& Recording() {
    static const TRecording kRecording = MakeRecording();
    return kRecording;
}

void BM_PressurePlotBand(benchmark::State& state) {
    const std::unique_ptr<TPlotView> plot = BandPlot(Recording());
    for (auto _ : state) {
        plot->replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(BM_PressurePlotBand)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PressurePlotAllCycles(benchmark::State& state) {
    const std::unique_ptr<TPlotView> plot = AllCyclesPlot(Recording());
    for (auto _ : state) {
        plot->replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(BM_PressurePlotAllCycles)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
