#pragma once

// The page "Rozvod": the firing order that sets the crank offsets, a cam card
// that sets one cylinder's valve angles, the valve-timing summary of every
// cylinder and the diagram of the selected one. Everything is read from the
// cylinder table when the page is shown, a button is pressed or a step is undone.
// Keys on the page: Enter in a firing-order field or Alt+P "Nastavit přesazení",
// Enter in a cam-card field or Alt+V "Zapsat do válce", Alt+T "Načíst z tabulky";
// each writing into the cylinder table is one undo step. The cylinder table
// and the main parameters are the page "Editace"'s, read from the window's session.

#include <memory>

#include "app/pages/SetupPage.h"
#include "events/Setup.h"
#include "events/ValveTiming.h"
#include "timeline/Raster.h"
#include "util/controls.h"
#include "util/messages.h"
#include "util/numtext.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace morvane {

class TImageView;
class TQtCellGrid;
struct TPageSession;

class TValveTimingPage : public TSetupPage {
    Q_OBJECT

public:
    // The session is the window's and outlives the page.
    explicit TValveTimingPage(TPageSession& session, QWidget* parent = nullptr);
    ~TValveTimingPage() override;

    // The firing order, the cam card and the selected cylinder.
    void takeSetup(TSetup& setup) const override;
    void fillSetup(const TSetup& setup) override;
    // A shown page reads the table anew.
    void refreshFromSession(TSessionChange change) override;

    // The diagram as last drawn.
    const TRaster& diagram() const { return m_diagram; }

    // The cylinder whose row the summary selects (1 ..), as a set-up keeps it.
    int selectedCylinder() const;
    // Selects the cylinder's row; a row the summary does not show yet is
    // selected once the table has that many cylinders.
    void selectCylinder(int cylinder);

public slots:
    void applyFiringOrder();
    void writeCamCard();
    void refresh();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::vector<TFieldText> setupFields(TValveTimingTexts& texts) const;
    QLineEdit* addField(const QString& caption, const char* objectName, const QString& hint);
    QHBoxLayout* createFiringOrderRow();
    QHBoxLayout* createCamCardRow();
    void createSummary();
    QHBoxLayout* createDiagramRow();
    // Reads the selected cylinder's angles; a bad cell raises and keeps the last ones.
    void readSelectedCylinder();
    // Draws what was read last at the view's size; never fails.
    void drawDiagram();
    // The summary's row the diagram and the cam card use; 1 without one.
    int shownCylinder() const;

    ICellGrid& m_cylinderTable;
    const IValueList& m_mainParameters;
    IMessageBoxes& m_boxes;
    TNumberFormat m_numbers;
    TRaster m_diagram;
    int m_cylinder = 1;
    int m_wantedCylinder = 1;
    TValveAngles m_angles;
    QLineEdit* m_firingOrderEdit = nullptr;
    QLineEdit* m_intervalsEdit = nullptr;
    QLineEdit* m_intakeDurationEdit = nullptr;
    QLineEdit* m_exhaustDurationEdit = nullptr;
    QLineEdit* m_intakeCentrelineEdit = nullptr;
    QLineEdit* m_exhaustCentrelineEdit = nullptr;
    QPushButton* m_applyButton = nullptr;
    QPushButton* m_camButton = nullptr;
    QPushButton* m_refreshButton = nullptr;
    QTableWidget* m_summaryGrid = nullptr;
    QLabel* m_diagramCaption = nullptr;
    TImageView* m_diagramView = nullptr;
    std::unique_ptr<TQtCellGrid> m_summary;
    bool m_followsHistory = false;
};

}  // namespace morvane
