#pragma once

// The page "Spalování": the session's pressure cycle (loaded here from a file,
// or left by the toothed-wheel import), the engine's geometry, γ and the
// heat-release window typed beside it, its figures, the p–V loop and the mass
// fraction burned; beside them the trace's reference (top-dead-centre shift,
// the loss angle its proposal assumes, pegging), the knock settings, every
// cycle's figures and the heat-release rate, each a plot (app/pages/CombustionPlots.h).
// A comparison cycle ("Načíst srovnávací průběh...") is analysed with the same
// entries: its mean is drawn dashed in every plot, its figures beside the
// session's. Picking a row of the cycle table picks that cycle in the plots,
// and clicking a cycle there picks its row. The page only reads its controls
// and hands them to the core.
// Every change of an entry recomputes at once, quietly (a failure empties the
// figures and is named under the file); the button and Enter show the failure.
// Figures computed but doubtful (JudgePlausibility) are shown marked, the
// doubts named under them.
// With a heat-transfer model (tab "Přestup tepla") the model takes cylinder
// 1's intake closing, ignition and exhaust opening from the cylinder table,
// and a pressure file's speed from "Otáčky motoru [RPM]".
// Its part of the set-up: the entries, the knock settings (kept with the
// encoder import's) and the cycle file loaded here.

#include <memory>
#include <optional>
#include <string>

#include "app/pages/SetupPage.h"
#include "events/Session.h"
#include "events/ValveTiming.h"
#include "signal/import/EncoderSettings.h"
#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/CycleFigures.h"
#include "signal/pressure/HeatTransferTexts.h"
#include "signal/pressure/PressureCycle.h"
#include "timeline/PlotSeries.h"

class QComboBox;
class QFormLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace morvane {

class IMessageBoxes;
class IOpenDialog;
class TCombustionPlots;
class TQtValueList;
struct TPageSession;

class TCombustionPage : public TSetupPage {
    Q_OBJECT

public:
    // The session is the window's; it outlives the page.
    explicit TCombustionPage(TPageSession& session, QWidget* parent = nullptr);
    ~TCombustionPage() override;

    TCombustionPlots& plots() const { return *m_plots; }

    void takeSetup(TSetup& setup) const override;
    void fillSetup(const TSetup& setup) override;
    // Shows the session's cycle: quietly after an open or an undo; after an
    // import as after a load, a failure in a box.
    void refreshFromSession(TSessionChange change) override;
    void addToReport(TReport& report) const override;

public slots:
    // Asks for a cycle file, reads it and computes its figures.
    void loadCycle();
    // Computes the figures of the loaded cycle with the typed values.
    void computeFigures();
    // Shows the session's cycle, newly left by an import, with its figures.
    void showSessionCycle();
    // Shows the session's cycle, put there by the window, quietly: a failure
    // is named under the file as while typing.
    void followSessionCycle();
    // Fills the shift from the loaded cycle taken as a motored one.
    void proposeTdcShift();
    // Asks for a cycle file or a recording to compare with, and shows it.
    void loadComparison();
    void dropComparison();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<TFieldText> setupFields(TSetup& setup) const;
    QLineEdit* addEntry(QFormLayout* form, const char* caption, const std::string& text,
                        const char* objectName);
    QVBoxLayout* buildSide();
    QTabWidget* buildTabs();
    void attachKeys();
    void connectControls();
    QHBoxLayout* buildComparisonRow();
    QWidget* buildReferenceTab();
    QWidget* buildCyclesTab();
    QWidget* buildHeatTransferTab();
    QWidget* buildBalanceTab();
    QHBoxLayout* buildCylinderRow();
    // The cylinder the page shows, from 1, and its angle's shift from cylinder 1's.
    int selectedCylinder() const;
    double cylinderShift(int cylinder) const;
    std::vector<double> cylinderShifts() const;
    // The cylinder selector follows the session's cylinders; the page shows the selected one's cycles.
    void followCylinders();
    void selectCylinder();
    void analyseBalance(const TCombustionInputs& inputs, const TPressureReference& reference, double rpm);
    // The model's settings with cylinder 1's angles from the cylinder table,
    // and the speed of a pressure file (the engine's on "Editace"); none
    // without a model. Shows where the angles came from.
    THeatTransferSettings readHeatTransfer(double exponent);
    // The settings' angles from the cylinder's row.
    THeatTransferSettings cylinderHeatTransfer(THeatTransferSettings settings, int cylinder) const;
    double typedSpeed() const;
    TCombustionTexts readTexts() const;
    TPressureReference readReference() const;
    void recompute(bool showFailure);
    void analyse();
    void analyseComparison(const TCombustionInputs& inputs, const TPressureReference& reference);
    void listComparisonFigures();
    void fillCycleTable(const TPressureAnalysis& analysis);
    void showPlots();
    // The selected cylinder's ignition, intake closing and exhaust opening on its own angle.
    std::vector<TAngleMarker> currentMarkers() const;
    void showCycleSource();

    TPageSession& m_pageSession;
    IMessageBoxes& m_boxes;
    IOpenDialog* m_dialog;
    TSession& m_session;
    QTimer* m_knockBandPause = nullptr;
    QWidget* m_side = nullptr;
    QFormLayout* m_sideForm = nullptr;
    QFormLayout* m_referenceForm = nullptr;
    QLineEdit* m_boreEdit = nullptr;
    QLineEdit* m_strokeEdit = nullptr;
    QLineEdit* m_rodEdit = nullptr;
    QLineEdit* m_compressionEdit = nullptr;
    QLineEdit* m_gammaEdit = nullptr;
    QLineEdit* m_windowStartEdit = nullptr;
    QLineEdit* m_windowEndEdit = nullptr;
    QLineEdit* m_tdcShiftEdit = nullptr;
    QLineEdit* m_lossAngleEdit = nullptr;
    QComboBox* m_pegMethodBox = nullptr;
    QLineEdit* m_pegRangeEdit = nullptr;
    QLineEdit* m_pegPressureEdit = nullptr;
    QLineEdit* m_pegExponentEdit = nullptr;
    QLineEdit* m_knockBandEdit = nullptr;
    QLineEdit* m_knockThresholdEdit = nullptr;
    QComboBox* m_heatModelBox = nullptr;
    QComboBox* m_gammaModelBox = nullptr;
    QLineEdit* m_wallTemperatureEdit = nullptr;
    QLineEdit* m_intakeTemperatureEdit = nullptr;
    QLabel* m_heatSourceLabel = nullptr;  // the angles and speed the model takes
    QComboBox* m_cylinderBox = nullptr;
    QTableWidget* m_balanceTable = nullptr;
    // The shifts the session's cylinders were cut with: other shifts in the
    // table read the recording again.
    std::vector<double> m_cutShifts;
    // Every cylinder's referenced mean, for the pressure plot.
    std::vector<TSignalTable> m_cylinderMeans;
    // The cylinder a set-up asks for, shown once the recording gives it.
    int m_wantedCylinder = 1;
    // The cylinder's angles the figures were computed with: the page
    // recomputes when it is shown with others in the table.
    std::optional<TValveAngles> m_heatAngles;
    QLabel* m_noticeLabel = nullptr;
    QLabel* m_doubtLabel = nullptr;  // the doubts about the figures shown
    QTableWidget* m_cycleTable = nullptr;
    QPushButton* m_loadButton = nullptr;
    QPushButton* m_computeButton = nullptr;
    QLabel* m_fileLabel = nullptr;
    QTableWidget* m_figuresTable = nullptr;
    QPushButton* m_comparisonButton = nullptr;
    QToolButton* m_dropComparisonButton = nullptr;
    TCombustionPlots* m_plots = nullptr;
    std::unique_ptr<TQtValueList> m_figuresList;

    // The file the load dialog starts from.
    std::string m_cyclePath;
    // The cycle file loaded here, as the set-up keeps it; empty when the
    // session's cycle is an import's.
    std::string m_loadedPath;
    // What the plots show, with the entries it was computed from.
    std::optional<TPressureAnalysis> m_analysis;
    std::optional<TCombustionInputs> m_inputs;
    TPressureReference m_reference;
    std::vector<TAngleMarker> m_markers;
    // The cycle to compare with, as read, and its analysis with the same entries.
    std::shared_ptr<const TPressureCycle> m_comparisonCycle;
    std::string m_comparisonPath;
    std::optional<TPressureAnalysis> m_comparison;
};

}  // namespace morvane
