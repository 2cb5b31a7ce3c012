#include "app/widgets/PlotPick.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace morvane {

namespace {

constexpr char kCycleProperty[] = "morvaneCycle";

// The graph's value at key, interpolated; nothing outside its keys.
std::optional<double> GraphValueAt(const QCPGraph& graph, double key) {
    const QSharedPointer<QCPGraphDataContainer> data = graph.data();
    const auto after = std::lower_bound(data->constBegin(), data->constEnd(), key,
                                        [](const QCPGraphData& point, double at) { return point.key < at; });
    if (after == data->constEnd()) {
        return std::nullopt;
    }
    if (after->key == key) {
        return after->value;
    }
    if (after == data->constBegin()) {
        return std::nullopt;
    }
    const auto before = after - 1;
    const double t = (key - before->key) / (after->key - before->key);
    return before->value + t * (after->value - before->value);
}

std::optional<TCurvePoint> GraphPoint(QCPGraph& graph, const QCPAxis& keyAxis, QPointF pos) {
    const double key = keyAxis.pixelToCoord(keyAxis.orientation() == Qt::Horizontal ? pos.x() : pos.y());
    const std::optional<double> value = GraphValueAt(graph, key);
    if (!value) {
        return std::nullopt;
    }
    const QPointF pixel = graph.coordsToPixels(key, *value);
    return TCurvePoint{&graph, key, *value, std::hypot(pixel.x() - pos.x(), pixel.y() - pos.y())};
}

std::optional<TCurvePoint> CurvePoint(QCPCurve& curve, QPointF pos) {
    std::optional<TCurvePoint> nearest;
    for (const QCPCurveData& point : *curve.data()) {
        const QPointF pixel = curve.coordsToPixels(point.key, point.value);
        const double distance = std::hypot(pixel.x() - pos.x(), pixel.y() - pos.y());
        if (!nearest || distance < nearest->Distance) {
            nearest = TCurvePoint{&curve, point.key, point.value, distance};
        }
    }
    return nearest;
}

std::optional<TCurvePoint> PointOf(QCPAbstractPlottable& plottable, const QCPAxis& keyAxis, QPointF pos) {
    if (auto* graph = qobject_cast<QCPGraph*>(&plottable)) {
        return GraphPoint(*graph, keyAxis, pos);
    }
    if (auto* curve = qobject_cast<QCPCurve*>(&plottable)) {
        return CurvePoint(*curve, pos);
    }
    return std::nullopt;
}

bool DrawnAsLine(const QCPAbstractPlottable& plottable) {
    return plottable.visible() && plottable.pen().style() != Qt::NoPen;
}

}  // namespace

std::optional<TCurvePoint> NearestCurvePoint(QCustomPlot& plot, QPointF pos, const QCPAxisRect* panel) {
    std::optional<TCurvePoint> best;
    bool bestDrawn = false;
    for (int i = 0; i < plot.plottableCount(); ++i) {
        QCPAbstractPlottable& plottable = *plot.plottable(i);
        const QCPAxis* keyAxis = plottable.keyAxis();
        if (keyAxis == nullptr || plottable.valueAxis() == nullptr ||
            (panel != nullptr && keyAxis->axisRect() != panel)) {
            continue;
        }
        const std::optional<TCurvePoint> point = PointOf(plottable, *keyAxis, pos);
        if (!point) {
            continue;
        }
        const bool drawn = DrawnAsLine(plottable);
        // A curve drawn as a line beats any fill or hidden curve.
        if (!best || (drawn && !bestDrawn) || (drawn == bestDrawn && point->Distance < best->Distance)) {
            best = point;
            bestDrawn = drawn;
        }
    }
    return best;
}

int CycleOf(const QCPAbstractPlottable& curve) {
    return curve.property(kCycleProperty).toInt();
}

void SetCycleOf(QCPAbstractPlottable& curve, int cycle) {
    curve.setProperty(kCycleProperty, cycle);
}

}  // namespace morvane
