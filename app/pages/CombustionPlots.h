#pragma once

// The plots of the page "Spalování", fed from the page's analysis:
// - "Tlak": pressure on the crank angle: the mean (of several cylinders
//   every cylinder's, each in its own colour), the cycles of a recording
//   (each one in a light colour up to kOverlaidCycles, beyond that their
//   min–max band), the picked cycle highlighted, cylinder 1's ignition,
//   intake closing and exhaust opening as labelled lines; a log-pressure box;
// - "Diagramy": p–V (log–log or linear) and the mass fraction burned with
//   MFB10/50/90 marked;
// - the per-cycle net IMEP, MFB50 and MAPO panels (misfires and knocking
//   cycles marked) under the cycle table;
// - "Vývin tepla": the heat-release rate, smoothed for display over the
//   points chosen beside it (the figures never see it), with the ignition;
//   with a heat-transfer model the gross rate beside the net one, and the
//   burn curve is the gross one (its MFB angles come from it);
// - the gas temperature and the heat-transfer coefficient (gasPlot).
// A comparison's mean is drawn dashed in every plot, named in the legend.
// The crank-angle axes of pressure, burn and heat release follow each other.
// Clicking a cycle's curve, or the band near one, or a cycle's point in the
// panels, picks that cycle (cycleChosen); the page picks one with pickCycle.

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/PressureCycle.h"
#include "signal/pressure/PressureReference.h"
#include "timeline/PlotSeries.h"

class QCPAxisRect;
class QCheckBox;
class QImage;
class QSpinBox;
class QWidget;

namespace morvane {

class IMessageBoxes;
class TPlotView;

// Up to this many cycles are drawn one by one; more only as their band.
constexpr int kOverlaidCycles = 50;

// What the plots show; the pointers are the page's and outlive the call.
struct TPlotContent {
    const TPressureAnalysis* Analysis = nullptr;  // none: empty plots
    const TPressureCycle* Cycle = nullptr;        // the analysed cycle and its recorded cycles
    TPressureReference Reference;
    TEngineGeometry Geometry;
    TCombustionSettings Settings;
    const TPressureAnalysis* Comparison = nullptr;
    std::string ComparisonName;
    std::vector<TAngleMarker> Markers;
    TNumberFormat Numbers = kDecimalComma;
    // Of a recording of several cylinders: every cylinder's referenced mean on
    // its own angle, overlaid on "Tlak" (Markers are then the selected one's).
    std::vector<TSignalTable> CylinderMeans;
    int SelectedCylinder = 1;
};

class TCombustionPlots : public QObject {
    Q_OBJECT

public:
    explicit TCombustionPlots(QWidget* owner);

    // The window's boxes, where a failed picture save is shown.
    void useMessageBoxes(IMessageBoxes* boxes);

    QWidget* pressureTab() const { return m_pressureTab; }
    QWidget* diagramsTab() const { return m_diagramsTab; }
    QWidget* heatRateTab() const { return m_heatRateTab; }
    TPlotView* cyclePlot() const { return m_cyclePlot; }
    // The gas temperature over the cycle and, with a model, the coefficient of heat transfer.
    TPlotView* gasPlot() const { return m_gasPlot; }
    // Each cylinder's IMEP as a bar against the engine's mean, the deviation
    // written at each bar; empty lists clear it.
    TPlotView* balancePlot() const { return m_balancePlot; }
    void showBalance(const std::vector<double>& imep, double engineImep,
                     const std::vector<std::string>& deviations);

    // Draws the content afresh; the picked cycle stays picked while it exists.
    void show(const TPlotContent& content);
    // Highlights cycle number (from 1) in every plot; 0 highlights none.
    void pickCycle(int number);
    int pickedCycle() const { return m_picked; }
    // Each plot drawn at the size given, with its caption, for the report;
    // the per-cycle panels only with cycles.
    std::vector<std::pair<QString, QImage>> pictures(int width, int height) const;

signals:
    void cycleChosen(int number);

private:
    QWidget* buildPressureTab(QWidget* owner);
    QWidget* buildDiagramsTab(QWidget* owner);
    QWidget* buildHeatRateTab(QWidget* owner);
    void buildCyclePlot(QWidget* owner);
    void drawPressure();
    void drawPv();
    void drawBurn();
    void drawHeatRate();
    void addReleaseCurves(TPlotView* plot, const std::function<TSeries(const THeatRelease&)>& seriesOf,
                          bool gross) const;
    void drawCycles();
    void buildGasPlot(QWidget* owner);
    void drawGas();
    void drawAll();
    void choosePoint(double angle, double value);
    void chooseCycleAt(double cycleNumber);
    std::vector<TPlotView*> plots() const;

    QWidget* m_pressureTab = nullptr;
    QWidget* m_diagramsTab = nullptr;
    QWidget* m_heatRateTab = nullptr;
    TPlotView* m_pressurePlot = nullptr;
    TPlotView* m_pvPlot = nullptr;
    TPlotView* m_burnPlot = nullptr;
    TPlotView* m_heatRatePlot = nullptr;
    TPlotView* m_cyclePlot = nullptr;
    TPlotView* m_gasPlot = nullptr;
    TPlotView* m_balancePlot = nullptr;
    QCPAxisRect* m_coefficientPanel = nullptr;
    QCPAxisRect* m_imepPanel = nullptr;
    QCPAxisRect* m_mfb50Panel = nullptr;
    QCPAxisRect* m_mapoPanel = nullptr;
    QCheckBox* m_logPressureBox = nullptr;
    QCheckBox* m_logPvBox = nullptr;
    QSpinBox* m_smoothingBox = nullptr;

    TPlotContent m_content;
    TPressureBand m_band;
    int m_picked = 0;
    // The picked cycle's own curves, while one is picked.
    std::optional<TCycleCurves> m_pickedCurves;
};

}  // namespace morvane
