#include "app/pages/CombustionPage.h"

#include <QColor>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <span>

#include "app/pages/CombustionPlots.h"
#include "app/pages/PageSession.h"
#include "app/report/FileFingerprint.h"
#include "app/report/WidgetTables.h"
#include "app/widgets/BackgroundWork.h"
#include "app/widgets/ButtonKeys.h"
#include "app/widgets/ControlRole.h"
#include "app/widgets/PlotView.h"
#include "app/widgets/QtControls.h"
#include "events/EventGeneration.h"
#include "events/Setup.h"
#include "signal/import/ComparisonCycle.h"
#include "signal/pressure/CombustionFigures.h"
#include "signal/pressure/CombustionInputs.h"
#include "signal/pressure/CycleTable.h"
#include "signal/pressure/CylinderBalance.h"
#include "signal/pressure/KnockJudgement.h"
#include "signal/pressure/Plausibility.h"
#include "signal/pressure/TdcProposal.h"
#include "timeline/HeatRateDiagram.h"
#include "util/dialogutil.h"
#include "util/errors.h"
#include "util/memorycontrols.h"
#include "util/messages.h"
#include "util/numtext.h"

namespace morvane {

namespace {

constexpr int kSideWidth = 230;
constexpr int kEntryWidth = 70;
constexpr int kRowHeight = 20;
constexpr int kNameColumnWidth = 140;
// The report lists the cycles one by one up to this many.
constexpr int kReportedCycles = 200;
constexpr int kReportPictureWidth = 1000;
constexpr int kReportPictureHeight = 600;

// The window's recording options read here, on the UI thread, for a reading
// that runs off it; they are still given only when the file asks for them,
// and a failure to make them is raised then.
std::function<TEncoderOptions()> OptionsAsTheyAreNow(const std::function<TEncoderOptions()>& ask) {
    if (!ask) {
        return ask;
    }
    try {
        return [options = ask()] { return options; };
    } catch (...) {
        return [failure = std::current_exception()]() -> TEncoderOptions { std::rethrow_exception(failure); };
    }
}
// The room the comparison's column of figures adds to the side.
constexpr int kComparisonColumnWidth = 80;
const char* const kNoCycleText = "Tlakový průběh nenačten";
const char* const kNotInBarText =
    "Průběh není v barech: záznam byl importován bez citlivosti snímače, proto se hodnoty nezobrazují. "
    "Zadejte Citlivost snímače [bar/jednotka] v dialogu Import signal (ENCODER)... a importujte záznam "
    "znovu.";
constexpr int kCycleTableHeight = 150;
constexpr int kMeasuredCycleRows = 100;
// How long the typing in the knock band rests before the recording is read again.
constexpr int kKnockBandPauseMs = 500;
const char* const kDoubtColor = "#b35c00";
const char* const kNoHeatModelText =
    "Bez modelu je vývin tepla zdánlivý (čistý): teplo odvedené do stěn v něm chybí. Model přestupu tepla "
    "bere úhly válce 1 z tabulky válců.";

// Marks the figures the doubts concern: the warning colour, and why as the tooltip.
void MarkDoubtfulFigures(QTableWidget* table, const std::vector<TDoubt>& doubts) {
    for (int row = 0; row < table->rowCount(); ++row) {
        const std::string name = ToStdString(table->item(row, 0)->text());
        QStringList reasons;
        for (const TDoubt& doubt : doubts) {
            if (std::find(doubt.Figures.begin(), doubt.Figures.end(), name) != doubt.Figures.end()) {
                reasons << ToQString(doubt.Text);
            }
        }
        if (reasons.isEmpty()) {
            continue;
        }
        for (int column = 0; column < table->columnCount(); ++column) {
            QTableWidgetItem* item = table->item(row, column);
            item->setForeground(QColor(kDoubtColor));
            item->setToolTip(reasons.join("\n"));
        }
    }
}

// Two lines whatever the path: a long one never pushes the fields down (its
// tooltip holds it whole).
QLabel* MakeFileLabel(QWidget* page) {
    auto* label = new QLabel(kNoCycleText, page);
    label->setObjectName("CycleFileLabel");
    label->setWordWrap(true);
    label->setFixedHeight(2 * label->fontMetrics().lineSpacing() + label->fontMetrics().descent());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// A table of rows whose first row is the heading.
void FillTableRows(QTableWidget* table, const std::vector<std::vector<std::string>>& rows) {
    table->setColumnCount(static_cast<int>(rows.front().size()));
    table->setRowCount(static_cast<int>(rows.size()) - 1);
    QStringList header;
    for (const std::string& cell : rows.front()) {
        header << ToQString(cell);
    }
    table->setHorizontalHeaderLabels(header);
    for (std::size_t row = 1; row < rows.size(); ++row) {
        for (std::size_t column = 0; column < rows[row].size(); ++column) {
            table->setItem(static_cast<int>(row) - 1, static_cast<int>(column),
                           new QTableWidgetItem(ToQString(rows[row][column])));
        }
    }
}

// Whether the page shows one of a recording's cylinders (not a file loaded here).
bool ShowsRecordedCylinder(const TSession& session) {
    return session.CylinderCycles.size() > 1 &&
           (!session.PressureCycle || std::find(session.CylinderCycles.begin(), session.CylinderCycles.end(),
                                                session.PressureCycle) != session.CylinderCycles.end());
}

// The name a comparison goes by in the legend and the figures' heading.
std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

TCombustionPage::TCombustionPage(TPageSession& session, QWidget* parent)
    : TSetupPage(parent),
      m_pageSession(session),
      m_boxes(session.Boxes),
      m_dialog(session.OpenDialog),
      m_session(session.Session) {
    setObjectName("CombustionPage");
    // Built in the order of the keyboard's focus: the side's fields, then the tabs.
    QVBoxLayout* side = buildSide();
    QTabWidget* tabs = buildTabs();
    auto* page = new QHBoxLayout(this);
    m_side = new QWidget(this);
    m_side->setLayout(side);
    m_side->setFixedWidth(kSideWidth);
    page->addWidget(m_side);
    page->addWidget(tabs, 1);
    attachKeys();
    connectControls();
    // A cycle the session already holds (from the encoder import) is shown at once.
    if (m_session.PressureCycle) {
        showSessionCycle();
    }
}

QVBoxLayout* TCombustionPage::buildSide() {
    auto* side = new QVBoxLayout;
    side->setContentsMargins(0, 0, 0, 0);
    m_loadButton = new QPushButton("Načíst tlakový průběh...", this);
    m_loadButton->setObjectName("LoadCycleButton");
    side->addWidget(m_loadButton);
    m_fileLabel = MakeFileLabel(this);
    side->addWidget(m_fileLabel);
    side->addLayout(buildComparisonRow());
    side->addLayout(buildCylinderRow());
    m_noticeLabel = new QLabel(this);
    m_noticeLabel->setObjectName("CycleNoticeLabel");
    m_noticeLabel->setWordWrap(true);
    m_noticeLabel->setStyleSheet("color: #c00000");
    m_noticeLabel->hide();

    auto* form = new QFormLayout;
    m_sideForm = form;
    side->addLayout(form);
    const TCombustionTexts texts;
    m_boreEdit = addEntry(form, "Vrtání [mm]", texts.Bore, "BoreEdit");
    m_strokeEdit = addEntry(form, "Zdvih [mm]", texts.Stroke, "StrokeEdit");
    m_rodEdit = addEntry(form, "Ojnice [mm]", texts.Rod, "RodEdit");
    m_compressionEdit = addEntry(form, "Kompresní poměr [1]", texts.Compression, "CompressionEdit");
    m_gammaEdit = addEntry(form, "γ [1]", texts.Gamma, "GammaEdit");
    m_windowStartEdit = addEntry(form, "Okno od [°]", texts.WindowStart, "WindowStartEdit");
    m_windowEndEdit = addEntry(form, "Okno do [°]", texts.WindowEnd, "WindowEndEdit");

    m_computeButton = new QPushButton("Vypočítat", this);
    m_computeButton->setObjectName("ComputeButton");
    m_computeButton->setEnabled(false);
    side->addWidget(m_computeButton);

    m_figuresTable = new QTableWidget(0, 2, this);
    m_figuresTable->setObjectName("FiguresList");
    m_figuresTable->setHorizontalHeaderLabels({"Veličina", "Hodnota"});
    m_figuresTable->verticalHeader()->setVisible(false);
    m_figuresTable->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_figuresTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_figuresTable->horizontalHeader()->setStretchLastSection(true);
    m_figuresTable->setColumnWidth(0, kNameColumnWidth);
    m_figuresTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_figuresList = std::make_unique<TQtValueList>(m_figuresTable, false);
    side->addWidget(m_figuresTable, 1);
    // Below the figures, so that showing it shrinks only their table.
    m_doubtLabel = new QLabel(this);
    m_doubtLabel->setObjectName("FiguresDoubtLabel");
    m_doubtLabel->setWordWrap(true);
    m_doubtLabel->setStyleSheet(QStringLiteral("color: %1").arg(kDoubtColor));
    m_doubtLabel->hide();
    side->addWidget(m_doubtLabel);
    // A failure or a notice under the figures too: shown, it shrinks their
    // table and leaves every field where the next click expects it.
    side->addWidget(m_noticeLabel);
    return side;
}

// The page keeps the window's size: the plots and the reference's entries
// go on tabs beside the figures, the pressure first.
QTabWidget* TCombustionPage::buildTabs() {
    m_plots = new TCombustionPlots(this);
    m_plots->useMessageBoxes(&m_boxes);
    auto* tabs = new QTabWidget(this);
    tabs->setObjectName("CombustionTabs");
    tabs->addTab(m_plots->pressureTab(), "Tlak");
    tabs->addTab(m_plots->diagramsTab(), "Diagramy");
    tabs->addTab(buildReferenceTab(), "Vztažení");
    tabs->addTab(buildCyclesTab(), "Cykly");
    tabs->addTab(m_plots->heatRateTab(), "Vývin tepla");
    tabs->addTab(buildHeatTransferTab(), "Přestup tepla");
    tabs->addTab(buildBalanceTab(), "Válce");
    return tabs;
}

QHBoxLayout* TCombustionPage::buildComparisonRow() {
    auto* row = new QHBoxLayout;
    m_comparisonButton = new QPushButton("Načíst srovnávací průběh...", this);
    m_comparisonButton->setObjectName("ReferenceButton");
    m_comparisonButton->setToolTip(
        "Tlakový průběh nebo záznam (s volbami importu ENCODER) ke srovnání: jeho průměr se kreslí "
        "čárkovaně, "
        "jeho výsledky ve sloupci vedle");
    m_dropComparisonButton = new QToolButton(this);
    m_dropComparisonButton->setText("×");
    m_dropComparisonButton->setObjectName("DropReferenceButton");
    m_dropComparisonButton->setToolTip("Zrušit srovnání");
    m_dropComparisonButton->setEnabled(false);
    // A comparison is laid over the work, not kept with it.
    SetControlRole(m_comparisonButton, TControlRole::Display);
    SetControlRole(m_dropComparisonButton, TControlRole::Display);
    row->addWidget(m_comparisonButton, 1);
    row->addWidget(m_dropComparisonButton);
    return row;
}

void TCombustionPage::attachKeys() {
    AttachButtonKey(m_loadButton, Qt::ALT | Qt::Key_N, this);
    AttachButtonKey(m_computeButton, Qt::ALT | Qt::Key_V, this);
    auto* proposeButton = findChild<QPushButton*>("ProposeTdcShiftButton");
    AttachButtonKey(proposeButton, Qt::ALT | Qt::Key_H, this);
    proposeButton->setToolTip(
        QStringLiteral("Posun HÚ podle souměrnosti načteného průběhu bez spalování (%1)")
            .arg(QKeySequence(Qt::ALT | Qt::Key_H).toString(QKeySequence::NativeText)));
}

void TCombustionPage::connectControls() {
    connect(m_loadButton, &QPushButton::clicked, this, &TCombustionPage::loadCycle);
    connect(m_computeButton, &QPushButton::clicked, this, &TCombustionPage::computeFigures);
    connect(m_comparisonButton, &QPushButton::clicked, this, &TCombustionPage::loadComparison);
    connect(m_dropComparisonButton, &QToolButton::clicked, this, &TCombustionPage::dropComparison);
    connect(m_cycleTable, &QTableWidget::itemSelectionChanged, this, [this] {
        const QList<QTableWidgetItem*> picked = m_cycleTable->selectedItems();
        m_plots->pickCycle(picked.isEmpty() ? 0 : picked.front()->row() + 1);
    });
    connect(m_plots, &TCombustionPlots::cycleChosen, this, [this](int number) {
        m_cycleTable->selectRow(number - 1);
        m_cycleTable->scrollTo(m_cycleTable->model()->index(number - 1, 0));
    });
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        connect(edit, &QLineEdit::textChanged, this, [this] { recompute(false); });
        connect(edit, &QLineEdit::returnPressed, this, &TCombustionPage::computeFigures);
    }
    connect(m_cylinderBox, &QComboBox::currentIndexChanged, this, &TCombustionPage::selectCylinder);
    for (QComboBox* box : {m_pegMethodBox, m_heatModelBox, m_gammaModelBox}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { recompute(false); });
    }
    // MAPO is measured in the band while the recording is read: a new band
    // reads it again, once the typing rests (an undo sets the text too).
    m_knockBandPause = new QTimer(this);
    m_knockBandPause->setSingleShot(true);
    m_knockBandPause->setInterval(kKnockBandPauseMs);
    connect(m_knockBandEdit, &QLineEdit::textChanged, m_knockBandPause, qOverload<>(&QTimer::start));
    connect(m_knockBandPause, &QTimer::timeout, this, [this] {
        if (m_session.PressureCycle && m_session.PressureCycle == m_session.SignalCycle &&
            m_pageSession.RereadRecording) {
            m_pageSession.RereadRecording();
        }
    });
}

TCombustionPage::~TCombustionPage() = default;

QWidget* TCombustionPage::buildReferenceTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    auto* form = new QFormLayout;
    m_referenceForm = form;
    layout->addLayout(form);
    const TReferenceTexts reference;
    m_tdcShiftEdit = addEntry(form, "Posun HÚ [°]", reference.TdcShift, "TdcShiftEdit");
    m_lossAngleEdit = addEntry(form, "Úhel ztráty [°]", kDefaultLossAngleText, "LossAngleEdit");
    m_lossAngleEdit->setToolTip(
        "o kolik vrchol motorového cyklu předbíhá HÚ (tepelné ztráty, profuk; obvykle "
        "0,4 až 1,3); platí pro návrh posunu");
    auto* proposeButton = new QPushButton("Navrhnout z motorového cyklu", tab);
    proposeButton->setObjectName("ProposeTdcShiftButton");
    form->addRow("", proposeButton);
    m_pegMethodBox = new QComboBox(tab);
    m_pegMethodBox->setObjectName("PegMethodBox");
    for (const char* title : kPegMethodTitles) {
        m_pegMethodBox->addItem(QString::fromUtf8(title));
    }
    form->addRow("Vztažení tlaku", m_pegMethodBox);
    m_pegRangeEdit = addEntry(form, "Rozsah vztažení [°]", reference.PegRange, "PegRangeEdit");
    m_pegRangeEdit->setFixedWidth(2 * kEntryWidth);
    m_pegRangeEdit->setPlaceholderText("podle metody");
    m_pegRangeEdit->setToolTip("OD,DO; prázdné: 175,185 bodové, 245,295 polytropické");
    m_pegPressureEdit = addEntry(form, "Tlak vztažení [bar]", reference.PegPressure, "PegPressureEdit");
    m_pegExponentEdit = addEntry(form, "Exponent polytropy [1]", reference.PegExponent, "PegExponentEdit");
    const TEncoderTexts encoder;
    m_knockBandEdit = addEntry(form, "Pásmo klepání [Hz]", encoder.KnockBand, "KnockBandEdit");
    m_knockBandEdit->setFixedWidth(2 * kEntryWidth);
    m_knockBandEdit->setToolTip("DOLNÍ,HORNÍ; platí pro příští import záznamu");
    m_knockThresholdEdit = addEntry(form, "Práh klepání [bar]", encoder.KnockThreshold, "KnockThresholdEdit");
    layout->addStretch(1);
    connect(proposeButton, &QPushButton::clicked, this, &TCombustionPage::proposeTdcShift);
    return tab;
}

QWidget* TCombustionPage::buildHeatTransferTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    const auto addChoices = [&](const char* caption, const char* objectName,
                                std::span<const TNamedChoice> choices) {
        auto* box = new QComboBox(tab);
        box->setObjectName(objectName);
        box->setFixedWidth(2 * kEntryWidth);
        for (const TNamedChoice& choice : choices) {
            box->addItem(ToQString(std::string(choice.Title)));
        }
        form->addRow(QString::fromUtf8(caption), box);
        return box;
    };
    const THeatTransferTexts texts;
    m_heatModelBox = addChoices("Přestup tepla", "HeatTransferBox", kHeatModelChoices);
    m_heatModelBox->setToolTip(
        "model součinitele přestupu tepla do stěn; s ním se úhly MFB počítají z hrubého "
        "vývinu tepla");
    m_wallTemperatureEdit = addEntry(form, "Teplota stěny [K]", texts.WallTemperature, "WallTemperatureEdit");
    m_intakeTemperatureEdit =
        addEntry(form, "Teplota při zavření sání [K]", texts.IntakeTemperature, "IntakeTemperatureEdit");
    m_gammaModelBox = addChoices("Model γ", "GammaModelBox", kGammaModelChoices);
    m_gammaModelBox->setToolTip("Konstantní: γ zadané vlevo; Brunt: γ podle teploty plynu");
    m_heatSourceLabel = new QLabel(tab);
    m_heatSourceLabel->setObjectName("HeatTransferSourceLabel");
    m_heatSourceLabel->setWordWrap(true);
    layout->addWidget(m_heatSourceLabel);
    layout->addWidget(m_plots->gasPlot(), 1);
    return tab;
}

QHBoxLayout* TCombustionPage::buildCylinderRow() {
    auto* row = new QHBoxLayout;
    m_cylinderBox = new QComboBox(this);
    m_cylinderBox->setObjectName("CylinderBox");
    m_cylinderBox->addItem("1");
    m_cylinderBox->setEnabled(false);
    m_cylinderBox->setFixedWidth(kEntryWidth);
    m_cylinderBox->setToolTip(
        "válec záznamu se sloupcem tlaku každého válce, jehož výsledky stránka ukazuje");
    auto* caption = new QLabel("Válec", this);
    caption->setBuddy(m_cylinderBox);
    row->addWidget(caption);
    row->addStretch(1);
    row->addWidget(m_cylinderBox);
    return row;
}

// Every cylinder's figures side by side and each one's IMEP against the engine's mean.
QWidget* TCombustionPage::buildBalanceTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    m_balanceTable = new QTableWidget(0, 0, tab);
    m_balanceTable->setObjectName("BalanceTable");
    m_balanceTable->verticalHeader()->setVisible(false);
    m_balanceTable->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_balanceTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_balanceTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_balanceTable->setMinimumHeight(kCycleTableHeight);
    layout->addWidget(m_balanceTable, 1);
    layout->addWidget(m_plots->balancePlot(), 1);
    return tab;
}

QWidget* TCombustionPage::buildCyclesTab() {
    auto* tab = new QWidget(this);
    auto* layout = new QVBoxLayout(tab);
    m_cycleTable = new QTableWidget(0, 0, tab);
    m_cycleTable->setObjectName("CycleTable");
    m_cycleTable->verticalHeader()->setVisible(false);
    m_cycleTable->verticalHeader()->setDefaultSectionSize(kRowHeight);
    m_cycleTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_cycleTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_cycleTable->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every heading and figure whole; the table scrolls sideways instead.
    m_cycleTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Measured over the rows in view and this many more: a column's figures
    // share their form, and thousands of cycles are measured in no time.
    m_cycleTable->horizontalHeader()->setResizeContentsPrecision(kMeasuredCycleRows);
    // At least its first rows; in a taller window the table and the picture share the room.
    m_cycleTable->setMinimumHeight(kCycleTableHeight);
    layout->addWidget(m_cycleTable, 1);
    layout->addWidget(m_plots->cyclePlot(), 1);
    return tab;
}

std::vector<TFieldText> TCombustionPage::setupFields(TSetup& setup) const {
    TCombustionSetupTexts& burn = setup.Combustion;
    TCombustionTexts& geometry = burn.Geometry;
    TEncoderTexts& encoder = setup.SignalImport.Encoder;
    return {{m_boreEdit, &geometry.Bore},
            {m_strokeEdit, &geometry.Stroke},
            {m_rodEdit, &geometry.Rod},
            {m_compressionEdit, &geometry.Compression},
            {m_gammaEdit, &geometry.Gamma},
            {m_windowStartEdit, &geometry.WindowStart},
            {m_windowEndEdit, &geometry.WindowEnd},
            {m_tdcShiftEdit, &burn.TdcShift},
            {m_lossAngleEdit, &burn.LossAngle},
            {m_pegRangeEdit, &burn.PegRange},
            {m_pegPressureEdit, &burn.PegPressure},
            {m_pegExponentEdit, &burn.PegExponent},
            {m_knockBandEdit, &encoder.KnockBand},
            {m_knockThresholdEdit, &encoder.KnockThreshold},
            {m_wallTemperatureEdit, &burn.HeatTransfer.WallTemperature},
            {m_intakeTemperatureEdit, &burn.HeatTransfer.IntakeTemperature}};
}

void TCombustionPage::takeSetup(TSetup& setup) const {
    TakeFieldTexts(setupFields(setup));
    // The pegging method's list holds the methods in the order of TPegMethod.
    setup.Combustion.PegMethod = PegMethodName(TPegMethod(m_pegMethodBox->currentIndex()));
    setup.Combustion.CyclePath = m_loadedPath;
    setup.Combustion.Cylinder = std::to_string(selectedCylinder());
    setup.Combustion.HeatTransfer.Model = kHeatModelChoices[m_heatModelBox->currentIndex()].Name;
    setup.Combustion.HeatTransfer.Gamma = kGammaModelChoices[m_gammaModelBox->currentIndex()].Name;
}

void TCombustionPage::fillSetup(const TSetup& setup) {
    TSetup texts = setup;
    FillFieldTexts(setupFields(texts));
    if (const std::optional<TPegMethod> method = PegMethodNamed(setup.Combustion.PegMethod)) {
        m_pegMethodBox->setCurrentIndex(int(*method));
    }
    m_cyclePath = setup.Combustion.CyclePath;
    m_loadedPath = setup.Combustion.CyclePath;
    m_wantedCylinder = std::max(1, std::atoi(setup.Combustion.Cylinder.c_str()));
    if (m_wantedCylinder <= m_cylinderBox->count()) {
        m_cylinderBox->setCurrentIndex(m_wantedCylinder - 1);
    }
    m_heatModelBox->setCurrentIndex(
        std::max(0, ChoiceIndex(kHeatModelChoices, setup.Combustion.HeatTransfer.Model)));
    m_gammaModelBox->setCurrentIndex(
        std::max(0, ChoiceIndex(kGammaModelChoices, setup.Combustion.HeatTransfer.Gamma)));
}

void TCombustionPage::refreshFromSession(TSessionChange change) {
    if (change == TSessionChange::CycleImported) {
        // The import's cycle takes the place of a file loaded here.
        m_loadedPath.clear();
        showSessionCycle();
    } else {
        followSessionCycle();
    }
}

void TCombustionPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The event marks follow the event list, and the model the cylinder
    // table, which other pages change.
    if (m_heatAngles && m_pageSession.CylinderTable) {
        try {
            if (ReadValveAngles(*m_pageSession.CylinderTable, selectedCylinder(), m_session.Numbers) !=
                *m_heatAngles) {
                recompute(false);
                return;
            }
        } catch (const std::exception&) {
            recompute(false);
            return;
        }
    }
    if (ShowsRecordedCylinder(m_session) && cylinderShifts() != m_cutShifts &&
        m_pageSession.RereadRecording) {
        // The cylinders' cycles are cut at their offsets: new offsets read the recording again.
        m_cutShifts = cylinderShifts();
        m_pageSession.RereadRecording();
        return;
    }
    if (currentMarkers() != m_markers) {
        showPlots();
    }
}

QLineEdit* TCombustionPage::addEntry(QFormLayout* form, const char* caption, const std::string& text,
                                     const char* objectName) {
    auto* edit = new QLineEdit(ToQString(text), this);
    edit->setObjectName(objectName);
    edit->setFixedWidth(kEntryWidth);
    form->addRow(QString::fromUtf8(caption), edit);
    return edit;
}

void TCombustionPage::loadCycle() {
    bool loaded = false;
    RunGuarded(m_boxes, [&] {
        const std::string path = ExecuteOpenDialog(m_dialog, CSVFilter, m_cyclePath);
        if (path.empty()) {
            return;
        }
        m_cyclePath = path;
        // A file that fails leaves the previous cycle and its figures as they were.
        m_session.PressureCycle = ComputeAside(m_pageSession.Background, [path, numbers = m_session.Numbers] {
            return std::make_shared<const TPressureCycle>(ReadPressureCycle(path, numbers));
        });
        showCycleSource();
        loaded = true;
    });
    if (loaded) {
        m_loadedPath = m_cyclePath;
        emit changed();
        computeFigures();
    }
}

void TCombustionPage::showSessionCycle() {
    showCycleSource();
    computeFigures();
}

void TCombustionPage::followSessionCycle() {
    showCycleSource();
    recompute(false);
}

int TCombustionPage::selectedCylinder() const {
    return m_cylinderBox->currentIndex() + 1;
}

double TCombustionPage::cylinderShift(int cylinder) const {
    const ICellGrid* table = m_pageSession.CylinderTable;
    double offset = 0;
    double first = 0;
    if (!table || !TryParseFloat(table->cellText(OffsetColumn, cylinder), m_session.Numbers, offset) ||
        !TryParseFloat(table->cellText(OffsetColumn, 1), m_session.Numbers, first)) {
        return 0;
    }
    return offset - first;
}

std::vector<double> TCombustionPage::cylinderShifts() const {
    std::vector<double> shifts;
    for (std::size_t k = 1; k <= m_session.CylinderCycles.size(); ++k) {
        shifts.push_back(cylinderShift(static_cast<int>(k)));
    }
    return shifts;
}

void TCombustionPage::followCylinders() {
    const QSignalBlocker quiet(m_cylinderBox);
    const int count = std::max(1, static_cast<int>(m_session.CylinderCycles.size()));
    if (m_cylinderBox->count() != count) {
        m_cylinderBox->clear();
        for (int k = 1; k <= count; ++k) {
            m_cylinderBox->addItem(QString::number(k));
        }
    }
    const bool recorded = ShowsRecordedCylinder(m_session);
    m_cylinderBox->setEnabled(recorded);
    if (recorded) {
        const int wanted = std::clamp(m_wantedCylinder, 1, count);
        m_cylinderBox->setCurrentIndex(wanted - 1);
        m_session.PressureCycle = m_session.CylinderCycles[static_cast<std::size_t>(wanted) - 1];
        m_cutShifts = cylinderShifts();
    }
}

void TCombustionPage::selectCylinder() {
    m_wantedCylinder = selectedCylinder();
    if (ShowsRecordedCylinder(m_session)) {
        showCycleSource();
        recompute(false);
    }
}

void TCombustionPage::showCycleSource() {
    followCylinders();
    const TPressureCycle* cycle = m_session.PressureCycle.get();
    m_computeButton->setEnabled(cycle != nullptr);
    if (!cycle) {
        m_fileLabel->setText(kNoCycleText);
        m_fileLabel->setToolTip({});
        return;
    }
    QString text = ToQString(cycle->Source);
    if (!cycle->Cycles.empty()) {
        text += QStringLiteral(" (průměr %1 cyklů)").arg(cycle->Cycles.size());
    }
    if (ShowsRecordedCylinder(m_session)) {
        text += QStringLiteral(", válec %1").arg(selectedCylinder());
    }
    m_fileLabel->setText(text);
    m_fileLabel->setToolTip(text);
}

void TCombustionPage::computeFigures() {
    recompute(true);
}

void TCombustionPage::recompute(bool showFailure) {
    m_figuresList->clear();
    m_balanceTable->setRowCount(0);
    m_cylinderMeans.clear();
    m_plots->showBalance({}, 0, {});
    m_cycleTable->clear();
    m_cycleTable->setRowCount(0);
    m_cycleTable->setColumnCount(0);
    m_analysis.reset();
    m_comparison.reset();
    m_noticeLabel->hide();
    m_doubtLabel->hide();
    if (m_session.PressureCycle && !m_session.PressureCycle->InBar) {
        m_noticeLabel->setText(kNotInBarText);
        m_noticeLabel->show();
    } else if (showFailure) {
        RunGuarded(m_boxes, [this] { analyse(); });
    } else {
        // While typing, a half-written entry only empties the figures; its
        // message waits for the button or Enter.
        try {
            analyse();
        } catch (const std::exception& failure) {
            m_noticeLabel->setText(QString::fromUtf8(failure.what()));
            m_noticeLabel->show();
        }
    }
    listComparisonFigures();
    if (m_analysis && m_plots->pickedCycle() > 0) {
        m_cycleTable->selectRow(m_plots->pickedCycle() - 1);
    }
    showPlots();
}

TCombustionTexts TCombustionPage::readTexts() const {
    TCombustionTexts texts;
    texts.Bore = ToStdString(m_boreEdit->text());
    texts.Stroke = ToStdString(m_strokeEdit->text());
    texts.Rod = ToStdString(m_rodEdit->text());
    texts.Compression = ToStdString(m_compressionEdit->text());
    texts.Gamma = ToStdString(m_gammaEdit->text());
    texts.WindowStart = ToStdString(m_windowStartEdit->text());
    texts.WindowEnd = ToStdString(m_windowEndEdit->text());
    return texts;
}

TPressureReference TCombustionPage::readReference() const {
    TReferenceTexts texts;
    texts.TdcShift = ToStdString(m_tdcShiftEdit->text());
    texts.PegMethod = PegMethodName(TPegMethod(m_pegMethodBox->currentIndex()));
    texts.PegRange = ToStdString(m_pegRangeEdit->text());
    texts.PegPressure = ToStdString(m_pegPressureEdit->text());
    texts.PegExponent = ToStdString(m_pegExponentEdit->text());
    return ParseReferenceTexts(texts, m_session.Numbers);
}

void TCombustionPage::analyse() {
    if (!m_session.PressureCycle) {
        return;
    }
    TCombustionInputs inputs = ParseCombustionTexts(readTexts(), m_session.Numbers);
    const TPressureReference reference = readReference();
    inputs.Settings.HeatTransfer = readHeatTransfer(reference.PegExponent);
    const double rpm = inputs.Settings.HeatTransfer.Model == THeatModel::None ? 0 : typedSpeed();
    const TPressureCycle cycle =
        JudgeKnock(*m_session.PressureCycle, ToStdString(m_knockThresholdEdit->text()), m_session.Numbers);
    TPressureAnalysis analysis =
        AnalysePressureCycle(cycle, inputs.Geometry, inputs.Settings, reference, rpm);
    m_inputs = inputs;
    m_reference = reference;
    ListPressureAnalysis(analysis, *m_figuresList, m_session.Numbers);
    const std::vector<TDoubt> doubts = JudgePlausibility(inputs.Settings, analysis.Mean);
    if (!doubts.empty()) {
        MarkDoubtfulFigures(m_figuresTable, doubts);
        QStringList texts;
        for (const TDoubt& doubt : doubts) {
            texts << ToQString(doubt.Text);
        }
        m_doubtLabel->setText("Výsledky jsou pochybné: " + texts.join(" "));
        m_doubtLabel->show();
    }
    fillCycleTable(analysis);
    m_analysis = std::move(analysis);
    if (ShowsRecordedCylinder(m_session)) {
        analyseBalance(inputs, reference, rpm);
    }
    analyseComparison(inputs, reference);
}

THeatTransferSettings TCombustionPage::readHeatTransfer(double exponent) {
    THeatTransferTexts texts;
    texts.Model = kHeatModelChoices[m_heatModelBox->currentIndex()].Name;
    texts.Gamma = kGammaModelChoices[m_gammaModelBox->currentIndex()].Name;
    texts.WallTemperature = ToStdString(m_wallTemperatureEdit->text());
    texts.IntakeTemperature = ToStdString(m_intakeTemperatureEdit->text());
    THeatTransferSettings settings = ParseHeatTransferTexts(texts, exponent, m_session.Numbers);
    m_heatAngles.reset();
    m_heatSourceLabel->setText(kNoHeatModelText);
    if (!FollowsCharge(settings) || !m_pageSession.CylinderTable) {
        return settings;
    }
    m_heatAngles = ReadValveAngles(*m_pageSession.CylinderTable, selectedCylinder(), m_session.Numbers);
    settings = cylinderHeatTransfer(settings, selectedCylinder());
    const auto degrees = [this](double angle) {
        return ToQString(FormatFloatGeneral(angle, m_session.Numbers));
    };
    QString source =
        QStringLiteral("Válec 1 podle tabulky válců: SV zavírá %1°, zapalování %2°, VV otvírá %3°.")
            .arg(degrees(settings.Ivc), degrees(settings.Ignition), degrees(settings.Evo));
    if (settings.Model != THeatModel::None) {
        source += m_session.PressureCycle && m_session.PressureCycle->Rpm > 0
                      ? QStringLiteral(" Otáčky každého cyklu ze záznamu.")
                      : QStringLiteral(" Otáčky z Editace: %1 min⁻¹.").arg(degrees(typedSpeed()));
    }
    m_heatSourceLabel->setText(source);
    return settings;
}

THeatTransferSettings TCombustionPage::cylinderHeatTransfer(THeatTransferSettings settings,
                                                            int cylinder) const {
    if (!FollowsCharge(settings) || !m_pageSession.CylinderTable) {
        return settings;
    }
    const TValveAngles angles = ReadValveAngles(*m_pageSession.CylinderTable, cylinder, m_session.Numbers);
    settings.Ivc = WrappedCycleAngle(angles.IntakeCloses);
    settings.Ignition = WrappedCycleAngle(angles.Ignition);
    settings.Evo = WrappedCycleAngle(angles.ExhaustOpens);
    return settings;
}

// Every cylinder analysed as the page's, each with its own angles: the
// balance table and its bars.
void TCombustionPage::analyseBalance(const TCombustionInputs& inputs, const TPressureReference& reference,
                                     double rpm) {
    std::vector<TCylinderFigures> cylinders;
    for (std::size_t k = 0; k < m_session.CylinderCycles.size(); ++k) {
        const TPressureCycle& cycle = *m_session.CylinderCycles[k];
        TCombustionSettings settings = inputs.Settings;
        settings.HeatTransfer = cylinderHeatTransfer(settings.HeatTransfer, static_cast<int>(k) + 1);
        const TPressureCycle judged =
            JudgeKnock(cycle, ToStdString(m_knockThresholdEdit->text()), m_session.Numbers);
        cylinders.push_back(
            {AnalysePressureCycle(judged, inputs.Geometry, settings, reference, rpm), cycle.EngineCycles});
    }
    m_cylinderMeans.clear();
    for (const TCylinderFigures& cylinder : cylinders) {
        m_cylinderMeans.push_back(cylinder.Analysis.Pressure);
    }
    const TCylinderBalance balance = BalanceOf(cylinders);
    const std::vector<std::vector<std::string>> rows =
        BalanceTableRows(cylinders, balance, m_session.Numbers);
    FillTableRows(m_balanceTable, rows);
    std::vector<double> imep;
    std::vector<std::string> deviations;
    for (std::size_t k = 0; k < cylinders.size(); ++k) {
        imep.push_back(cylinders[k].Analysis.Mean.NetImep);
        deviations.push_back(rows[k + 1].back());
    }
    m_plots->showBalance(imep, balance.Engine.NetImep, deviations);
}

double TCombustionPage::typedSpeed() const {
    const IValueList* main = m_pageSession.Recalc.MainParameters;
    return main ? ParseFieldNumber(main->value(kSpeedRow), m_session.Numbers) : 0;
}

void TCombustionPage::fillCycleTable(const TPressureAnalysis& analysis) {
    if (analysis.Cycles.empty()) {
        return;
    }
    const QSignalBlocker quiet(m_cycleTable);
    FillTableRows(m_cycleTable, CycleTableRows(analysis, m_session.Numbers));
}

void TCombustionPage::proposeTdcShift() {
    RunGuarded(m_boxes, [this] {
        if (!m_session.PressureCycle) {
            return;
        }
        const TNumberFormat numbers = m_session.Numbers;
        const double lossAngle = ParseFloat(ToStdString(m_lossAngleEdit->text()), numbers);
        const TPressureReference reference = readReference();
        const double shift =
            ProposeCycleTdcShift(*m_session.PressureCycle, reference,
                                 PeggingVolumes(reference, readTexts(), numbers), lossAngle, numbers);
        m_tdcShiftEdit->setText(ToQString(RoundedFigure(shift, kFineStep, m_session.Numbers)));
    });
}

// The comparison is measured as the session's cycle is; a comparison that
// cannot be is named under the figures and left out, the session's figures stay.
void TCombustionPage::analyseComparison(const TCombustionInputs& inputs,
                                        const TPressureReference& reference) {
    if (!m_comparisonCycle) {
        return;
    }
    if (!m_comparisonCycle->InBar) {
        m_noticeLabel->setText(
            QStringLiteral("Srovnávací průběh není v barech: záznam byl importován bez citlivosti "
                           "snímače."));
        m_noticeLabel->show();
        return;
    }
    try {
        const TPressureCycle judged =
            JudgeKnock(*m_comparisonCycle, ToStdString(m_knockThresholdEdit->text()), m_session.Numbers);
        const double rpm = inputs.Settings.HeatTransfer.Model == THeatModel::None ? 0 : typedSpeed();
        m_comparison = AnalysePressureCycle(judged, inputs.Geometry, inputs.Settings, reference, rpm);
    } catch (const std::exception& failure) {
        m_noticeLabel->setText(
            QStringLiteral("Srovnávací průběh: %1").arg(QString::fromUtf8(failure.what())));
        m_noticeLabel->show();
    }
}

// The comparison's figures in a column beside the session's, row by row of the same name.
void TCombustionPage::listComparisonFigures() {
    const bool shown = m_comparison.has_value() && m_analysis.has_value();
    m_figuresTable->setColumnCount(shown ? 3 : 2);
    m_side->setFixedWidth(kSideWidth + (shown ? kComparisonColumnWidth : 0));
    if (!shown) {
        return;
    }
    // Its name is the legend's; the heading keeps to the column's width.
    m_figuresTable->setHorizontalHeaderLabels({"Veličina", "Hodnota", "Srovnání"});
    m_figuresTable->horizontalHeaderItem(2)->setToolTip(ToQString(m_comparisonPath));
    TMemoryValueList figures;
    ListPressureAnalysis(*m_comparison, figures, m_session.Numbers);
    for (int row = 0; row < m_figuresTable->rowCount(); ++row) {
        const std::string name = ToStdString(m_figuresTable->item(row, 0)->text());
        for (int other = 1; other <= figures.rowCount(); ++other) {
            if (figures.key(other) == name) {
                m_figuresTable->setItem(row, 2, new QTableWidgetItem(ToQString(figures.value(other))));
                break;
            }
        }
    }
}

void TCombustionPage::loadComparison() {
    bool loaded = false;
    RunGuarded(m_boxes, [&] {
        const std::string path = ExecuteOpenDialog(m_dialog, CSVFilter, m_comparisonPath);
        if (path.empty()) {
            return;
        }
        // A file that fails leaves the comparison shown as it was.
        m_comparisonCycle = ComputeAside(
            m_pageSession.Background, [path, options = OptionsAsTheyAreNow(m_pageSession.RecordingOptions),
                                       numbers = m_session.Numbers] {
                return std::make_shared<const TPressureCycle>(ReadComparisonCycle(path, options, numbers));
            });
        m_comparisonPath = path;
        loaded = true;
    });
    if (loaded) {
        m_dropComparisonButton->setEnabled(true);
        computeFigures();
    }
}

void TCombustionPage::dropComparison() {
    m_comparisonCycle.reset();
    m_dropComparisonButton->setEnabled(false);
    recompute(false);
}

std::vector<TAngleMarker> TCombustionPage::currentMarkers() const {
    if (ShowsRecordedCylinder(m_session)) {
        return CylinderMarkers(m_session.Events, selectedCylinder(), cylinderShift(selectedCylinder()));
    }
    return CylinderOneMarkers(m_session.Events);
}

void TCombustionPage::showPlots() {
    m_markers = currentMarkers();
    TPlotContent content;
    if (m_analysis && m_inputs) {
        content.Analysis = &*m_analysis;
        content.Cycle = m_session.PressureCycle.get();
        content.Reference = m_reference;
        content.Geometry = m_inputs->Geometry;
        content.Settings = m_inputs->Settings;
        content.Markers = m_markers;
        content.CylinderMeans = m_cylinderMeans;
        content.SelectedCylinder = selectedCylinder();
        if (m_comparison) {
            content.Comparison = &*m_comparison;
            content.ComparisonName = FileNameOf(m_comparisonPath);
        }
    }
    content.Numbers = m_session.Numbers;
    m_plots->show(content);
}

// The page as it shows: its entries, its input files, its figures and the
// comparison's, the cycles (whole up to kReportedCycles) and every plot.
void TCombustionPage::addToReport(TReport& report) const {
    TReportSection& inputs = report.Sections.emplace_back();
    inputs.Heading = "Spalování: zadání";
    inputs.Tables = {FormTable(*m_sideForm), FormTable(*m_referenceForm)};
    TReportSection& files = report.Sections.emplace_back();
    files.Heading = "Vstupní soubory";
    std::vector<TFileFingerprint> fingerprints;
    for (const std::string& path : {m_session.PressureCycle ? m_session.PressureCycle->Source : std::string(),
                                    m_comparisonCycle ? m_comparisonPath : std::string()}) {
        if (path.empty()) {
            continue;
        }
        try {
            fingerprints.push_back(FingerprintFile(path));
        } catch (const std::exception& failure) {
            files.Paragraphs.push_back(path + ": " + failure.what());
        }
    }
    files.Tables.push_back(FingerprintTable(fingerprints));
    TReportSection& figures = report.Sections.emplace_back();
    figures.Heading = "Výsledky";
    figures.Tables.push_back(WidgetTable(*m_figuresTable));
    for (const QLabel* note : {m_doubtLabel, m_noticeLabel}) {
        if (!note->isHidden()) {
            figures.Paragraphs.push_back(ToStdString(note->text()));
        }
    }
    if (m_cycleTable->rowCount() > 0) {
        TReportSection& cycles = report.Sections.emplace_back();
        cycles.Heading = "Cykly";
        if (m_cycleTable->rowCount() <= kReportedCycles) {
            cycles.Tables.push_back(WidgetTable(*m_cycleTable));
        } else {
            cycles.Paragraphs.push_back(ToStdString(
                QStringLiteral("%1 cyklů: jejich statistika je ve výsledcích, každý cyklus v grafech.")
                    .arg(m_cycleTable->rowCount())));
        }
    }
    for (auto& [caption, picture] : m_plots->pictures(kReportPictureWidth, kReportPictureHeight)) {
        TReportSection& plot = report.Sections.emplace_back();
        plot.Heading = ToStdString(caption);
        plot.Pictures.push_back(std::move(picture));
    }
}

}  // namespace morvane
