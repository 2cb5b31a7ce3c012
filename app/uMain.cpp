#include "app/uMain.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ColumnFit.h"
#include "app/CombustionPage.h"
#include "app/EncoderImportDialog.h"
#include "app/ImageView.h"
#include "app/LateIcon.h"
#include "app/MenuKeys.h"
#include "app/PageControl.h"
#include "app/QtControls.h"
#include "app/TableKeyboard.h"
#include "app/ThumbStyle.h"
#include "app/UpDown.h"
#include "app/ValveTimingPage.h"
#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "events/MainControls.h"
#include "signal/ImportCommand.h"
#include "timeline/Timeline.h"
#include "util/numtext.h"

// The window's icon is compiled in; a static library's resources are
// registered by name, outside any namespace.
static void RegisterResources() {
    Q_INIT_RESOURCE(morvane);
}

namespace morvane {

// The lists and grids as the core sees them, named as the widgets they adapt.
struct TCoreControls {
    TQtValueList MainParameterList;
    TQtValueList ComputedParameterList;
    TQtCellGrid CylinderTable;
    TQtValueList CorrectionList;
    TQtCellGrid EventTable;
};

namespace {

// Sizes of the window and its pages at 96 dots per inch.
constexpr int kClientWidth = 671;
constexpr int kClientHeight = 586;
constexpr int kClientMargin = 2;
// The smallest whole window is 683 x 597 with its frame; a frame is taken as
// 6 pixels at each side and the caption as 23 pixels.
constexpr int kMinimumWidth = 683 - 2 * 6;
constexpr int kMinimumHeight = 597 - 2 * 6 - 23;
constexpr int kPageWidth = 663;  // the page content at the initial size
constexpr int kPageHeight = 558;

// The timeline page's bands, from the top.
constexpr int kCaptionBand = 24;
constexpr int kCursorBand = 41;
constexpr int kPictureBand = 300;
constexpr int kSpacerBand = 36;
constexpr int kKindListWidth = 121;

constexpr int kGridRowHeight = 18;
constexpr int kSliderThumbLength = 18;  // the filter and gain sliders

QFont PixelFont(const QFont& base, int pixels) {
    QFont font = base;
    font.setPixelSize(pixels);
    return font;
}

QLabel* MakeLabel(const char* name, const QString& text, QWidget* page, int left, int top) {
    auto* label = new QLabel(text, page);
    label->setObjectName(name);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* MakeButton(const char* name, const QString& text, QWidget* page, QRect geometry) {
    auto* button = new QPushButton(text, page);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(geometry);
    return button;
}

QTableWidget* MakeTable(const char* name, QWidget* page, int columns, int rows) {
    auto* table = new QTableWidget(rows, columns, page);
    table->setObjectName(name);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(kGridRowHeight);
    table->setWordWrap(false);
    return table;
}

// A key/value list: the header is the title row, the user may widen columns.
QTableWidget* MakeValueList(const char* name, QWidget* page, const QString& keyTitle,
                            const QString& valueTitle, int keyWidth, int valueWidth, bool editable) {
    QTableWidget* table = MakeTable(name, page, 2, 0);
    table->setHorizontalHeaderLabels({keyTitle, valueTitle});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setSectionsMovable(false);
    table->setColumnWidth(0, keyWidth);
    table->setColumnWidth(1, valueWidth);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(editable ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    return table;
}

// A text grid whose fixed cells are real cells, so they are addressed like the others.
QTableWidget* MakeGrid(const char* name, QWidget* page, int columns, int rows, bool editable) {
    QTableWidget* table = MakeTable(name, page, columns, rows);
    table->horizontalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->setEditTriggers(editable ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    return table;
}

QSlider* MakeSlider(const char* name, QWidget* page, int minimum, int maximum) {
    auto* slider = new QSlider(Qt::Horizontal, page);
    slider->setObjectName(name);
    slider->setRange(minimum, maximum);
    slider->setValue(minimum);
    return slider;
}

}  // namespace

TFMain::TFMain(QWidget* parent) : QMainWindow(parent), m_picture(kPageWidth, kPictureBand) {
    setObjectName("FMain");
    setWindowTitle("Morvane");
    RegisterResources();
    SetIconAfterFirstFrame(this, QStringLiteral(":/icons/morvane.svg"));
    m_boxes = std::make_unique<TQtMessageBoxes>(this);
    m_openDialog = std::make_unique<TQtOpenDialog>(this, QStringLiteral("OpenDialog1"));

    createMenu();

    auto* client = new QWidget(this);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(kClientMargin, kClientMargin, kClientMargin, kClientMargin);
    m_pages = new TPageControl(client);
    m_pages->setObjectName("PageControl1");
    clientLayout->addWidget(m_pages);
    setCentralWidget(client);

    createEditPage();
    createCorrectionPage();
    createTimelinePage();
    m_core = std::unique_ptr<TCoreControls>(new TCoreControls{
        TQtValueList(m_mainParameterList, true), TQtValueList(m_computedParameterList, false),
        TQtCellGrid(m_cylinderTable, 1, 1), TQtValueList(m_correctionList, true),
        TQtCellGrid(m_eventTable, 1, 0, THeaderRow::Pinned)});
    FillDefaultMainParameters(m_core->MainParameterList);
    FillDefaultComputedParameters(m_core->ComputedParameterList);
    m_core->CorrectionList.append("", "");
    m_core->CylinderTable.prepareCells();
    m_core->EventTable.prepareCells();

    addPage(m_editPage, "Editace");
    addPage(m_correctionPage, "Korekce");
    addPage(m_timelinePage, "Časová osa");
    addPageBuiltWhenShown("Rozvod", [this] {
        return new TValveTimingPage(m_core->CylinderTable, m_core->MainParameterList, *m_boxes);
    });
    addPageBuiltWhenShown("Spalování", [this] {
        m_combustionPage = new TCombustionPage(*m_boxes, m_openDialog.get(), m_session);
        return m_combustionPage;
    });
    m_pages->setCurrentWidget(m_editPage);

    m_recalc.MainParameters = &m_core->MainParameterList;
    m_recalc.ComputedParameters = &m_core->ComputedParameterList;
    m_recalc.CorrectionList = &m_core->CorrectionList;
    m_recalc.EventGrid = &m_core->EventTable;
    m_recalc.DrawTimeline = [this] { drawTimeline(); };

    setUpContents();

    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    // The buttons never take the focus: each command has its key instead.
    addCommand(m_createEventsButton, Qt::Key_F5, &TFMain::createEvents);
    addCommand(m_fillFromFirstButton, Qt::Key_F6, &TFMain::fillFromFirst);
    addCommand(m_applyCorrectionsButton, Qt::Key_F7, &TFMain::applyCorrections);
    createPageKeys();
    TMenuKeys::attach(menuBar());

    connect(m_globalCorrectionEdit, &QLineEdit::textChanged, this, &TFMain::globalCorrectionChanged);
    connect(m_crankAngleSlider, &QSlider::valueChanged, this, &TFMain::crankAngleChanged);
    connect(m_filterSlider, &QSlider::valueChanged, this, &TFMain::filterOrGainChanged);
    connect(m_gainSlider, &QSlider::valueChanged, this, &TFMain::filterOrGainChanged);
    // A click toggles a check box before the command runs; moving the
    // selection with the arrow keys counts as a click; the space key only
    // toggles, and the picture shows it at the next redraw.
    connect(m_kindList, &QListWidget::itemClicked, this, &TFMain::kindClicked);
    connect(m_kindList, &QListWidget::currentRowChanged, this, [this] {
        // A mouse press moves the selection too; its click redraws once on release.
        if (QGuiApplication::mouseButtons() == Qt::NoButton) {
            kindClicked();
        }
    });
    connect(m_timelineView, &TImageView::resized, this, &TFMain::pictureResized);
    connect(m_importAngleAction, &QAction::triggered, this, &TFMain::importAngleSignal);
    connect(m_importTimeAction, &QAction::triggered, this, &TFMain::importTimeSignal);
    connect(m_importEncoderAction, &QAction::triggered, this, &TFMain::importEncoderSignal);
    connect(m_exitAction, &QAction::triggered, this, &TFMain::exitProgram);

    // A keyboard user starts typing the cylinder count.
    m_mainParameterList->setCurrentCell(0, 1);
    m_mainParameterList->setFocus();
}

TFMain::~TFMain() = default;

void TFMain::createMenu() {
    m_fileMenu = menuBar()->addMenu("File");
    m_fileMenu->setObjectName("File1");
    m_openAction = m_fileMenu->addAction("Open...");
    m_openAction->setObjectName("Open1");
    m_saveAction = m_fileMenu->addAction("Save...");
    m_saveAction->setObjectName("Save1");
    m_importSeparator = m_fileMenu->addSeparator();
    m_importSeparator->setObjectName("N2");
    m_importAngleAction = m_fileMenu->addAction("Import signal (ANGLE)...");
    m_importAngleAction->setObjectName("ImportSig1");
    m_importAngleAction->setShortcut(Qt::CTRL | Qt::Key_I);
    m_importTimeAction = m_fileMenu->addAction("Import Signal (TIME)...");
    m_importTimeAction->setObjectName("ImportSig2");
    m_importTimeAction->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_I);
    m_importEncoderAction = m_fileMenu->addAction("Import signal (ENCODER)...");
    m_importEncoderAction->setObjectName("ImportSig3");
    m_importEncoderAction->setShortcut(Qt::CTRL | Qt::Key_E);
    m_exitSeparator = m_fileMenu->addSeparator();
    m_exitSeparator->setObjectName("N1");
    m_exitAction = m_fileMenu->addAction("Exit");
    m_exitAction->setObjectName("Exit1");
}

void TFMain::createEditPage() {
    m_editPage = new QWidget;
    m_editPage->setObjectName("TabSheet1");
    const QFont headingFont = PixelFont(font(), 13);

    m_mainParametersHeading = MakeLabel("Label1", "Hlavní parametry", m_editPage, 8, 13);
    m_detailParametersHeading = MakeLabel("Label2", "Detailní parametry", m_editPage, 200, 13);
    m_computedParametersHeading = MakeLabel("Label3", "Vypočtené parametry", m_editPage, 8, 157);
    for (QLabel* label : {m_mainParametersHeading, m_detailParametersHeading, m_computedParametersHeading}) {
        label->setFont(headingFont);
        label->adjustSize();
    }

    m_fillFromFirstButton =
        MakeButton("SpeedButton1", "Vyplnit podle prvního", m_editPage, {331, 8, 327, 22});
    m_createEventsButton = MakeButton("SpeedButton2", "Vytvořit události", m_editPage, {8, 296, 185, 57});

    m_mainParameterList = MakeValueList("ValueList1", m_editPage, "Parametr", "Hodnota", 105, 74, true);
    m_mainParameterList->setGeometry(8, 32, 185, 113);
    m_computedParameterList = MakeValueList("ValueList2", m_editPage, "Parametr", "Hodnota", 105, 74, false);
    m_computedParameterList->setGeometry(8, 176, 185, 105);

    m_cylinderTable = MakeGrid("StringGrid2", m_editPage, kCylinderColumns, kCylinderRows + 1, true);
    m_cylinderTable->setGeometry(200, 32, 459, 251);
    m_cylinderTable->horizontalHeader()->setDefaultSectionSize(64);

    m_referenceGroup = new QGroupBox(" SV/VV reference ", m_editPage);
    m_referenceGroup->setObjectName("RadioGroup1");
    m_referenceGroup->setGeometry(397, 288, 263, 73);
    auto* radioLayout = new QVBoxLayout(m_referenceGroup);
    auto* toOffset = new QRadioButton("k přesazení", m_referenceGroup);
    auto* toIgnition = new QRadioButton("k zapalování", m_referenceGroup);
    toOffset->setChecked(true);
    radioLayout->addWidget(toOffset);
    radioLayout->addWidget(toIgnition);
    m_referenceGroup->setEnabled(false);

    // Tab goes through what can be typed into first, then what can only be read.
    setTabOrder(m_mainParameterList, m_cylinderTable);
    setTabOrder(m_cylinderTable, m_computedParameterList);
}

void TFMain::createCorrectionPage() {
    m_correctionPage = new QWidget;
    m_correctionPage->setObjectName("TabSheet3");
    m_correctionList =
        MakeValueList("ValueList3", m_correctionPage, "Událsot", "Korekce [°]", 306, 129, true);
    m_applyCorrectionsButton = MakeButton("SpeedButton3", "Korigovat", m_correctionPage, {464, 192, 185, 57});
    m_correctionPage->installEventFilter(this);
    arrangeCorrectionPage({kPageWidth, kPageHeight});
}

void TFMain::createTimelinePage() {
    m_timelinePage = new QWidget;
    m_timelinePage->setObjectName("TabSheet2");

    m_crankAngleCaption = new QLabel("Shaft angle: 0°", m_timelinePage);
    m_crankAngleCaption->setObjectName("StaticText1");
    m_crankAngleCaption->setAlignment(Qt::AlignCenter);
    m_crankAngleCaption->setFont(PixelFont(font(), 16));
    m_crankAngleCaption->setFrameShape(QFrame::Box);
    m_crankAngleCaption->setAutoFillBackground(true);
    QPalette white = m_crankAngleCaption->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_crankAngleCaption->setPalette(white);

    m_crankAngleSlider = MakeSlider("TrackBar1", m_timelinePage, 0, 720);
    m_crankAngleSlider->setTickPosition(QSlider::TicksBothSides);
    m_crankAngleSlider->setTickInterval(10);
    m_crankAngleSlider->setSingleStep(1);
    m_crankAngleSlider->setPageStep(2);

    m_timelineView = new TImageView(m_picture, m_timelinePage);
    m_timelineView->setObjectName("Image1");

    m_controlBand = new QFrame(m_timelinePage);
    m_controlBand->setObjectName("Bevel2");

    m_globalCorrectionLabel = MakeLabel("Label4", "Globální korekce [°]", m_timelinePage, 8, 377);
    m_globalCorrectionEdit = new QLineEdit("0", m_timelinePage);
    m_globalCorrectionEdit->setObjectName("Edit1");
    m_globalCorrectionEdit->setGeometry(112, 374, 57, 19);
    m_globalCorrectionStepper = new TUpDown(m_globalCorrectionEdit, -360, 360, m_timelinePage);
    m_globalCorrectionStepper->setObjectName("UpDown1");
    m_globalCorrectionStepper->setGeometry(169, 374, 40, 19);

    m_filterLabel = MakeLabel("Label5", "Klouzavý LF filtr", m_timelinePage, 296, 377);
    m_filterSlider = MakeSlider("TrackBar2", m_timelinePage, 0, 96);
    m_gainLabel = MakeLabel("Label6", "Zesílení", m_timelinePage, 504, 377);
    m_gainSlider = MakeSlider("TrackBar3", m_timelinePage, 10, 100);
    auto* thumbStyle = new TThumbStyle(kSliderThumbLength, this);
    m_filterSlider->setStyle(thumbStyle);
    m_gainSlider->setStyle(thumbStyle);

    m_eventTable = MakeGrid("StringGrid1", m_timelinePage, 3, 5, false);
    m_eventTable->setColumnWidth(0, 64);
    m_eventTable->setColumnWidth(1, 95);
    m_eventTable->setColumnWidth(2, 376);
    m_eventTable->setFrameShape(QFrame::Box);

    m_kindList = new QListWidget(m_timelinePage);
    m_kindList->setObjectName("CheckListBox1");
    for (const char* text : kEventKindTexts) {
        auto* item = new QListWidgetItem(QString::fromUtf8(text), m_kindList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(0, 13));
    }

    setTabOrder(m_crankAngleSlider, m_globalCorrectionEdit);
    setTabOrder(m_globalCorrectionEdit, m_filterSlider);
    setTabOrder(m_filterSlider, m_gainSlider);
    setTabOrder(m_gainSlider, m_kindList);
    setTabOrder(m_kindList, m_eventTable);

    m_timelinePage->installEventFilter(this);
    arrangeTimelinePage({kPageWidth, kPageHeight});
}

// Every page's tables get the same keyboard and column rules, so a page added
// later behaves as the others do.
void TFMain::addPage(QWidget* page, const QString& title) {
    for (QTableWidget* table : page->findChildren<QTableWidget*>()) {
        TTableKeyboard::attach(table);
        TColumnFit::attach(table);
    }
    m_pages->addTab(page, title);
}

// The engineering pages are built the first time they are shown, so the
// window's first frame costs only the pages of the event list.
void TFMain::addPageBuiltWhenShown(const QString& title, const std::function<QWidget*()>& build) {
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages->addTab(holder, title);
    connect(m_pages, &QTabWidget::currentChanged, holder, [this, holder, layout, build] {
        if (m_pages->currentWidget() != holder || layout->count() > 0) {
            return;
        }
        QWidget* page = build();
        for (QTableWidget* table : page->findChildren<QTableWidget*>()) {
            TTableKeyboard::attach(table);
            TColumnFit::attach(table);
        }
        layout->addWidget(page);
        // A layout would show the page only later, from the event loop.
        page->show();
    });
}

void TFMain::addCommand(QPushButton* button, const QKeySequence& key, void (TFMain::*command)()) {
    auto* action = new QAction(button->text(), this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    const auto run = [this, command] {
        const QPointer<QTableWidget> table = TTableKeyboard::tableWithFocus();
        (this->*command)();
        TTableKeyboard::keepFocusIn(table);
    };
    connect(action, &QAction::triggered, this, run);
    connect(button, &QPushButton::clicked, this, run);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), key.toString(QKeySequence::NativeText)));
}

void TFMain::createPageKeys() {
    auto* next = new QAction(this);
    next->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    auto* previous = new QAction(this);
    previous->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab)});
    for (QAction* action : {next, previous}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(next, &QAction::triggered, this, [this] { showPageBy(+1); });
    connect(previous, &QAction::triggered, this, [this] { showPageBy(-1); });
}

// Shows the next or previous page, round, and puts the focus on its first control.
void TFMain::showPageBy(int step) {
    const int count = m_pages->count();
    m_pages->setCurrentIndex((m_pages->currentIndex() + step + count) % count);
    QWidget* page = m_pages->currentWidget();
    for (QWidget* w = page->nextInFocusChain(); w != page && w != this; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TFMain::arrangeCorrectionPage(QSize size) {
    m_correctionList->setGeometry(0, 0, 441, size.height());
}

void TFMain::arrangeTimelinePage(QSize size) {
    const int width = size.width();
    int top = 0;
    m_crankAngleCaption->setGeometry(0, top, width, kCaptionBand);
    top += kCaptionBand;
    m_crankAngleSlider->setGeometry(0, top, width, kCursorBand);
    top += kCursorBand;
    m_timelineView->setGeometry(0, top, width, kPictureBand);
    top += kPictureBand;
    m_controlBand->setGeometry(0, top, width, kSpacerBand);
    top += kSpacerBand;
    const int rest = std::max(0, size.height() - top);
    m_eventTable->setGeometry(0, top, std::max(0, width - kKindListWidth), rest);
    m_kindList->setGeometry(width - kKindListWidth, top, kKindListWidth, rest);

    // The filter and gain controls keep their distance from the right edge.
    const int shift = width - kPageWidth;
    m_filterLabel->move(296 + shift, 377);
    m_filterSlider->setGeometry(376 + shift, 372, 113, 22);
    m_gainLabel->move(504 + shift, 377);
    m_gainSlider->setGeometry(544 + shift, 372, 113, 22);
}

bool TFMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == m_timelinePage) {
            arrangeTimelinePage(m_timelinePage->size());
        } else if (watched == m_correctionPage) {
            arrangeCorrectionPage(m_correctionPage->size());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFMain::setUpContents() {
    DecimalMark = ',';
    // The picture was made at the area's size with the drawing tools' defaults
    // when the window was constructed; the page that shows it repaints
    // double-buffered, as every Qt widget does.

    FillDefaultCylinderTable(m_core->CylinderTable);
    for (int k = 0; k < m_kindList->count(); ++k) {
        m_kindList->item(k)->setCheckState(Qt::Checked);
    }
}

void TFMain::drawTimeline() {
    TTimelineInput settings;
    settings.W = m_timelineView->width();
    settings.H = m_timelineView->height();
    for (int k = 0; k < kEventKindCount; ++k) {
        settings.Visible[k] = m_kindList->item(k)->checkState() == Qt::Checked;
    }
    settings.P = m_crankAngleSlider->value();
    settings.Pmax = m_crankAngleSlider->maximum();
    settings.F = m_filterSlider->value();
    settings.G = m_gainSlider->value();
    DrawSessionTimeline(m_session, settings, m_picture);
    m_timelineView->update();
}

void TFMain::pictureResized() {
    RunGuarded(*m_boxes, [this] { drawTimeline(); });
}

void TFMain::kindClicked() {
    RunGuarded(*m_boxes, [this] { drawTimeline(); });
}

void TFMain::crankAngleChanged() {
    RunGuarded(*m_boxes, [this] {
        m_crankAngleCaption->setText(ToQString(CrankAngleCaption(m_crankAngleSlider->value())));
        drawTimeline();
    });
}

void TFMain::filterOrGainChanged() {
    RunGuarded(*m_boxes, [this] { drawTimeline(); });
}

void TFMain::fillFromFirst() {
    RunGuarded(*m_boxes, [this] { FillFromFirst(m_core->MainParameterList, m_core->CylinderTable); });
}

void TFMain::createEvents() {
    RunGuarded(*m_boxes, [this] { CreateEventsAndRecalculate(m_core->CylinderTable, m_session, m_recalc); });
}

void TFMain::applyCorrections() {
    RunGuarded(*m_boxes, [this] { ApplyCorrectionsAndRecalculate(m_session, m_recalc); });
}

void TFMain::globalCorrectionChanged() {
    RunGuarded(*m_boxes, [this] {
        GlobalCorrectionChanged(ToStdString(m_globalCorrectionEdit->text()), m_session, m_recalc);
    });
}

// An import of a large file takes a moment: the wait cursor shows it, while
// the dialog and the boxes keep the arrow.
void TFMain::importAngleSignal() {
    const TOverrideCursor wait(Qt::WaitCursor);
    RunGuarded(*m_boxes, [this] {
        RunAngleImportCommand(m_openDialog.get(), *m_boxes, ImportTargetOf(m_session),
                              [this] { drawTimeline(); });
    });
}

void TFMain::importTimeSignal() {
    const TOverrideCursor wait(Qt::WaitCursor);
    RunGuarded(*m_boxes, [this] {
        RunTimeImportCommand(m_openDialog.get(), *m_boxes, ImportTargetOf(m_session),
                             [this] { drawTimeline(); });
    });
}

// The dialog keeps what was typed even when the import then fails, so the
// user corrects one entry and tries again.
void TFMain::importEncoderSignal() {
    TEncoderImportDialog dialog(m_encoderTexts, m_openDialog.get(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_encoderTexts = dialog.texts();
    const TOverrideCursor wait(Qt::WaitCursor);
    const bool imported = RunGuarded(*m_boxes, [this] {
        RunEncoderImportCommand(EncoderOptionsOf(m_encoderTexts), *m_boxes, ImportTargetOf(m_session),
                                [this] { drawTimeline(); });
    });
    if (imported && m_combustionPage != nullptr) {
        m_combustionPage->showSessionCycle();
    }
}

void TFMain::exitProgram() {
    close();
}

}  // namespace morvane
