#include "app/uMain.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/CombustionPage.h"
#include "app/ImageView.h"
#include "app/LiveEditDelegate.h"
#include "app/QtControls.h"
#include "app/UpDown.h"
#include "app/ValveTimingPage.h"
#include "events/EngineEvent.h"
#include "events/EventGeneration.h"
#include "events/MainControls.h"
#include "signal/ImportCommand.h"
#include "timeline/Timeline.h"
#include "util/numtext.h"

namespace morvane {

namespace {

// Sizes of the window and its pages at 96 dots per inch.
constexpr int ClientWidth = 671;
constexpr int ClientHeight = 586;
constexpr int ClientMargin = 2;
// The smallest whole window is 683 x 597 with its frame; a frame is taken as
// 6 pixels at each side and the caption as 23 pixels.
constexpr int MinimumWidth = 683 - 2 * 6;
constexpr int MinimumHeight = 597 - 2 * 6 - 23;
constexpr int PageWidth = 663;  // the page content at the initial size

// The timeline page's bands, from the top.
constexpr int CaptionBand = 24;
constexpr int CursorBand = 41;
constexpr int PictureBand = 300;
constexpr int SpacerBand = 36;
constexpr int KindListWidth = 121;

constexpr int GridRowHeight = 18;

QFont pixelFont(const QFont& base, int pixels) {
    QFont font = base;
    font.setPixelSize(pixels);
    return font;
}

QLabel* makeLabel(const QString& text, QWidget* page, int left, int top) {
    auto* label = new QLabel(text, page);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* makeButton(const QString& text, QWidget* page, QRect geometry) {
    auto* button = new QPushButton(text, page);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(geometry);
    return button;
}

QTableWidget* makeTable(QWidget* page, int columns, int rows) {
    auto* table = new QTableWidget(rows, columns, page);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(GridRowHeight);
    table->setWordWrap(false);
    return table;
}

// A key/value list: the header is the title row, the user may widen columns.
QTableWidget* makeValueList(QWidget* page, const QString& keyTitle, const QString& valueTitle, int keyWidth,
                            int valueWidth, bool editable) {
    QTableWidget* table = makeTable(page, 2, 0);
    table->setHorizontalHeaderLabels({keyTitle, valueTitle});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    table->horizontalHeader()->setSectionsMovable(false);
    table->setColumnWidth(0, keyWidth);
    table->setColumnWidth(1, valueWidth);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(editable ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    if (editable) {
        table->setItemDelegate(new TLiveEditDelegate(table));
    }
    return table;
}

// A text grid whose fixed cells are real cells, so they are addressed like the others.
QTableWidget* makeGrid(QWidget* page, int columns, int rows, bool editable) {
    QTableWidget* table = makeTable(page, columns, rows);
    table->horizontalHeader()->setVisible(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    table->setEditTriggers(editable ? QAbstractItemView::AllEditTriggers : QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    if (editable) {
        table->setItemDelegate(new TLiveEditDelegate(table));
    }
    return table;
}

QSlider* makeSlider(QWidget* page, int minimum, int maximum) {
    auto* slider = new QSlider(Qt::Horizontal, page);
    slider->setRange(minimum, maximum);
    slider->setValue(minimum);
    return slider;
}

}  // namespace

TFMain::TFMain(QWidget* parent) : QMainWindow(parent), m_picture(PageWidth, PictureBand) {
    setObjectName("FMain");
    setWindowTitle("Morvane");
    m_boxes = std::make_unique<TQtMessageBoxes>(this);

    createMenu();

    auto* client = new QWidget(this);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(ClientMargin, ClientMargin, ClientMargin, ClientMargin);
    PageControl1 = new QTabWidget(client);
    PageControl1->setObjectName("PageControl1");
    clientLayout->addWidget(PageControl1);
    setCentralWidget(client);

    createEditPage();
    createCorrectionPage();
    createTimelinePage();
    PageControl1->addTab(TabSheet1, "Editace");
    PageControl1->addTab(TabSheet3, "Korekce");
    PageControl1->addTab(TabSheet2, "Časová osa");
    PageControl1->addTab(new TValveTimingPage(*m_cylinderTable, *m_mainParameters, *m_boxes), "Rozvod");
    PageControl1->setCurrentWidget(TabSheet1);

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName("OpenDialog1");
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    m_openDialog = std::make_unique<TQtOpenDialog>(OpenDialog1);
    PageControl1->addTab(new TCombustionPage(*m_boxes, m_openDialog.get()), "Spalování");

    m_recalc.MainParameters = m_mainParameters.get();
    m_recalc.ComputedParameters = m_computedParameters.get();
    m_recalc.CorrectionList = m_correctionList.get();
    m_recalc.EventGrid = m_eventGrid.get();
    m_recalc.DrawTimeline = [this] { drawTimeline(); };

    FormCreate();

    setMinimumSize(MinimumWidth, MinimumHeight);
    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    connect(SpeedButton1, &QPushButton::clicked, this, &TFMain::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TFMain::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TFMain::SpeedButton3Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TFMain::Edit1Change);
    connect(TrackBar1, &QSlider::valueChanged, this, &TFMain::TrackBar1Change);
    connect(TrackBar2, &QSlider::valueChanged, this, &TFMain::TrackBar2Change);
    connect(TrackBar3, &QSlider::valueChanged, this, &TFMain::TrackBar2Change);
    // A click toggles a check box before the command runs; moving the
    // selection with the arrow keys counts as a click; the space key only
    // toggles, and the picture shows it at the next redraw.
    connect(CheckListBox1, &QListWidget::itemClicked, this, &TFMain::CheckListBox1Click);
    connect(CheckListBox1, &QListWidget::currentRowChanged, this, [this] {
        // A mouse press moves the selection too; its click redraws once on release.
        if (QGuiApplication::mouseButtons() == Qt::NoButton) {
            CheckListBox1Click();
        }
    });
    connect(Image1, &TImageView::resized, this, &TFMain::FormResize);
    connect(ImportSig1, &QAction::triggered, this, &TFMain::ImportSig1Click);
    connect(ImportSig2, &QAction::triggered, this, &TFMain::ImportSig2Click);
    connect(Exit1, &QAction::triggered, this, &TFMain::Exit1Click);
}

TFMain::~TFMain() = default;

void TFMain::createMenu() {
    File1 = menuBar()->addMenu("File");
    File1->setObjectName("File1");
    Open1 = File1->addAction("Open...");
    Open1->setObjectName("Open1");
    Save1 = File1->addAction("Save...");
    Save1->setObjectName("Save1");
    N2 = File1->addSeparator();
    N2->setObjectName("N2");
    ImportSig1 = File1->addAction("Import signal (ANGLE)...");
    ImportSig1->setObjectName("ImportSig1");
    ImportSig2 = File1->addAction("Import Signal (TIME)...");
    ImportSig2->setObjectName("ImportSig2");
    N1 = File1->addSeparator();
    N1->setObjectName("N1");
    Exit1 = File1->addAction("Exit");
    Exit1->setObjectName("Exit1");
}

void TFMain::createEditPage() {
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    const QFont headingFont = pixelFont(font(), 13);

    Label1 = makeLabel("Hlavní parametry", TabSheet1, 8, 13);
    Label2 = makeLabel("Detailní parametry", TabSheet1, 200, 13);
    Label3 = makeLabel("Vypočtené parametry", TabSheet1, 8, 157);
    for (QLabel* label : {Label1, Label2, Label3}) {
        label->setFont(headingFont);
        label->adjustSize();
    }
    Label1->setObjectName("Label1");
    Label2->setObjectName("Label2");
    Label3->setObjectName("Label3");

    SpeedButton1 = makeButton("Vyplnit podle prvního", TabSheet1, {331, 8, 327, 22});
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton2 = makeButton("Vytvořit události", TabSheet1, {8, 296, 185, 57});
    SpeedButton2->setObjectName("SpeedButton2");

    ValueList1 = makeValueList(TabSheet1, "Parametr", "Hodnota", 105, 74, true);
    ValueList1->setObjectName("ValueList1");
    ValueList1->setGeometry(8, 32, 185, 113);
    m_mainParameters = std::make_unique<TQtValueList>(ValueList1, true);
    FillDefaultMainParameters(*m_mainParameters);

    ValueList2 = makeValueList(TabSheet1, "Parametr", "Hodnota", 105, 74, false);
    ValueList2->setObjectName("ValueList2");
    ValueList2->setGeometry(8, 176, 185, 105);
    m_computedParameters = std::make_unique<TQtValueList>(ValueList2, false);
    FillDefaultComputedParameters(*m_computedParameters);

    StringGrid2 = makeGrid(TabSheet1, CylinderColumns, CylinderRows + 1, true);
    StringGrid2->setObjectName("StringGrid2");
    StringGrid2->setGeometry(200, 32, 459, 251);
    StringGrid2->horizontalHeader()->setDefaultSectionSize(64);
    m_cylinderTable = std::make_unique<TQtCellGrid>(StringGrid2, 1, 1);
    m_cylinderTable->prepareCells();

    RadioGroup1 = new QGroupBox(" SV/VV reference ", TabSheet1);
    RadioGroup1->setObjectName("RadioGroup1");
    RadioGroup1->setGeometry(397, 288, 263, 73);
    auto* radioLayout = new QVBoxLayout(RadioGroup1);
    auto* toOffset = new QRadioButton("k přesazení", RadioGroup1);
    auto* toIgnition = new QRadioButton("k zapalování", RadioGroup1);
    toOffset->setChecked(true);
    radioLayout->addWidget(toOffset);
    radioLayout->addWidget(toIgnition);
    RadioGroup1->setEnabled(false);
}

void TFMain::createCorrectionPage() {
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName("TabSheet3");
    ValueList3 = makeValueList(TabSheet3, "Událsot", "Korekce [°]", 306, 129, true);
    ValueList3->setObjectName("ValueList3");
    m_correctionList = std::make_unique<TQtValueList>(ValueList3, true);
    m_correctionList->append("", "");
    SpeedButton3 = makeButton("Korigovat", TabSheet3, {464, 192, 185, 57});
    SpeedButton3->setObjectName("SpeedButton3");
    TabSheet3->installEventFilter(this);
    arrangeCorrectionPage({PageWidth, 558});
}

void TFMain::createTimelinePage() {
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");

    StaticText1 = new QLabel("Shaft angle: 0°", TabSheet2);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setAlignment(Qt::AlignCenter);
    StaticText1->setFont(pixelFont(font(), 16));
    StaticText1->setFrameShape(QFrame::Box);
    StaticText1->setAutoFillBackground(true);
    QPalette white = StaticText1->palette();
    white.setColor(QPalette::Window, Qt::white);
    StaticText1->setPalette(white);

    TrackBar1 = makeSlider(TabSheet2, 0, 720);
    TrackBar1->setObjectName("TrackBar1");
    TrackBar1->setTickPosition(QSlider::TicksBothSides);
    TrackBar1->setTickInterval(10);
    TrackBar1->setSingleStep(1);
    TrackBar1->setPageStep(2);

    Image1 = new TImageView(m_picture, TabSheet2);
    Image1->setObjectName("Image1");

    Bevel2 = new QFrame(TabSheet2);
    Bevel2->setObjectName("Bevel2");

    Label4 = makeLabel("Globální korekce [°]", TabSheet2, 8, 377);
    Label4->setObjectName("Label4");
    Edit1 = new QLineEdit("0", TabSheet2);
    Edit1->setObjectName("Edit1");
    Edit1->setGeometry(112, 374, 57, 19);
    UpDown1 = new TUpDown(Edit1, -360, 360, TabSheet2);
    UpDown1->setObjectName("UpDown1");
    UpDown1->setGeometry(169, 374, 40, 19);

    Label5 = makeLabel("Klouzavý LF filtr", TabSheet2, 296, 377);
    Label5->setObjectName("Label5");
    TrackBar2 = makeSlider(TabSheet2, 0, 96);
    TrackBar2->setObjectName("TrackBar2");
    Label6 = makeLabel("Zesílení", TabSheet2, 504, 377);
    Label6->setObjectName("Label6");
    TrackBar3 = makeSlider(TabSheet2, 10, 100);
    TrackBar3->setObjectName("TrackBar3");

    StringGrid1 = makeGrid(TabSheet2, 3, 5, false);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setColumnWidth(0, 64);
    StringGrid1->setColumnWidth(1, 95);
    StringGrid1->setColumnWidth(2, 376);
    StringGrid1->setFrameShape(QFrame::Box);
    m_eventGrid = std::make_unique<TQtCellGrid>(StringGrid1, 1, 0);
    m_eventGrid->prepareCells();

    CheckListBox1 = new QListWidget(TabSheet2);
    CheckListBox1->setObjectName("CheckListBox1");
    for (const char* text : EventKindTexts) {
        auto* item = new QListWidgetItem(QString::fromUtf8(text), CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setSizeHint(QSize(0, 13));
    }

    TabSheet2->installEventFilter(this);
    arrangeTimelinePage({PageWidth, 558});
}

void TFMain::arrangeCorrectionPage(QSize size) {
    ValueList3->setGeometry(0, 0, 441, size.height());
}

void TFMain::arrangeTimelinePage(QSize size) {
    const int width = size.width();
    int top = 0;
    StaticText1->setGeometry(0, top, width, CaptionBand);
    top += CaptionBand;
    TrackBar1->setGeometry(0, top, width, CursorBand);
    top += CursorBand;
    Image1->setGeometry(0, top, width, PictureBand);
    top += PictureBand;
    Bevel2->setGeometry(0, top, width, SpacerBand);
    top += SpacerBand;
    const int rest = std::max(0, size.height() - top);
    StringGrid1->setGeometry(0, top, std::max(0, width - KindListWidth), rest);
    CheckListBox1->setGeometry(width - KindListWidth, top, KindListWidth, rest);

    // The filter and gain controls keep their distance from the right edge.
    const int shift = width - PageWidth;
    Label5->move(296 + shift, 377);
    TrackBar2->setGeometry(376 + shift, 372, 113, 22);
    Label6->move(504 + shift, 377);
    TrackBar3->setGeometry(544 + shift, 372, 113, 22);
}

bool TFMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == TabSheet2) {
            arrangeTimelinePage(TabSheet2->size());
        } else if (watched == TabSheet3) {
            arrangeCorrectionPage(TabSheet3->size());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFMain::FormCreate() {
    DecimalMark = ',';
    // The picture was made at the area's size with the drawing tools' defaults
    // when the window was constructed; the page that shows it repaints
    // double-buffered, as every Qt widget does.

    FillDefaultCylinderTable(*m_cylinderTable);
    for (int k = 0; k < CheckListBox1->count(); ++k) {
        CheckListBox1->item(k)->setCheckState(Qt::Checked);
    }
}

void TFMain::drawTimeline() {
    TTimelineInput settings;
    settings.W = Image1->width();
    settings.H = Image1->height();
    for (int k = 0; k < EventKindCount; ++k) {
        settings.Visible[k] = CheckListBox1->item(k)->checkState() == Qt::Checked;
    }
    settings.P = TrackBar1->value();
    settings.Pmax = TrackBar1->maximum();
    settings.F = TrackBar2->value();
    settings.G = TrackBar3->value();
    DrawSessionTimeline(m_session, settings, m_picture);
    Image1->update();
}

void TFMain::FormResize() {
    RunGuarded(*m_boxes, [this] { drawTimeline(); });
}

void TFMain::CheckListBox1Click() {
    RunGuarded(*m_boxes, [this] { drawTimeline(); });
}

void TFMain::TrackBar1Change() {
    RunGuarded(*m_boxes, [this] {
        StaticText1->setText(ToQString(CrankAngleCaption(TrackBar1->value())));
        drawTimeline();
    });
}

void TFMain::TrackBar2Change() {
    RunGuarded(*m_boxes, [this] { drawTimeline(); });
}

void TFMain::SpeedButton1Click() {
    RunGuarded(*m_boxes, [this] { FillFromFirst(*m_mainParameters, *m_cylinderTable); });
}

void TFMain::SpeedButton2Click() {
    RunGuarded(*m_boxes, [this] { CreateEventsAndRecalculate(*m_cylinderTable, m_session, m_recalc); });
}

void TFMain::SpeedButton3Click() {
    RunGuarded(*m_boxes, [this] { ApplyCorrectionsAndRecalculate(m_session, m_recalc); });
}

void TFMain::Edit1Change() {
    RunGuarded(*m_boxes,
               [this] { GlobalCorrectionChanged(ToStdString(Edit1->text()), m_session, m_recalc); });
}

// An import of a large file takes a moment: the wait cursor shows it, while
// the dialog and the boxes keep the arrow.
void TFMain::ImportSig1Click() {
    const TOverrideCursor wait(Qt::WaitCursor);
    RunGuarded(*m_boxes, [this] {
        RunAngleImportCommand(m_openDialog.get(), *m_boxes, importTarget(), [this] { drawTimeline(); });
    });
}

void TFMain::ImportSig2Click() {
    const TOverrideCursor wait(Qt::WaitCursor);
    RunGuarded(*m_boxes, [this] {
        RunTimeImportCommand(m_openDialog.get(), *m_boxes, importTarget(), [this] { drawTimeline(); });
    });
}

void TFMain::Exit1Click() {
    close();
}

}  // namespace morvane
