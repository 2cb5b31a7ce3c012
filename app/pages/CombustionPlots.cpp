#include "app/pages/CombustionPlots.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "app/widgets/ControlRole.h"
#include "app/widgets/PlotView.h"
#include "app/widgets/QtControls.h"
#include "signal/pressure/CombustionInputs.h"

namespace morvane {

namespace {

const QColor kMeanColor(0, 0, 160);
const QColor kCycleColor(175, 190, 225);
const QColor kBandColor(205, 215, 240);
const QColor kPickedColor(230, 110, 0);
const QColor kComparisonColor(170, 0, 0);
const QColor kMisfireColor(230, 0, 0);
const QColor kKnockColor(190, 0, 190);
const QColor kMarkerColor(0, 110, 0);
const QColor kMfb50Color(0, 128, 0);
const QColor kGrossColor(200, 90, 0);
const QColor kMapoColor(190, 60, 0);
constexpr int kMaxSmoothing = 99;
constexpr int kPanelTicks = 3;
constexpr int kPlotMinimumWidth = 160;
constexpr int kPlotMinimumHeight = 120;
// How far beyond the band a click still picks the nearest cycle, as a share of the value axis.
constexpr double kBandClickMargin = 0.02;

QVector<double> Vector(const std::vector<double>& values) {
    return {values.begin(), values.end()};
}

QCPGraph* AddGraph(TPlotView* plot, const TSeries& series, const QPen& pen, const QString& name,
                   QCPAxisRect* rect = nullptr) {
    QCPGraph* graph =
        rect ? plot->addGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft)) : plot->addGraph();
    graph->setData(Vector(series.Keys), Vector(series.Values), true);
    graph->setPen(pen);
    graph->setName(name);
    if (name.isEmpty()) {
        graph->removeFromLegend();
    }
    return graph;
}

QCPCurve* AddCurve(TPlotView* plot, const TSeries& series, const QPen& pen, const QString& name) {
    auto* curve = new QCPCurve(plot->xAxis, plot->yAxis);
    curve->setData(Vector(series.Keys), Vector(series.Values));
    curve->setPen(pen);
    curve->setName(name);
    return curve;
}

QPen MeanPen() {
    return QPen(kMeanColor, 2);
}

// A cylinder's colour among others on one plot.
QColor CylinderColor(std::size_t cylinder) {
    // None is the selected cylinder's dark blue.
    static const QColor kColors[] = {{200, 90, 0},  {0, 130, 60},   {170, 0, 120}, {0, 140, 170},
                                     {120, 90, 0},  {90, 90, 90},   {200, 0, 0},   {100, 150, 0},
                                     {0, 100, 100}, {150, 60, 200}, {230, 150, 0}, {60, 160, 230}};
    return kColors[cylinder % std::size(kColors)];
}

QPen GrossPen() {
    return QPen(kGrossColor, 2);
}

QPen ComparisonPen() {
    return QPen(kComparisonColor, 2, Qt::DashLine);
}

QPen PickedPen() {
    return QPen(kPickedColor, 2);
}

QPen MarkerPen() {
    return QPen(kMarkerColor, 1, Qt::DashDotLine);
}

QString PickedName(int number) {
    return QStringLiteral("cyklus %1").arg(number);
}

// A vertical line through the whole axis rect at the angle, labelled at its top.
void AddAngleMarker(TPlotView* plot, const TAngleMarker& marker, const QPen& pen,
                    QCPAxisRect* rect = nullptr) {
    rect = rect ? rect : plot->axisRect();
    auto* line = new QCPItemStraightLine(plot);
    line->setClipAxisRect(rect);
    for (QCPItemPosition* point : {line->point1, line->point2}) {
        point->setAxes(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
        point->setTypeY(QCPItemPosition::ptAxisRectRatio);
        point->setAxisRect(rect);
    }
    line->point1->setCoords(marker.Angle, 0);
    line->point2->setCoords(marker.Angle, 1);
    line->setPen(pen);
    if (marker.Label.empty()) {
        return;
    }
    auto* label = new QCPItemText(plot);
    label->setClipAxisRect(rect);
    label->position->setAxes(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atLeft));
    label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    label->position->setAxisRect(rect);
    // Along the line, reading upwards from its top end: marks a few degrees
    // apart keep their labels apart.
    label->position->setCoords(marker.Angle, 0.01);
    label->setRotation(-90);
    label->setPositionAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setText(ToQString(marker.Label));
    label->setColor(pen.color());
    label->setPadding(QMargins(0, 2, 0, 0));
}

QCPAxisRect* AddPanel(TPlotView* plot, const QString& valueTitle) {
    auto* panel = new QCPAxisRect(plot);
    plot->plotLayout()->addElement(plot->plotLayout()->rowCount(), 0, panel);
    panel->axis(QCPAxis::atLeft)->setLabel(valueTitle);
    panel->axis(QCPAxis::atLeft)->grid()->setPen(plot->yAxis->grid()->pen());
    panel->axis(QCPAxis::atBottom)->grid()->setPen(plot->xAxis->grid()->pen());
    return panel;
}

// Shows the panel at the bottom, or takes it out so the others share its room.
void ShowPanel(TPlotView* plot, QCPAxisRect* panel, bool shown) {
    QCPLayoutGrid* layout = plot->plotLayout();
    const bool inLayout = panel->layout() == layout;
    if (shown && !inLayout) {
        layout->addElement(layout->rowCount(), 0, panel);
    } else if (!shown && inLayout) {
        layout->take(panel);
        layout->simplify();
    }
    panel->setVisible(shown);
}

// A dashed line across the panel at the value: the comparison's mean.
void AddLevel(TPlotView* plot, double value, QCPAxisRect* panel) {
    auto* level = new QCPItemStraightLine(plot);
    level->setClipAxisRect(panel);
    for (QCPItemPosition* point : {level->point1, level->point2}) {
        point->setAxes(panel->axis(QCPAxis::atBottom), panel->axis(QCPAxis::atLeft));
    }
    level->point1->setCoords(0, value);
    level->point2->setCoords(1, value);
    level->setPen(ComparisonPen());
}

std::vector<TAngleMarker> IgnitionOnly(const std::vector<TAngleMarker>& markers) {
    std::vector<TAngleMarker> ignition;
    std::copy_if(markers.begin(), markers.end(), std::back_inserter(ignition),
                 [](const TAngleMarker& marker) { return marker.Label == "Zapalování"; });
    return ignition;
}

QWidget* PlotWithOptions(QWidget* owner, TPlotView* plot, QWidget* options) {
    auto* tab = new QWidget(owner);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(plot, 1);
    if (options) {
        layout->addWidget(options);
    }
    return tab;
}

}  // namespace

TCombustionPlots::TCombustionPlots(QWidget* owner) : QObject(owner) {
    m_pressureTab = buildPressureTab(owner);
    m_diagramsTab = buildDiagramsTab(owner);
    m_heatRateTab = buildHeatRateTab(owner);
    buildCyclePlot(owner);
    buildGasPlot(owner);
    m_balancePlot = new TPlotView(owner);
    m_balancePlot->setObjectName("BalancePlot");
    m_balancePlot->setAxisTitles("Válec", "", "IMEP", "bar");
    TPlotView::linkKeyAxes({m_pressurePlot, m_burnPlot, m_heatRatePlot});
    // How the plots show the figures is no part of the set-up.
    for (QWidget* display :
         {m_pressureTab, m_diagramsTab, m_heatRateTab, static_cast<QWidget*>(m_cyclePlot)}) {
        SetControlRole(display, TControlRole::Display);
    }
    for (TPlotView* plot : plots()) {
        // Never laid out to nothing, where the plot would have no picture to draw into.
        plot->setMinimumSize(kPlotMinimumWidth, kPlotMinimumHeight);
    }
    for (TPlotView* plot : plots()) {
        connect(plot, &TPlotView::cycleClicked, this, &TCombustionPlots::cycleChosen);
    }
    connect(m_pressurePlot, &TPlotView::pointClicked, this, &TCombustionPlots::choosePoint);
    connect(m_cyclePlot, &TPlotView::pointClicked, this,
            [this](double cycleNumber, double) { chooseCycleAt(cycleNumber); });
}

QWidget* TCombustionPlots::buildPressureTab(QWidget* owner) {
    m_pressurePlot = new TPlotView(owner);
    m_pressurePlot->setObjectName("PressurePlot");
    m_pressurePlot->setAxisTitles("Úhel", "°", "Tlak", "bar");
    m_logPressureBox = new QCheckBox("Logaritmický tlak", owner);
    m_logPressureBox->setObjectName("LogPressureBox");
    // A new scale fits the curves drawn; the curves stay.
    connect(m_logPressureBox, &QCheckBox::toggled, this,
            [this](bool logarithmic) { m_pressurePlot->setLogarithmic(false, logarithmic); });
    return PlotWithOptions(owner, m_pressurePlot, m_logPressureBox);
}

QWidget* TCombustionPlots::buildDiagramsTab(QWidget* owner) {
    m_pvPlot = new TPlotView(owner);
    m_pvPlot->setObjectName("PvPlot");
    m_pvPlot->setAxisTitles("Objem", "cm³", "Tlak", "bar");
    m_logPvBox = new QCheckBox("Logaritmické osy", owner);
    m_logPvBox->setObjectName("LogPvBox");
    m_logPvBox->setChecked(true);
    m_pvPlot->setLogarithmic(true, true);
    connect(m_logPvBox, &QCheckBox::toggled, this,
            [this](bool logarithmic) { m_pvPlot->setLogarithmic(logarithmic, logarithmic); });
    m_burnPlot = new TPlotView(owner);
    m_burnPlot->setObjectName("BurnPlot");
    m_burnPlot->setAxisTitles("Úhel", "°", "Podíl shořelého paliva", "%");
    auto* tab = new QWidget(owner);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(m_pvPlot, 1);
    layout->addWidget(m_logPvBox);
    layout->addWidget(m_burnPlot, 1);
    return tab;
}

QWidget* TCombustionPlots::buildHeatRateTab(QWidget* owner) {
    m_heatRatePlot = new TPlotView(owner);
    m_heatRatePlot->setObjectName("HeatRatePlot");
    m_heatRatePlot->setAxisTitles("Úhel", "°", "Rychlost uvolňování tepla", "J/°");
    auto* options = new QWidget(owner);
    auto* row = new QHBoxLayout(options);
    row->setContentsMargins(0, 0, 0, 0);
    m_smoothingBox = new QSpinBox(options);
    m_smoothingBox->setObjectName("SmoothingBox");
    m_smoothingBox->setRange(1, kMaxSmoothing);
    m_smoothingBox->setToolTip(
        "klouzavý průměr přes tolik bodů po 0,5°; jen pro zobrazení, výsledky se nemění");
    auto* caption = new QLabel("Vyhlazení zobrazení [bodů]", options);
    caption->setBuddy(m_smoothingBox);
    row->addWidget(caption);
    row->addWidget(m_smoothingBox);
    row->addStretch(1);
    connect(m_smoothingBox, &QSpinBox::valueChanged, this, [this] { drawHeatRate(); });
    return PlotWithOptions(owner, m_heatRatePlot, options);
}

// Three panels over one cycle axis: net IMEP (the plot's own axes), MFB50 and,
// when the recording gave it, MAPO.
void TCombustionPlots::buildCyclePlot(QWidget* owner) {
    m_cyclePlot = new TPlotView(owner);
    m_cyclePlot->setObjectName("CyclePlot");
    m_cyclePlot->setAxisTitles("Cyklus", "", "IMEP", "bar");
    m_imepPanel = m_cyclePlot->axisRect();
    m_mfb50Panel = AddPanel(m_cyclePlot, "MFB50 [°]");
    m_mapoPanel = AddPanel(m_cyclePlot, "MAPO [bar]");
    auto* margins = new QCPMarginGroup(m_cyclePlot);
    for (QCPAxisRect* panel : {m_imepPanel, m_mfb50Panel, m_mapoPanel}) {
        panel->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
        panel->axis(QCPAxis::atBottom)->setLabel({});
        // Low panels: few values, each readable.
        panel->axis(QCPAxis::atLeft)->ticker()->setTickCount(kPanelTicks);
        connect(m_imepPanel->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged),
                panel->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::setRange));
        connect(panel->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged),
                m_imepPanel->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::setRange));
    }
    m_mapoPanel->axis(QCPAxis::atBottom)->setLabel("Cyklus");
}

// The gas temperature (the plot's own axes) over the coefficient of heat
// transfer, one angle axis.
void TCombustionPlots::buildGasPlot(QWidget* owner) {
    m_gasPlot = new TPlotView(owner);
    m_gasPlot->setObjectName("GasPlot");
    m_gasPlot->setAxisTitles("Úhel", "°", "Teplota plynu", "K");
    m_coefficientPanel = AddPanel(m_gasPlot, "Součinitel přestupu tepla [W/(m²·K)]");
    auto* margins = new QCPMarginGroup(m_gasPlot);
    QCPAxisRect* temperaturePanel = m_gasPlot->axisRect();
    for (QCPAxisRect* panel : {temperaturePanel, m_coefficientPanel}) {
        panel->setMarginGroup(QCP::msLeft | QCP::msRight, margins);
    }
    temperaturePanel->axis(QCPAxis::atBottom)->setLabel({});
    m_coefficientPanel->axis(QCPAxis::atBottom)->setLabel("Úhel [°]");
    connect(temperaturePanel->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged),
            m_coefficientPanel->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::setRange));
    connect(m_coefficientPanel->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::rangeChanged),
            temperaturePanel->axis(QCPAxis::atBottom), qOverload<const QCPRange&>(&QCPAxis::setRange));
}

void TCombustionPlots::drawGas() {
    TPlotView* plot = m_gasPlot;
    plot->clearPlottables();
    plot->clearItems();
    const TPressureAnalysis* analysis = m_content.Analysis;
    const THeatCurves curves = analysis ? HeatCurvesOf(analysis->Mean) : THeatCurves{};
    ShowPanel(plot, m_coefficientPanel, !curves.Coefficient.empty());
    if (!curves.Temperature.empty()) {
        AddGraph(plot, {curves.GasAngles, curves.Temperature}, MeanPen(), {});
    }
    if (!curves.Coefficient.empty()) {
        AddGraph(plot, {curves.GasAngles, curves.Coefficient}, GrossPen(), {}, m_coefficientPanel);
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void TCombustionPlots::showBalance(const std::vector<double>& imep, double engineImep,
                                   const std::vector<std::string>& deviations) {
    TPlotView* plot = m_balancePlot;
    plot->clearPlottables();
    plot->clearItems();
    if (!imep.empty()) {
        auto* bars = new QCPBars(plot->xAxis, plot->yAxis);
        QVector<double> cylinders;
        for (std::size_t k = 0; k < imep.size(); ++k) {
            cylinders << static_cast<double>(k + 1);
        }
        bars->setData(cylinders, Vector(imep), true);
        bars->setWidth(0.6);
        bars->setPen(QPen(kMeanColor));
        bars->setBrush(QColor(kMeanColor.red(), kMeanColor.green(), kMeanColor.blue(), 90));
        bars->setName("IMEP válce");
        AddGraph(plot, {{0.5, static_cast<double>(imep.size()) + 0.5}, {engineImep, engineImep}}, GrossPen(),
                 "průměr válců");
        // Room under the bars down to 0 and over them for their labels.
        const auto [low, high] = std::minmax_element(imep.begin(), imep.end());
        const double reach = std::max(std::abs(*low), std::abs(*high));
        AddGraph(plot,
                 {{0.5, 0.5}, {std::min(0.0, *low - 0.15 * reach), std::max(0.0, *high + 0.15 * reach)}},
                 Qt::NoPen, {});
        for (std::size_t k = 0; k < imep.size() && k < deviations.size(); ++k) {
            auto* label = new QCPItemText(plot);
            label->position->setCoords(static_cast<double>(k + 1), imep[k]);
            label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
            label->setText(ToQString(deviations[k]) + " %");
        }
        auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
        ticker->setTickStep(1);
        plot->xAxis->setTicker(ticker);
    }
    plot->fitHome();
}

void TCombustionPlots::useMessageBoxes(IMessageBoxes* boxes) {
    for (TPlotView* plot : plots()) {
        plot->useMessageBoxes(boxes);
    }
}

std::vector<TPlotView*> TCombustionPlots::plots() const {
    return {m_pressurePlot, m_pvPlot, m_burnPlot, m_heatRatePlot, m_cyclePlot, m_gasPlot, m_balancePlot};
}

void TCombustionPlots::show(const TPlotContent& content) {
    m_content = content;
    m_band = {};
    const int cycles = content.Analysis ? static_cast<int>(content.Analysis->Cycles.size()) : 0;
    if (content.Analysis && content.Cycle && cycles > kOverlaidCycles) {
        m_band = PressureBand(*content.Cycle, *content.Analysis, content.Reference);
    }
    if (m_picked > cycles) {
        m_picked = 0;
    }
    for (TPlotView* plot : plots()) {
        plot->setDecimalComma(content.Numbers.DecimalMark == ',');
    }
    pickCycle(m_picked);
    for (TPlotView* plot : plots()) {
        plot->fitHome();
    }
}

void TCombustionPlots::pickCycle(int number) {
    m_picked = number;
    m_pickedCurves.reset();
    if (number > 0 && m_content.Analysis && m_content.Cycle) {
        m_pickedCurves = CycleCurves(*m_content.Cycle, *m_content.Analysis, m_content.Reference,
                                     m_content.Geometry, m_content.Settings, number);
    }
    drawAll();
}

void TCombustionPlots::drawAll() {
    drawPressure();
    drawPv();
    drawBurn();
    drawHeatRate();
    drawCycles();
    drawGas();
}

void TCombustionPlots::drawPressure() {
    TPlotView* plot = m_pressurePlot;
    plot->clearPlottables();
    plot->clearItems();
    const TPressureAnalysis* analysis = m_content.Analysis;
    if (analysis) {
        if (!m_band.Low.Values.empty()) {
            QCPGraph* low = AddGraph(plot, m_band.Low, Qt::NoPen, {});
            QCPGraph* high = AddGraph(plot, m_band.High, Qt::NoPen, "rozsah cyklů");
            high->setBrush(kBandColor);
            high->setChannelFillGraph(low);
        } else if (m_content.Cycle) {
            for (int number = 1; number <= static_cast<int>(analysis->Cycles.size()); ++number) {
                QCPGraph* graph = AddGraph(
                    plot, CyclePressureSeries(*m_content.Cycle, *analysis, m_content.Reference, number),
                    QPen(kCycleColor, 1), number == 1 ? QStringLiteral("cykly") : QString());
                TPlotView::setCycleOf(graph, number);
            }
        }
        if (m_content.CylinderMeans.size() > 1) {
            // Every cylinder on its own angle; the selected one drawn last, over the others.
            for (std::size_t k = 0; k < m_content.CylinderMeans.size(); ++k) {
                if (static_cast<int>(k) + 1 != m_content.SelectedCylinder) {
                    AddGraph(plot, PressureSeries(m_content.CylinderMeans[k]), QPen(CylinderColor(k), 1.5),
                             QStringLiteral("válec %1").arg(k + 1));
                }
            }
        }
        AddGraph(plot, PressureSeries(analysis->Pressure), MeanPen(),
                 m_content.CylinderMeans.size() > 1
                     ? QStringLiteral("válec %1").arg(m_content.SelectedCylinder)
                     : QStringLiteral("průměr"));
        if (m_pickedCurves) {
            TPlotView::setCycleOf(
                AddGraph(plot, PressureSeries(m_pickedCurves->Pressure), PickedPen(), PickedName(m_picked)),
                m_picked);
        }
        if (m_content.Comparison) {
            AddGraph(plot, PressureSeries(m_content.Comparison->Pressure), ComparisonPen(),
                     ToQString(m_content.ComparisonName));
        }
        for (const TAngleMarker& marker : m_content.Markers) {
            AddAngleMarker(plot, marker, MarkerPen());
        }
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void TCombustionPlots::drawPv() {
    TPlotView* plot = m_pvPlot;
    plot->clearPlottables();
    if (const TPressureAnalysis* analysis = m_content.Analysis) {
        AddCurve(plot, PvSeries(analysis->Pressure, analysis->Volumes), MeanPen(), "průměr");
        if (m_pickedCurves) {
            TPlotView::setCycleOf(AddCurve(plot, PvSeries(m_pickedCurves->Pressure, analysis->Volumes),
                                           PickedPen(), PickedName(m_picked)),
                                  m_picked);
        }
        if (const TPressureAnalysis* comparison = m_content.Comparison) {
            AddCurve(plot, PvSeries(comparison->Pressure, comparison->Volumes), ComparisonPen(),
                     ToQString(m_content.ComparisonName));
        }
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void TCombustionPlots::drawBurn() {
    TPlotView* plot = m_burnPlot;
    plot->clearPlottables();
    plot->clearItems();
    if (const TPressureAnalysis* analysis = m_content.Analysis) {
        const TCombustionFigures& mean = analysis->Mean;
        addReleaseCurves(
            plot, [](const THeatRelease& release) { return BurnSeries(release); }, true);
        if (mean.Burn) {
            QCPGraph* marks =
                AddGraph(plot, {{mean.Burn->Mfb10, mean.Burn->Mfb50, mean.Burn->Mfb90}, {10, 50, 90}},
                         QPen(kMeanColor), {});
            marks->setLineStyle(QCPGraph::lsNone);
            marks->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, kMeanColor, Qt::white, 7));
            const double angles[] = {mean.Burn->Mfb10, mean.Burn->Mfb50, mean.Burn->Mfb90};
            const int levels[] = {10, 50, 90};
            for (int k = 0; k < 3; ++k) {
                auto* label = new QCPItemText(plot);
                label->position->setCoords(angles[k], levels[k]);
                label->setPositionAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                label->setPadding(QMargins(8, 0, 0, 0));
                label->setText(QStringLiteral("MFB%1 = %2°")
                                   .arg(levels[k])
                                   .arg(ToQString(RoundedFigure(angles[k], kFineStep, m_content.Numbers))));
            }
        }
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void TCombustionPlots::drawHeatRate() {
    TPlotView* plot = m_heatRatePlot;
    plot->clearPlottables();
    plot->clearItems();
    const int smoothing = m_smoothingBox->value();
    if (m_content.Analysis) {
        const auto rate = [smoothing](const THeatRelease& release) {
            return HeatRateSeries(release, smoothing);
        };
        addReleaseCurves(plot, rate, false);
        if (const std::optional<THeatRelease>& gross = m_content.Analysis->Mean.Gross) {
            AddGraph(plot, rate(*gross), GrossPen(), "průměr, hrubý");
        }
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

// The mean's, the picked cycle's and the comparison's curve of their heat
// release (the gross one where a model gives it and gross is asked), with the ignition.
void TCombustionPlots::addReleaseCurves(TPlotView* plot,
                                        const std::function<TSeries(const THeatRelease&)>& seriesOf,
                                        bool gross) const {
    const auto releaseOf = [gross](const THeatRelease& net, const std::optional<THeatRelease>& withWalls) {
        return gross && withWalls ? *withWalls : net;
    };
    const TCombustionFigures& mean = m_content.Analysis->Mean;
    AddGraph(plot, seriesOf(releaseOf(mean.Release, mean.Gross)), MeanPen(), "průměr");
    if (m_pickedCurves) {
        TPlotView::setCycleOf(
            AddGraph(plot, seriesOf(releaseOf(m_pickedCurves->Release, m_pickedCurves->Gross)), PickedPen(),
                     PickedName(m_picked)),
            m_picked);
    }
    if (const TPressureAnalysis* comparison = m_content.Comparison) {
        AddGraph(plot, seriesOf(releaseOf(comparison->Mean.Release, comparison->Mean.Gross)), ComparisonPen(),
                 ToQString(m_content.ComparisonName));
    }
    for (const TAngleMarker& marker : IgnitionOnly(m_content.Markers)) {
        AddAngleMarker(plot, marker, MarkerPen());
    }
}

void TCombustionPlots::drawCycles() {
    TPlotView* plot = m_cyclePlot;
    plot->clearPlottables();
    plot->clearItems();
    const TPressureAnalysis* analysis = m_content.Analysis;
    const TCycleSeries series = analysis ? CycleSeries(analysis->Cycles) : TCycleSeries{};
    ShowPanel(plot, m_mapoPanel, !series.Mapo.Keys.empty());
    const QCPScatterStyle dots(QCPScatterStyle::ssDisc, 4);
    // Each panel's title names its curve: no legend.
    AddGraph(plot, series.NetImep, QPen(kMeanColor), {}, m_imepPanel)->setScatterStyle(dots);
    // Points only: a cycle without MFB50 leaves a gap, not a line across it.
    QCPGraph* mfb50 = AddGraph(plot, series.Mfb50, QPen(kMfb50Color), {}, m_mfb50Panel);
    mfb50->setScatterStyle(dots);
    mfb50->setLineStyle(QCPGraph::lsNone);
    AddGraph(plot, series.Mapo, QPen(kMapoColor), {}, m_mapoPanel)->setScatterStyle(dots);
    for (const int misfire : series.Misfires) {
        for (QCPAxisRect* panel : {m_imepPanel, m_mfb50Panel}) {
            AddAngleMarker(plot, {double(misfire), {}}, QPen(kMisfireColor, 1, Qt::DotLine), panel);
        }
    }
    for (const int knocking : series.Knocking) {
        AddAngleMarker(plot, {double(knocking), {}}, QPen(kKnockColor, 1, Qt::DotLine), m_mapoPanel);
    }
    if (m_picked > 0) {
        for (QCPAxisRect* panel : {m_imepPanel, m_mfb50Panel, m_mapoPanel}) {
            if (panel->visible()) {
                AddAngleMarker(plot, {double(m_picked), {}}, PickedPen(), panel);
            }
        }
    }
    if (const TPressureAnalysis* comparison = m_content.Comparison) {
        AddLevel(plot, comparison->Mean.NetImep, m_imepPanel);
        if (comparison->Mean.Burn) {
            AddLevel(plot, comparison->Mean.Burn->Mfb50, m_mfb50Panel);
        }
    }
    plot->replot(QCustomPlot::rpQueuedReplot);
}

void TCombustionPlots::choosePoint(double angle, double value) {
    if (!m_content.Analysis || !m_content.Cycle || m_band.Low.Values.empty()) {
        return;
    }
    const auto point =
        static_cast<std::size_t>(std::clamp(std::lround(angle * 2), 0L, long(SignalPoints - 1)));
    const double margin = kBandClickMargin * m_pressurePlot->yAxis->range().size();
    if (value < m_band.Low.Values[point] - margin || value > m_band.High.Values[point] + margin) {
        return;
    }
    if (const std::optional<int> nearest =
            NearestCycle(*m_content.Cycle, *m_content.Analysis, m_content.Reference, angle, value)) {
        emit cycleChosen(*nearest);
    }
}

void TCombustionPlots::chooseCycleAt(double cycleNumber) {
    const long number = std::lround(cycleNumber);
    if (m_content.Analysis && number >= 1 && number <= long(m_content.Analysis->Cycles.size())) {
        emit cycleChosen(static_cast<int>(number));
    }
}

std::vector<std::pair<QString, QImage>> TCombustionPlots::pictures(int width, int height) const {
    const std::pair<TPlotView*, const char*> captioned[] = {{m_pressurePlot, "Tlak podle úhlu"},
                                                            {m_pvPlot, "p–V diagram"},
                                                            {m_burnPlot, "Podíl shořelého paliva"},
                                                            {m_heatRatePlot, "Rychlost uvolňování tepla"},
                                                            {m_cyclePlot, "Veličiny jednotlivých cyklů"}};
    std::vector<std::pair<QString, QImage>> pictures;
    const bool cycles = m_content.Analysis != nullptr && !m_content.Analysis->Cycles.empty();
    for (const auto& [plot, caption] : captioned) {
        if (plot == m_cyclePlot && !cycles) {
            continue;
        }
        pictures.emplace_back(QString::fromUtf8(caption), plot->toPixmap(width, height).toImage());
    }
    return pictures;
}

}  // namespace morvane
