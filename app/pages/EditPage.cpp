#include "app/pages/EditPage.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "app/history/EditHistory.h"
#include "app/pages/PageSession.h"
#include "app/report/WidgetTables.h"
#include "app/widgets/PageWidgets.h"
#include "app/widgets/QtControls.h"
#include "events/EventGeneration.h"
#include "events/FiringOrder.h"
#include "events/MainControls.h"
#include "events/SetupControls.h"
#include "util/messages.h"

namespace morvane {

TEditPage::TEditPage(TPageSession& session, QWidget* parent) : TSetupPage(parent), m_session(session) {
    setObjectName("TabSheet1");
    createHeadings();

    m_fillFromFirstButton = MakeButton("SpeedButton1", "Vyplnit podle prvního", this, {331, 8, 327, 22});
    m_createEventsButton = MakeButton("SpeedButton2", "Vytvořit události", this, {8, 296, 185, 57});

    m_mainParameterList = MakeValueList("ValueList1", this, "Parametr", "Hodnota", 105, 74, true);
    m_mainParameterList->setGeometry(8, 32, 185, 113);
    m_computedParameterList = MakeValueList("ValueList2", this, "Parametr", "Hodnota", 105, 74, false);
    m_computedParameterList->setGeometry(8, 176, 185, 105);

    m_cylinderTable = MakeGrid("StringGrid2", this, kCylinderColumns, kCylinderRows + 1, true);
    m_cylinderTable->setGeometry(200, 32, 459, 251);
    m_cylinderTable->horizontalHeader()->setDefaultSectionSize(64);

    createReferenceGroup();

    // Tab goes through what can be typed into first, then what can only be read.
    setTabOrder(m_mainParameterList, m_cylinderTable);
    setTabOrder(m_cylinderTable, m_computedParameterList);

    m_mainParameters = std::make_unique<TQtValueList>(m_mainParameterList, true);
    m_computedParameters = std::make_unique<TQtValueList>(m_computedParameterList, false);
    m_cylinders = std::make_unique<TQtCellGrid>(m_cylinderTable, 1, 1);
    FillDefaultMainParameters(*m_mainParameters);
    FillDefaultComputedParameters(*m_computedParameters);
    m_cylinders->prepareCells();
    FillDefaultCylinderTable(*m_cylinders);
    m_session.Recalc.MainParameters = m_mainParameters.get();
    m_session.Recalc.ComputedParameters = m_computedParameters.get();
    m_session.CylinderTable = m_cylinders.get();
}

TEditPage::~TEditPage() = default;

void TEditPage::createHeadings() {
    m_mainParametersHeading = MakeLabel("Label1", "Hlavní parametry", this, 8, 13);
    m_detailParametersHeading = MakeLabel("Label2", "Detailní parametry", this, 200, 13);
    m_computedParametersHeading = MakeLabel("Label3", "Vypočtené parametry", this, 8, 157);
    const QFont headingFont = PixelFont(font(), 13);
    for (QLabel* label : {m_mainParametersHeading, m_detailParametersHeading, m_computedParametersHeading}) {
        label->setFont(headingFont);
        label->adjustSize();
    }
}

void TEditPage::createReferenceGroup() {
    m_referenceGroup = new QGroupBox(" SV/VV reference ", this);
    m_referenceGroup->setObjectName("RadioGroup1");
    m_referenceGroup->setGeometry(397, 288, 263, 73);
    auto* radioLayout = new QVBoxLayout(m_referenceGroup);
    auto* toOffset = new QRadioButton("k přesazení", m_referenceGroup);
    auto* toIgnition = new QRadioButton("k zapalování", m_referenceGroup);
    toOffset->setChecked(true);
    radioLayout->addWidget(toOffset);
    radioLayout->addWidget(toIgnition);
    m_referenceGroup->setEnabled(false);
}

void TEditPage::takeSetup(TSetup& setup) const {
    TakeEditTexts(*m_mainParameters, *m_cylinders, *m_session.Recalc.CorrectionList, setup);
}

void TEditPage::fillSetup(const TSetup& setup) {
    FillEditControls(setup, *m_mainParameters, *m_cylinders);
}

std::vector<TPageCommand> TEditPage::commands() {
    return {{m_createEventsButton, Qt::Key_F5, [this] { createEvents(); }},
            {m_fillFromFirstButton, Qt::Key_F6, [this] { fillFromFirst(); }}};
}

std::vector<TTypedTable> TEditPage::typedTables() const {
    return {{m_mainParameterList, m_mainParameters.get(), nullptr},
            {m_cylinderTable, nullptr, m_cylinders.get()}};
}

QList<QTableWidget*> TEditPage::writtenTables() const {
    return {m_computedParameterList};
}

void TEditPage::focusStart() {
    m_mainParameterList->setCurrentCell(0, 1);
    m_mainParameterList->setFocus();
}

void TEditPage::fillFromFirst() {
    const TEditStep step(this, QStringLiteral("Vyplnit podle prvního"));
    RunGuarded(m_session.Boxes, [this] { FillFromFirst(*m_mainParameters, *m_cylinders); });
}

void TEditPage::createEvents() {
    const TEditStep step(this, QStringLiteral("Vytvořit události"));
    RunGuarded(m_session.Boxes,
               [this] { CreateEventsAndRecalculate(*m_cylinders, m_session.Session, m_session.Recalc); });
}

void TEditPage::addToReport(TReport& report) const {
    TReportSection& engine = report.Sections.emplace_back();
    engine.Heading = "Motor";
    engine.Tables.push_back(WidgetTable(*m_mainParameterList));
    engine.Tables.push_back(WidgetTable(*m_computedParameterList));
    const int cylinders = std::clamp(TableCylinderCount(*m_mainParameters), 0, kCylinderRows);
    // The table's first row holds its column titles.
    engine.Tables.push_back(WidgetTable(*m_cylinderTable, 0, cylinders));
}

}  // namespace morvane
