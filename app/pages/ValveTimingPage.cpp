#include "app/pages/ValveTimingPage.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <iterator>

#include "app/history/EditHistory.h"
#include "app/pages/PageSession.h"
#include "app/widgets/ButtonKeys.h"
#include "app/widgets/ImageView.h"
#include "app/widgets/QtControls.h"
#include "events/EngineEvent.h"
#include "events/FiringOrder.h"
#include "events/Setup.h"
#include "events/ValveTiming.h"
#include "timeline/Timeline.h"
#include "timeline/ValveDiagram.h"

namespace morvane {

namespace {

constexpr int kGridRowHeight = 18;

QString ColorName(int kind) {
    const TColor color = EventKindColor(kind);
    return QColor(int(ColorRed(color)), int(ColorGreen(color)), int(ColorBlue(color))).name();
}

// The diagram's key in the page's own text: the raster's font has digits only.
QString LegendText() {
    return QString(
               "<span style='color:%1'>■</span> SV otevřen &nbsp; <span style='color:%2'>■</span> VV "
               "otevřen<br><span style='color:%3'>■</span> zapalování<br><br>"
               "Spirála dvou otáček od dolní úvrati −180 (vnější) do 540 (vnitřní). Úhly od horní "
               "úvrati výměny náplně: 0 a 360 horní úvrati, −180, 180 a 540 dolní úvrati.")
        .arg(ColorName(ekIntakeValve), ColorName(ekExhaustValve), ColorName(ekIgnition));
}

QPushButton* MakeButton(const QString& text, const char* objectName, QWidget* parent,
                        const QKeySequence& key) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    AttachButtonKey(button, key, parent);
    return button;
}

}  // namespace

TValveTimingPage::TValveTimingPage(TPageSession& session, QWidget* parent)
    : TSetupPage(parent),
      m_cylinderTable(*session.CylinderTable),
      m_mainParameters(*session.Recalc.MainParameters),
      m_boxes(session.Boxes),
      m_numbers(session.Session.Numbers) {
    setObjectName("ValveTimingPage");
    auto* page = new QVBoxLayout(this);
    page->addLayout(createFiringOrderRow());
    page->addLayout(createCamCardRow());
    createSummary();
    page->addWidget(m_summaryGrid);
    page->addLayout(createDiagramRow(), 1);

    // Tab goes along the rows as they are read: each row's fields, then its button.
    QWidget* order[] = {m_firingOrderEdit,       m_intervalsEdit,       m_applyButton,
                        m_intakeDurationEdit,    m_exhaustDurationEdit, m_intakeCentrelineEdit,
                        m_exhaustCentrelineEdit, m_camButton,           m_summaryGrid,
                        m_refreshButton};
    for (std::size_t k = 1; k < std::size(order); ++k) {
        setTabOrder(order[k - 1], order[k]);
    }

    connect(m_summaryGrid, &QTableWidget::currentCellChanged, this, [this] {
        m_wantedCylinder = shownCylinder();
        RunGuarded(m_boxes, [this] { readSelectedCylinder(); });
        drawDiagram();
    });
    // A resize redraws what was read last, so it never raises a box.
    connect(m_diagramView, &TImageView::resized, this, [this] {
        if (isVisible()) {
            drawDiagram();
        }
    });
}

QHBoxLayout* TValveTimingPage::createFiringOrderRow() {
    auto* firing = new QHBoxLayout;
    m_firingOrderEdit = addField("Pořadí zapalování", "FiringOrderEdit", "1-3-4-2");
    m_intervalsEdit = addField("Intervaly [°]", "FiringIntervalsEdit", "rovnoměrně");
    m_applyButton = MakeButton("Nastavit přesazení", "ApplyFiringOrderButton", this, Qt::ALT | Qt::Key_P);
    for (QLineEdit* edit : {m_firingOrderEdit, m_intervalsEdit}) {
        firing->addWidget(new QLabel(edit->toolTip(), this));
        firing->addWidget(edit);
        connect(edit, &QLineEdit::returnPressed, this, &TValveTimingPage::applyFiringOrder);
    }
    firing->addWidget(m_applyButton);
    connect(m_applyButton, &QPushButton::clicked, this, &TValveTimingPage::applyFiringOrder);
    return firing;
}

QHBoxLayout* TValveTimingPage::createCamCardRow() {
    auto* cam = new QHBoxLayout;
    m_intakeDurationEdit = addField("Sání [°]", "CamIntakeDurationEdit", "274");
    m_exhaustDurationEdit = addField("Výfuk [°]", "CamExhaustDurationEdit", "286");
    m_intakeCentrelineEdit = addField("Osa sání [°]", "CamIntakeCentrelineEdit", "106");
    m_exhaustCentrelineEdit = addField("Osa výfuku [°]", "CamExhaustCentrelineEdit", "114");
    cam->addWidget(new QLabel("Vačka:", this));
    for (QLineEdit* edit :
         {m_intakeDurationEdit, m_exhaustDurationEdit, m_intakeCentrelineEdit, m_exhaustCentrelineEdit}) {
        cam->addWidget(new QLabel(edit->toolTip(), this));
        cam->addWidget(edit);
        connect(edit, &QLineEdit::returnPressed, this, &TValveTimingPage::writeCamCard);
    }
    m_camButton = MakeButton("Zapsat do válce", "CamCardButton", this, Qt::ALT | Qt::Key_V);
    cam->addWidget(m_camButton);
    connect(m_camButton, &QPushButton::clicked, this, &TValveTimingPage::writeCamCard);
    return cam;
}

void TValveTimingPage::createSummary() {
    m_summaryGrid = new QTableWidget(1, kValveSummaryColumns, this);
    m_summaryGrid->setObjectName("ValveSummaryGrid");
    m_summaryGrid->horizontalHeader()->setVisible(false);
    m_summaryGrid->verticalHeader()->setVisible(false);
    m_summaryGrid->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    m_summaryGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_summaryGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_summaryGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_summaryGrid->setWordWrap(false);
    m_summary = std::make_unique<TQtCellGrid>(m_summaryGrid, 1, 1);
    m_summary->prepareCells();
}

QHBoxLayout* TValveTimingPage::createDiagramRow() {
    auto* bottom = new QHBoxLayout;
    m_diagramView = new TImageView(m_diagram, this);
    m_diagramView->setObjectName("ValveDiagram");
    m_diagramView->setMinimumSize(200, 200);
    bottom->addWidget(m_diagramView, 1);
    auto* side = new QVBoxLayout;
    m_diagramCaption = new QLabel(this);
    m_diagramCaption->setObjectName("ValveDiagramCaption");
    side->addWidget(m_diagramCaption);
    m_refreshButton = MakeButton("Načíst z tabulky", "RefreshValvesButton", this, Qt::ALT | Qt::Key_T);
    side->addWidget(m_refreshButton);
    auto* legend = new QLabel(LegendText(), this);
    legend->setWordWrap(true);
    side->addWidget(legend);
    side->addStretch(1);
    bottom->addLayout(side, 1);
    connect(m_refreshButton, &QPushButton::clicked, this, &TValveTimingPage::refresh);
    return bottom;
}

TValveTimingPage::~TValveTimingPage() = default;

QLineEdit* TValveTimingPage::addField(const QString& caption, const char* objectName, const QString& hint) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(objectName);
    edit->setPlaceholderText(hint);
    edit->setToolTip(caption);
    return edit;
}

void TValveTimingPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // An undo or a redo may change the table under the shown page.
    if (TEditHistory* history = TEditHistory::of(this); history != nullptr && !m_followsHistory) {
        m_followsHistory = true;
        connect(history, &TEditHistory::restored, this, [this] {
            if (isVisible()) {
                refresh();
            }
        });
    }
    refresh();
}

std::vector<TFieldText> TValveTimingPage::setupFields(TValveTimingTexts& texts) const {
    return {{m_firingOrderEdit, &texts.FiringOrder},
            {m_intervalsEdit, &texts.Intervals},
            {m_intakeDurationEdit, &texts.IntakeDuration},
            {m_exhaustDurationEdit, &texts.ExhaustDuration},
            {m_intakeCentrelineEdit, &texts.IntakeCentreline},
            {m_exhaustCentrelineEdit, &texts.ExhaustCentreline}};
}

void TValveTimingPage::takeSetup(TSetup& setup) const {
    TakeFieldTexts(setupFields(setup.ValveTiming));
    setup.ValveTiming.SelectedCylinder = selectedCylinder();
}

void TValveTimingPage::fillSetup(const TSetup& setup) {
    TValveTimingTexts texts = setup.ValveTiming;
    FillFieldTexts(setupFields(texts));
    selectCylinder(texts.SelectedCylinder);
}

void TValveTimingPage::refreshFromSession(TSessionChange change) {
    if (change == TSessionChange::SetupShown && isVisible()) {
        refresh();
    }
}

int TValveTimingPage::shownCylinder() const {
    const int row = m_summaryGrid->currentRow();
    return row >= 1 && row < m_summaryGrid->rowCount() ? row : 1;
}

int TValveTimingPage::selectedCylinder() const {
    const int row = m_summaryGrid->currentRow();
    return row >= 1 && row < m_summaryGrid->rowCount() ? row : m_wantedCylinder;
}

void TValveTimingPage::selectCylinder(int cylinder) {
    m_wantedCylinder = cylinder;
    if (cylinder >= 1 && cylinder < m_summaryGrid->rowCount()) {
        m_summaryGrid->setCurrentCell(cylinder, 0);
    }
}

void TValveTimingPage::readSelectedCylinder() {
    const int cylinder = shownCylinder();
    m_angles = ReadValveAngles(m_cylinderTable, cylinder, m_numbers);
    m_cylinder = cylinder;
    m_diagramCaption->setText("Válec " + QString::number(m_cylinder));
}

void TValveTimingPage::drawDiagram() {
    TValveDiagramInput input;
    input.W = m_diagramView->width();
    input.H = m_diagramView->height();
    input.Cylinder = m_cylinder;
    input.Angles = m_angles;
    DrawValveDiagram(input, m_diagram);
    m_diagramView->update();
}

void TValveTimingPage::refresh() {
    {
        // A shrinking table moves the selection; its own handler would read the table a second time.
        const QSignalBlocker quiet(m_summaryGrid);
        RunGuarded(m_boxes, [this] {
            FillValveSummary(m_mainParameters, m_cylinderTable, *m_summary, m_numbers);
            if (m_summaryGrid->currentRow() < 1 && m_wantedCylinder < m_summaryGrid->rowCount()) {
                m_summaryGrid->setCurrentCell(m_wantedCylinder, 0);
            }
            m_summaryGrid->resizeColumnsToContents();
            // The table is as tall as its rows; the diagram takes the rest of the page.
            m_summaryGrid->setFixedHeight(kGridRowHeight * m_summaryGrid->rowCount() +
                                          2 * m_summaryGrid->frameWidth() + 2);
            readSelectedCylinder();
        });
    }
    drawDiagram();
}

void TValveTimingPage::applyFiringOrder() {
    const TEditStep step(this, QStringLiteral("Nastavit přesazení"));
    if (RunGuarded(m_boxes, [this] {
            ApplyFiringOrder(m_mainParameters, m_cylinderTable, ToStdString(m_firingOrderEdit->text()),
                             ToStdString(m_intervalsEdit->text()), m_numbers);
        })) {
        refresh();
    }
}

void TValveTimingPage::writeCamCard() {
    const TEditStep step(this, QStringLiteral("Zapsat do válce"));
    const bool written = RunGuarded(m_boxes, [this] {
        const TCamCard card = ParseCamCard(
            {ToStdString(m_intakeDurationEdit->text()), ToStdString(m_exhaustDurationEdit->text()),
             ToStdString(m_intakeCentrelineEdit->text()), ToStdString(m_exhaustCentrelineEdit->text())},
            m_numbers);
        WriteValveAngles(m_cylinderTable, shownCylinder(), ValveAnglesFromCamCard(card), m_numbers);
    });
    if (written) {
        refresh();
    }
}

}  // namespace morvane
