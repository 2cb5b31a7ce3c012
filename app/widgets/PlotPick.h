#pragma once

// Which curve of a plot lies under the mouse, for the read-out and for clicks.

#include <QPointF>

#include <optional>

class QCPAbstractPlottable;
class QCPAxisRect;
class QCustomPlot;

namespace morvane {

// A point of a curve found near the mouse.
struct TCurvePoint {
    QCPAbstractPlottable* Curve = nullptr;
    double Key = 0;
    double Value = 0;
    double Distance = 0;  // from the mouse, in pixels
};

// The curve nearest pos in pixels: a QCPGraph at the mouse's key, its value
// interpolated between samples; a QCPCurve at its data point nearest the
// mouse. Curves drawn without a pen (band fills) or hidden are taken only when
// no other curve has a point there. Nothing when no curve has one. With a
// panel, only the curves drawn in it.
std::optional<TCurvePoint> NearestCurvePoint(QCustomPlot& plot, QPointF pos,
                                             const QCPAxisRect* panel = nullptr);

// The cycle number (from 1) a curve carries; 0 when it is none.
int CycleOf(const QCPAbstractPlottable& curve);
void SetCycleOf(QCPAbstractPlottable& curve, int cycle);

}  // namespace morvane
