#pragma once

// One analysis plot: a QCustomPlot with the house's axes, interactions,
// read-out and export. The page hands it curves; zooming, panning, the
// read-out under the mouse, the legend and saving a picture are its own.

#include <qcustomplot.h>
#include <QLocale>
#include <QPointer>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/widgets/PlotReadout.h"

class QMenu;

namespace morvane {

class IMessageBoxes;
class ISaveDialog;

class TPlotView : public QCustomPlot {
    Q_OBJECT

public:
    explicit TPlotView(QWidget* parent = nullptr);
    ~TPlotView() override;

    // Axis titles; the unit goes into the title as "Tlak [bar]" and is used by the read-out.
    void setAxisTitles(const QString& keyName, const QString& keyUnit, const QString& valueName,
                       const QString& valueUnit);
    // Tick labels and read-out with a decimal comma (Czech) or point; no group separator.
    void setDecimalComma(bool comma);
    // Logarithmic value axis (and key axis for a log–log p–V) with log ticks;
    // ranges kept valid (>0). Fits the home view again, as the old one may
    // reach zero.
    void setLogarithmic(bool keyAxis, bool valueAxis);
    // Fits both axes to every visible plottable (a small margin), remembers that as the home view and shows
    // it.
    void fitHome();
    // Returns to the home view (Home key, double-click, the context menu's "Celý průběh").
    void resetView();
    // The curve's cycle number (from 1) for the read-out and for clicks; 0 = not a cycle (mean, reference,
    // band).
    static void setCycleOf(QCPAbstractPlottable* curve, int cycle);
    // The crank-angle (key) axes of these plots follow each other: a zoom or pan of one sets the others' key
    // range.
    static void linkKeyAxes(const std::vector<TPlotView*>& plots);
    // The last read-out text (what the read-out label shows), for tests and the status line.
    QString readoutText() const;
    // Saves the plot at its on-screen size: PDF when the name ends in .pdf (any case), PNG otherwise.
    // Raises EFOpenError when the file cannot be written.
    void saveImage(const std::string& path);
    // The dialog "Uložit obrázek..." of the context menu asks through; the window's, so tests can inject one.
    void useSaveDialog(ISaveDialog* dialog);  // may be null: then its own TPlotSaveDialog is used
    // The boxes a failed save is shown in; may be null: then the plot's own.
    void useMessageBoxes(IMessageBoxes* boxes);
    // The legend at the top right, shown only when more than one named curve
    // is visible. Every replot calls it; the page need not.
    void updateLegend();
    // QCustomPlot's addGraph, but the graph has no name ("Graph 1" there)
    // until the page gives it one: only named curves enter the legend and
    // the read-out.
    QCPGraph* addGraph(QCPAxis* keyAxis = nullptr, QCPAxis* valueAxis = nullptr);
    // The context menu (objectName "PlotMenu"), for tests.
    QMenu* contextMenu() const { return m_menu; }

signals:
    // A click (no drag) on the plot area: on a curve with a cycle number → cycleClicked(n);
    // anywhere else → pointClicked(key, value) so the page can pick the nearest cycle of a band.
    void cycleClicked(int cycle);
    void pointClicked(double key, double value);

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setUpLook();
    void buildMenu();
    void followKeyRange(const QCPRange& range);
    void showReadout(QPointF pos);
    // The read-out again at the mouse after the view moved under it.
    void refreshReadout();
    void click(QPointF pos);
    void askAndSaveImage();

    TAxisTitles m_titles;
    QLocale m_locale;
    // Each panel's axes and their home ranges; empty before the first fit.
    std::vector<std::pair<QPointer<QCPAxis>, QCPRange>> m_home;
    std::unique_ptr<TPlotReadout> m_readout;
    QPointF m_mouse;
    QPoint m_pressPos;
    bool m_clickPending = false;
    std::vector<TPlotView*> m_linked;
    bool m_following = false;
    QMenu* m_menu = nullptr;
    ISaveDialog* m_saveDialog = nullptr;
    std::unique_ptr<ISaveDialog> m_ownSaveDialog;
    IMessageBoxes* m_boxes = nullptr;
    std::unique_ptr<IMessageBoxes> m_ownBoxes;
};

}  // namespace morvane
