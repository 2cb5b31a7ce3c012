#include "app/widgets/PlotKeys.h"

#include <qcustomplot.h>

#include <cmath>

namespace morvane {

namespace {

constexpr double kKeyZoomFactor = 0.8;
constexpr double kKeyPanFraction = 0.1;

bool IsLogarithmic(const QCPAxis& axis) {
    return axis.scaleType() == QCPAxis::stLogarithmic;
}

}  // namespace

void ZoomAxis(QCPAxis& axis, double factor) {
    const QCPRange range = axis.range();
    const double centre = IsLogarithmic(axis) ? std::sqrt(range.lower * range.upper) : range.center();
    axis.scaleRange(factor, centre);
    KeepAxisPositive(axis);
}

void PanAxis(QCPAxis& axis, double fraction) {
    const QCPRange range = axis.range();
    if (IsLogarithmic(axis)) {
        const double factor = std::pow(range.upper / range.lower, fraction);
        axis.setRange(range.lower * factor, range.upper * factor);
    } else {
        axis.moveRange(fraction * range.size());
    }
    KeepAxisPositive(axis);
}

QCPRange WidenedRange(const QCPAxis& axis, double fraction) {
    const QCPRange range = axis.range();
    if (IsLogarithmic(axis) && range.lower > 0) {
        const double factor = std::pow(range.upper / range.lower, fraction);
        return QCPRange(range.lower / factor, range.upper * factor);
    }
    const double margin = fraction * range.size();
    return QCPRange(range.lower - margin, range.upper + margin);
}

void KeepAxisPositive(QCPAxis& axis) {
    const QCPRange range = axis.range();
    if (!IsLogarithmic(axis) || range.lower > 0) {
        return;
    }
    // Three decades below the top, as the library keeps a range crossing zero.
    axis.setRange(range.upper > 0 ? QCPRange(range.upper * 1e-3, range.upper) : QCPRange(1e-3, 1));
}

bool IsPlotKey(int key, Qt::KeyboardModifiers modifiers) {
    switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
        case Qt::Key_Minus:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_Up:
        case Qt::Key_Home:
            return !modifiers.testFlag(Qt::AltModifier) && !modifiers.testFlag(Qt::MetaModifier);
        default:
            return false;
    }
}

bool NavigateByKey(QCPAxis& keyAxis, QCPAxis& valueAxis, int key, Qt::KeyboardModifiers modifiers) {
    if (!IsPlotKey(key, modifiers)) {
        return false;
    }
    QCPAxis& zoomed = modifiers.testFlag(Qt::ControlModifier) ? valueAxis : keyAxis;
    switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomAxis(zoomed, kKeyZoomFactor);
            return true;
        case Qt::Key_Minus:
            ZoomAxis(zoomed, 1 / kKeyZoomFactor);
            return true;
        case Qt::Key_Left:
            PanAxis(keyAxis, -kKeyPanFraction);
            return true;
        case Qt::Key_Right:
            PanAxis(keyAxis, kKeyPanFraction);
            return true;
        case Qt::Key_Down:
            PanAxis(valueAxis, -kKeyPanFraction);
            return true;
        case Qt::Key_Up:
            PanAxis(valueAxis, kKeyPanFraction);
            return true;
        default:
            return false;
    }
}

}  // namespace morvane
