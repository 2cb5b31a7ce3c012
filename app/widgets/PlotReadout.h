#pragma once

// The read-out of a plot: a cross-hair through the mouse, a tracer on the
// curve nearest it and a small label with the point's key and value in the
// axis rect's top-left corner. Drawn on a layer of its own, so following the
// mouse redraws only that layer.

#include <qcustomplot.h>
#include <QLocale>
#include <QPointer>
#include <QString>

#include <array>

#include "app/widgets/PlotPick.h"

namespace morvane {

// The names and units of a plot's two axes.
struct TAxisTitles {
    QString KeyName;
    QString KeyUnit;
    QString ValueName;
    QString ValueUnit;
};

// "Tlak [bar]"; the name alone without a unit.
QString AxisTitle(const QString& name, const QString& unit);

// "Tlak [bar]" back into its name and unit; the whole title as the name without one.
void SplitAxisTitle(const QString& title, QString& name, QString& unit);

// Up to four significant digits, no exponent and no group separator.
QString ReadoutNumber(double value, const QLocale& locale);

// "φ = 372,5 °   p = 45,21 bar   cyklus 17": the curve's cycle number, or its
// name when it is a named curve other than a cycle.
QString ReadoutText(const TAxisTitles& titles, double key, double value, const QCPAbstractPlottable* curve,
                    const QLocale& locale);

class TPlotReadout {
public:
    explicit TPlotReadout(QCustomPlot& plot);

    // Shows the read-out for the mouse at pos over the axis rect.
    void show(QPointF pos, TAxisTitles titles, const QLocale& locale);
    void hide();
    bool shown() const { return m_layer->visible(); }
    const QString& text() const { return m_text; }

private:
    // The items again when the page has cleared the plot's items.
    void makeItems();
    void redraw();

    QCustomPlot& m_plot;
    QCPLayer* m_layer;
    QCPItemStraightLine* m_vertical = nullptr;
    QCPItemStraightLine* m_horizontal = nullptr;
    QCPItemTracer* m_tracer = nullptr;
    QCPItemText* m_label = nullptr;
    // Null once the plot has deleted the item.
    std::array<QPointer<QObject>, 4> m_alive;
    QString m_text;
};

}  // namespace morvane
