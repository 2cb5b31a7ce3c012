#pragma once

// The page "Editace": the engine's main parameters, the cycle time computed
// from them and the cylinder table of offsets, ignition and valve angles.
//
// | member                        | objectName    | what it is                                     |
// |-------------------------------|---------------|------------------------------------------------|
// | (the page)                    | TabSheet1     | page "Editace"                                 |
// | m_mainParametersHeading       | Label1        | "Hlavní parametry"                             |
// | m_detailParametersHeading     | Label2        | "Detailní parametry"                           |
// | m_computedParametersHeading   | Label3        | "Vypočtené parametry"                          |
// | m_mainParameterList           | ValueList1    | cylinder count, strokes, speed                 |
// | m_computedParameterList       | ValueList2    | cycle time, read-only                          |
// | m_cylinderTable               | StringGrid2   | offset, ignition and valve angles per cylinder |
// | m_fillFromFirstButton         | SpeedButton1  | "Vyplnit podle prvního": fillFromFirst()       |
// | m_createEventsButton          | SpeedButton2  | "Vytvořit události": createEvents()            |
// | m_referenceGroup              | RadioGroup1   | " SV/VV reference ", disabled                  |
//
// The core reads and writes the lists and the table through the adapters of
// the same role names; the page puts them in the window's session, where the
// commands and the other pages find them. Its part of the set-up is the
// core's edit texts, which take the correction list with them.

#include <memory>

#include "app/pages/SetupPage.h"
#include "util/controls.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace morvane {

class TQtCellGrid;
class TQtValueList;
struct TPageSession;

class TEditPage : public TSetupPage {
    Q_OBJECT

public:
    // The session is the window's; it outlives the page. The lists and the
    // table start with their defaults.
    explicit TEditPage(TPageSession& session, QWidget* parent = nullptr);
    ~TEditPage() override;

    void takeSetup(TSetup& setup) const override;
    void fillSetup(const TSetup& setup) override;
    std::vector<TPageCommand> commands() override;
    std::vector<TTypedTable> typedTables() const override;
    QList<QTableWidget*> writtenTables() const override;
    // A keyboard user starts typing the cylinder count.
    void focusStart() override;
    // The engine: the main and computed parameters, the cylinder table's rows of its cylinders.
    void addToReport(TReport& report) const override;

public slots:
    void fillFromFirst();
    void createEvents();

private:
    void createHeadings();
    void createReferenceGroup();

    TPageSession& m_session;
    QLabel* m_mainParametersHeading = nullptr;
    QLabel* m_detailParametersHeading = nullptr;
    QLabel* m_computedParametersHeading = nullptr;
    QTableWidget* m_mainParameterList = nullptr;
    QTableWidget* m_computedParameterList = nullptr;
    QTableWidget* m_cylinderTable = nullptr;
    QPushButton* m_fillFromFirstButton = nullptr;
    QPushButton* m_createEventsButton = nullptr;
    QGroupBox* m_referenceGroup = nullptr;

    std::unique_ptr<TQtValueList> m_mainParameters;
    std::unique_ptr<TQtValueList> m_computedParameters;
    std::unique_ptr<TQtCellGrid> m_cylinders;
};

}  // namespace morvane
