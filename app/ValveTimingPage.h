#pragma once

// The page "Rozvod": the firing order that sets the crank offsets, a cam card
// that sets one cylinder's valve angles, the valve-timing summary of every
// cylinder and the diagram of the selected one. Everything is read from the
// cylinder table when the page is shown, a button is pressed or a step is undone.
// Keys on the page: Enter in a firing-order field or Alt+P "Nastavit přesazení",
// Enter in a cam-card field or Alt+V "Zapsat do válce", Alt+T "Načíst z tabulky";
// each writing into the cylinder table is one undo step.

#include <QWidget>

#include <memory>

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

class TValveTimingPage : public QWidget {
    Q_OBJECT

public:
    TValveTimingPage(ICellGrid& cylinderTable, const IValueList& mainParameters, IMessageBoxes& boxes,
                     TNumberFormat numbers, QWidget* parent = nullptr);
    ~TValveTimingPage() override;

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
