#include "app/EditPage.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/EditHistory.h"
#include "app/PageWidgets.h"
#include "app/QtControls.h"
#include "events/EventGeneration.h"
#include "events/MainControls.h"
#include "util/messages.h"

namespace morvane {

TEditPage::TEditPage(IMessageBoxes& boxes, QWidget* parent) : QWidget(parent), m_boxes(boxes) {
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

IValueList& TEditPage::mainParameters() {
    return *m_mainParameters;
}

IValueList& TEditPage::computedParameters() {
    return *m_computedParameters;
}

ICellGrid& TEditPage::cylinderTable() {
    return *m_cylinders;
}

void TEditPage::focusCylinderCount() {
    m_mainParameterList->setCurrentCell(0, 1);
    m_mainParameterList->setFocus();
}

void TEditPage::fillFromFirst() {
    const TEditStep step(this, QStringLiteral("Vyplnit podle prvního"));
    RunGuarded(m_boxes, [this] { FillFromFirst(*m_mainParameters, *m_cylinders); });
}

}  // namespace morvane
