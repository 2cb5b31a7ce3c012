#include "app/widgets/PlotView.h"

#include <QMenu>
#include <QScopedValueRollback>

#include <algorithm>

#include "app/widgets/PlotExport.h"
#include "app/widgets/PlotKeys.h"
#include "app/widgets/PlotPick.h"
#include "app/widgets/QtControls.h"
#include "util/messages.h"

namespace morvane {

namespace {

// The home view leaves this fraction of each range free on both sides.
constexpr double kHomeMargin = 0.02;
// The legend's row: so many curves side by side, and no more height than they need.
constexpr int kLegendColumns = 4;
constexpr double kLegendStretch = 0.001;
// A press and release this many pixels apart still make a click.
constexpr int kClickSlack = 3;
// A click this near a curve picks it.
constexpr double kPickPixels = 6;

QLocale NumberLocale(bool comma) {
    QLocale locale = comma ? QLocale(QLocale::Czech, QLocale::Czechia) : QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

void SetScale(QCPAxis& axis, bool logarithmic) {
    axis.setScaleType(logarithmic ? QCPAxis::stLogarithmic : QCPAxis::stLinear);
    axis.setTicker(logarithmic ? QSharedPointer<QCPAxisTicker>(new QCPAxisTickerLog)
                               : QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
    KeepAxisPositive(axis);
}

}  // namespace

TPlotView::TPlotView(QWidget* parent) : QCustomPlot(parent), m_locale(NumberLocale(true)) {
    setLocale(m_locale);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setUpLook();
    m_readout = std::make_unique<TPlotReadout>(*this);
    buildMenu();
    connect(this, &QCustomPlot::beforeReplot, this, &TPlotView::updateLegend);
    connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, &TPlotView::followKeyRange);
}

// A linked plot going first leaves the others linked among themselves.
TPlotView::~TPlotView() {
    for (TPlotView* other : m_linked) {
        std::erase(other->m_linked, this);
    }
}

void TPlotView::setUpLook() {
    setBackground(Qt::white);
    setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    // Dense curves: no antialiasing while the user drags, lines drawn whole.
    setNoAntialiasingOnDrag(true);
    setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
    setAutoAddPlottableToLegend(false);
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->grid()->setPen(QPen(QColor(225, 225, 225), 0));
        axis->grid()->setZeroLinePen(QPen(QColor(200, 200, 200), 0));
    }
    // The top and right axes close the frame; their margins are no wider than
    // half of the bottom axis's last label needs.
    for (QCPAxis* axis : {xAxis2, yAxis2}) {
        axis->setVisible(true);
        axis->setTicks(false);
        axis->setTickLabels(false);
    }
    axisRect()->setMinimumMargins(QMargins(12, 12, 24, 12));
    // The legend is a row above the curves, never over them or their marks.
    axisRect()->insetLayout()->take(legend);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setWrap(kLegendColumns);
    legend->setBorderPen(Qt::NoPen);
    legend->setVisible(false);
}

void TPlotView::buildMenu() {
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("PlotMenu"));
    QAction* save = m_menu->addAction(QStringLiteral("Uložit obrázek..."), this, &TPlotView::askAndSaveImage);
    save->setObjectName(QStringLiteral("SaveImageAction"));
    QAction* home = m_menu->addAction(QStringLiteral("Celý průběh\tHome"), this, &TPlotView::resetView);
    home->setObjectName(QStringLiteral("HomeAction"));
}

void TPlotView::setAxisTitles(const QString& keyName, const QString& keyUnit, const QString& valueName,
                              const QString& valueUnit) {
    m_titles = TAxisTitles{keyName, keyUnit, valueName, valueUnit};
    xAxis->setLabel(AxisTitle(keyName, keyUnit));
    yAxis->setLabel(AxisTitle(valueName, valueUnit));
    replot(rpQueuedReplot);
}

void TPlotView::setDecimalComma(bool comma) {
    m_locale = NumberLocale(comma);
    setLocale(m_locale);
    replot(rpQueuedReplot);
}

void TPlotView::setLogarithmic(bool keyAxis, bool valueAxis) {
    SetScale(*xAxis, keyAxis);
    SetScale(*yAxis, valueAxis);
    fitHome();
}

// Every panel's axes, so that a plot of stacked panels comes home whole. Its
// linked plots keep their own view: a home is each plot's own.
void TPlotView::fitHome() {
    bool anyVisible = false;
    for (int i = 0; i < plottableCount(); ++i) {
        anyVisible = anyVisible || plottable(i)->visible();
    }
    const QScopedValueRollback own(m_following, true);
    m_home.clear();
    for (QCPAxisRect* panel : axisRects()) {
        for (QCPAxis* axis : {panel->axis(QCPAxis::atBottom), panel->axis(QCPAxis::atLeft)}) {
            // Without curves the range stays as it is rather than widening each time.
            if (anyVisible) {
                axis->rescale(true);
                axis->setRange(WidenedRange(*axis, kHomeMargin));
            }
            KeepAxisPositive(*axis);
            m_home.emplace_back(axis, axis->range());
        }
    }
    replot(rpQueuedReplot);
    refreshReadout();
}

void TPlotView::resetView() {
    if (m_home.empty()) {
        fitHome();
        return;
    }
    for (const auto& [axis, range] : m_home) {
        if (axis) {
            axis->setRange(range);
        }
    }
    replot(rpQueuedReplot);
    refreshReadout();
}

void TPlotView::setCycleOf(QCPAbstractPlottable* curve, int cycle) {
    SetCycleOf(*curve, cycle);
}

void TPlotView::linkKeyAxes(const std::vector<TPlotView*>& plots) {
    for (TPlotView* plot : plots) {
        for (TPlotView* other : plots) {
            const bool known =
                std::find(plot->m_linked.begin(), plot->m_linked.end(), other) != plot->m_linked.end();
            if (other != plot && !known) {
                plot->m_linked.emplace_back(other);
            }
        }
    }
}

// Each linked plot takes the range from the one the user moved; a plot
// taking it passes it on no further.
void TPlotView::followKeyRange(const QCPRange& range) {
    if (m_following) {
        return;
    }
    for (TPlotView* other : m_linked) {
        other->m_following = true;
        other->xAxis->setRange(range);
        other->m_following = false;
        other->replot(rpQueuedReplot);
    }
}

QString TPlotView::readoutText() const {
    return m_readout->text();
}

void TPlotView::saveImage(const std::string& path) {
    SavePlotImage(*this, path, size());
}

void TPlotView::useSaveDialog(ISaveDialog* dialog) {
    m_saveDialog = dialog;
}

void TPlotView::useMessageBoxes(IMessageBoxes* boxes) {
    m_boxes = boxes;
}

QCPGraph* TPlotView::addGraph(QCPAxis* keyAxis, QCPAxis* valueAxis) {
    QCPGraph* graph = QCustomPlot::addGraph(keyAxis, valueAxis);
    if (graph != nullptr) {
        graph->setName(QString());
    }
    return graph;
}

void TPlotView::updateLegend() {
    std::vector<QCPAbstractPlottable*> named;
    for (int i = 0; i < plottableCount(); ++i) {
        QCPAbstractPlottable* curve = plottable(i);
        if (curve->visible() && !curve->name().isEmpty()) {
            named.push_back(curve);
        }
    }
    bool same = static_cast<int>(named.size()) == legend->itemCount();
    for (std::size_t i = 0; same && i < named.size(); ++i) {
        auto* item = qobject_cast<QCPPlottableLegendItem*>(legend->item(static_cast<int>(i)));
        same = item != nullptr && item->plottable() == named[i];
    }
    if (!same) {
        legend->clearItems();
        for (QCPAbstractPlottable* curve : named) {
            curve->addToLegend(legend);
        }
    }
    const bool shown = named.size() > 1;
    QCPLayoutGrid* layout = plotLayout();
    if (shown && legend->layout() != layout) {
        layout->insertRow(0);
        layout->addElement(0, 0, legend);
        layout->setRowStretchFactor(0, kLegendStretch);
    } else if (!shown && legend->layout() == layout) {
        layout->take(legend);
        layout->simplify();
    }
    legend->setVisible(shown);
}

bool TPlotView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (IsPlotKey(key->key(), key->modifiers())) {
            event->accept();
            return true;
        }
    }
    return QCustomPlot::event(event);
}

void TPlotView::mousePressEvent(QMouseEvent* event) {
    m_pressPos = event->pos();
    m_clickPending = event->button() == Qt::LeftButton;
    // Shift turns a left drag into the rubber band that zooms to its rectangle.
    const bool band = event->button() == Qt::LeftButton && event->modifiers().testFlag(Qt::ShiftModifier);
    setSelectionRectMode(band ? QCP::srmZoom : QCP::srmNone);
    QCustomPlot::mousePressEvent(event);
}

void TPlotView::mouseMoveEvent(QMouseEvent* event) {
    if ((event->pos() - m_pressPos).manhattanLength() > kClickSlack) {
        m_clickPending = false;
    }
    QCustomPlot::mouseMoveEvent(event);
    showReadout(event->position());
}

void TPlotView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_clickPending && event->button() == Qt::LeftButton &&
                       (event->pos() - m_pressPos).manhattanLength() <= kClickSlack &&
                       selectionRectMode() == QCP::srmNone;
    m_clickPending = false;
    QCustomPlot::mouseReleaseEvent(event);
    if (click) {
        this->click(event->position());
    }
}

void TPlotView::mouseDoubleClickEvent(QMouseEvent* event) {
    QCustomPlot::mouseDoubleClickEvent(event);
    // The double-click's release is no second click.
    m_clickPending = false;
    if (event->button() == Qt::LeftButton) {
        resetView();
    }
}

void TPlotView::wheelEvent(QWheelEvent* event) {
    const bool valueOnly = event->modifiers().testFlag(Qt::ControlModifier);
    axisRect()->setRangeZoom(valueOnly ? Qt::Vertical : Qt::Horizontal | Qt::Vertical);
    QCustomPlot::wheelEvent(event);
    axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);
    KeepAxisPositive(*xAxis);
    KeepAxisPositive(*yAxis);
    showReadout(event->position());
}

void TPlotView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Home && IsPlotKey(event->key(), event->modifiers())) {
        resetView();
    } else if (NavigateByKey(*xAxis, *yAxis, event->key(), event->modifiers())) {
        replot(rpQueuedReplot);
        refreshReadout();
    } else {
        QCustomPlot::keyPressEvent(event);
    }
}

void TPlotView::leaveEvent(QEvent* event) {
    QCustomPlot::leaveEvent(event);
    m_readout->hide();
}

void TPlotView::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos());
}

void TPlotView::showReadout(QPointF pos) {
    m_mouse = pos;
    if (axisRect()->rect().contains(pos.toPoint())) {
        m_readout->show(pos, m_titles, m_locale);
    } else {
        m_readout->hide();
    }
}

void TPlotView::refreshReadout() {
    if (m_readout->shown()) {
        showReadout(m_mouse);
    }
}

void TPlotView::click(QPointF pos) {
    if (!axisRect()->rect().contains(pos.toPoint())) {
        return;
    }
    const std::optional<TCurvePoint> point = NearestCurvePoint(*this, pos);
    if (point && point->Distance <= kPickPixels && CycleOf(*point->Curve) > 0) {
        emit cycleClicked(CycleOf(*point->Curve));
    } else {
        emit pointClicked(xAxis->pixelToCoord(pos.x()), yAxis->pixelToCoord(pos.y()));
    }
}

void TPlotView::askAndSaveImage() {
    ISaveDialog* dialog = m_saveDialog;
    if (dialog == nullptr) {
        if (m_ownSaveDialog == nullptr) {
            m_ownSaveDialog = std::make_unique<TPlotSaveDialog>(this);
        }
        dialog = m_ownSaveDialog.get();
    }
    dialog->setFilter(kPlotImageFilter);
    dialog->setDefaultExt("*.png");
    dialog->setFilterIndex(1);
    dialog->setFileName(ToStdString(objectName().isEmpty() ? QStringLiteral("graf") : objectName()) + ".png");
    if (!dialog->execute() || dialog->fileName().empty()) {
        return;
    }
    const std::string path = dialog->fileName();
    if (m_boxes == nullptr && m_ownBoxes == nullptr) {
        m_ownBoxes = std::make_unique<TQtMessageBoxes>(window());
    }
    RunGuarded(m_boxes != nullptr ? *m_boxes : *m_ownBoxes, [this, &path] { saveImage(path); });
}

}  // namespace morvane
