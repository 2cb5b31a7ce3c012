#include "app/widgets/PlotReadout.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

namespace morvane {

namespace {

constexpr int kSignificantDigits = 4;
const QString kPartSeparator = QStringLiteral("   ");

QString Quantity(const QString& name, double value, const QString& unit, const QLocale& locale) {
    QString text = name + QStringLiteral(" = ") + ReadoutNumber(value, locale);
    return unit.isEmpty() ? text : text + u' ' + unit;
}

QPen CrossHairPen() {
    return QPen(QColor(90, 90, 90), 0, Qt::DashLine);
}

}  // namespace

QString AxisTitle(const QString& name, const QString& unit) {
    return unit.isEmpty() ? name : name + QStringLiteral(" [") + unit + u']';
}

QString ReadoutNumber(double value, const QLocale& locale) {
    const double size = std::fabs(value);
    if (size < 1e-12) {
        return locale.toString(0);
    }
    // Decimals for four significant digits; whole numbers from 10 000 on
    // rather than an exponent.
    const int magnitude = static_cast<int>(std::floor(std::log10(size)));
    const int decimals = std::max(0, kSignificantDigits - 1 - magnitude);
    QString text = locale.toString(value, 'f', decimals);
    if (decimals > 0) {
        while (text.endsWith(u'0')) {
            text.chop(1);
        }
        if (text.endsWith(locale.decimalPoint())) {
            text.chop(locale.decimalPoint().size());
        }
    }
    return text;
}

QString ReadoutText(const TAxisTitles& titles, double key, double value, const QCPAbstractPlottable* curve,
                    const QLocale& locale) {
    QString text = Quantity(titles.KeyName, key, titles.KeyUnit, locale) + kPartSeparator +
                   Quantity(titles.ValueName, value, titles.ValueUnit, locale);
    if (curve == nullptr) {
        return text;
    }
    if (const int cycle = CycleOf(*curve); cycle > 0) {
        return text + kPartSeparator + QStringLiteral("cyklus ") + QString::number(cycle);
    }
    return curve->name().isEmpty() ? text : text + kPartSeparator + curve->name();
}

void SplitAxisTitle(const QString& title, QString& name, QString& unit) {
    const qsizetype open = title.lastIndexOf(QStringLiteral(" ["));
    if (open < 0 || !title.endsWith(']')) {
        name = title;
        unit.clear();
        return;
    }
    name = title.left(open);
    unit = title.mid(open + 2, title.size() - open - 3);
}

TPlotReadout::TPlotReadout(QCustomPlot& plot) : m_plot(plot) {
    plot.addLayer(QStringLiteral("readout"), plot.layer(QStringLiteral("main")), QCustomPlot::limAbove);
    m_layer = plot.layer(QStringLiteral("readout"));
    m_layer->setMode(QCPLayer::lmBuffered);
    makeItems();
    m_layer->setVisible(false);
}

void TPlotReadout::makeItems() {
    if (std::none_of(m_alive.begin(), m_alive.end(),
                     [](const QPointer<QObject>& item) { return item.isNull(); })) {
        return;
    }
    for (const QPointer<QObject>& item : m_alive) {
        if (auto* survivor = qobject_cast<QCPAbstractItem*>(item.data())) {
            m_plot.removeItem(survivor);
        }
    }
    m_vertical = new QCPItemStraightLine(&m_plot);
    m_horizontal = new QCPItemStraightLine(&m_plot);
    for (QCPItemStraightLine* line : {m_vertical, m_horizontal}) {
        line->setPen(CrossHairPen());
        line->point1->setType(QCPItemPosition::ptAbsolute);
        line->point2->setType(QCPItemPosition::ptAbsolute);
    }
    m_tracer = new QCPItemTracer(&m_plot);
    m_tracer->setStyle(QCPItemTracer::tsCircle);
    m_tracer->setSize(7);
    m_tracer->setPen(QPen(Qt::black, 1.5));
    m_label = new QCPItemText(&m_plot);
    m_label->position->setType(QCPItemPosition::ptAbsolute);
    m_label->setPositionAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_label->setTextAlignment(Qt::AlignLeft);
    m_label->setPadding(QMargins(4, 2, 4, 2));
    m_label->setBrush(QColor(255, 255, 255, 220));
    m_label->setPen(QPen(QColor(170, 170, 170)));
    const std::array<QCPAbstractItem*, 4> items = {m_vertical, m_horizontal, m_tracer, m_label};
    for (std::size_t i = 0; i < items.size(); ++i) {
        items[i]->setLayer(m_layer);
        items[i]->setSelectable(false);
        items[i]->setClipAxisRect(m_plot.axisRect());
        m_alive[i] = items[i];
    }
}

void TPlotReadout::show(QPointF pos, TAxisTitles titles, const QLocale& locale) {
    makeItems();
    // A plot of stacked panels reads the panel under the mouse, by its own axis title.
    QCPAxisRect* panel = m_plot.axisRectAt(pos);
    panel = panel != nullptr ? panel : m_plot.axisRect();
    const std::optional<TCurvePoint> point = NearestCurvePoint(m_plot, pos, panel);
    QCPAxis* keyAxis = point ? point->Curve->keyAxis() : panel->axis(QCPAxis::atBottom);
    QCPAxis* valueAxis = point ? point->Curve->valueAxis() : panel->axis(QCPAxis::atLeft);
    if (valueAxis != m_plot.yAxis) {
        SplitAxisTitle(valueAxis->label(), titles.ValueName, titles.ValueUnit);
    }
    for (QCPAbstractItem* item :
         {static_cast<QCPAbstractItem*>(m_vertical), static_cast<QCPAbstractItem*>(m_horizontal),
          static_cast<QCPAbstractItem*>(m_tracer), static_cast<QCPAbstractItem*>(m_label)}) {
        item->setClipAxisRect(panel);
    }
    const double key = point ? point->Key : keyAxis->pixelToCoord(pos.x());
    const double value = point ? point->Value : valueAxis->pixelToCoord(pos.y());
    m_text = ReadoutText(titles, key, value, point ? point->Curve : nullptr, locale);

    const double across = point ? keyAxis->coordToPixel(key) : pos.x();
    m_vertical->point1->setCoords(across, 0);
    m_vertical->point2->setCoords(across, 1);
    // Through the point read, so that its key and value stand at the axes.
    const double level = point ? valueAxis->coordToPixel(value) : pos.y();
    m_horizontal->point1->setCoords(0, level);
    m_horizontal->point2->setCoords(1, level);
    m_tracer->position->setAxes(keyAxis, valueAxis);
    m_tracer->position->setCoords(key, value);
    m_tracer->setVisible(point.has_value());
    m_label->position->setCoords(panel->topLeft() + QPointF(6, 6));
    m_label->setText(m_text);
    m_layer->setVisible(true);
    redraw();
}

void TPlotReadout::hide() {
    if (!m_layer->visible()) {
        return;
    }
    m_layer->setVisible(false);
    redraw();
}

void TPlotReadout::redraw() {
    m_layer->replot();
}

}  // namespace morvane
