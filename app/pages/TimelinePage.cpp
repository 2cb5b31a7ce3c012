#include "app/pages/TimelinePage.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QSlider>
#include <QTableWidget>

#include <algorithm>

#include "app/history/EditHistory.h"
#include "app/pages/PageSession.h"
#include "app/widgets/ControlRole.h"
#include "app/widgets/ImageView.h"
#include "app/widgets/PageWidgets.h"
#include "app/widgets/QtControls.h"
#include "app/widgets/SwatchDelegate.h"
#include "app/widgets/ThumbStyle.h"
#include "app/widgets/UpDown.h"
#include "events/EngineEvent.h"
#include "events/MainControls.h"
#include "events/Recalculation.h"
#include "events/Session.h"
#include "events/Setup.h"
#include "timeline/CursorReadout.h"
#include "timeline/Timeline.h"
#include "util/messages.h"

namespace morvane {

namespace {

// The page's bands, from the top.
constexpr int kCaptionBand = 24;
constexpr int kCursorBand = 41;
constexpr int kPictureBand = 300;
constexpr int kSpacerBand = 36;
constexpr int kKindListWidth = 121;
constexpr int kKindItemHeight = 13;

// The kind's marker colour, the swatch beside its name.
QColor KindColour(int kind) {
    const TColor color = EventKindColor(kind);
    return {int(ColorRed(color)), int(ColorGreen(color)), int(ColorBlue(color))};
}

constexpr int kSliderThumbLength = 18;  // the filter and gain sliders

}  // namespace

TTimelinePage::TTimelinePage(TPageSession& session, QWidget* parent)
    : TSetupPage(parent),
      m_pageSession(session),
      m_session(session.Session),
      m_boxes(session.Boxes),
      m_picture(kPageWidth, kPictureBand) {
    setObjectName("TabSheet2");
    createCursorAndPicture();
    createControlBand();
    createEventLists();

    setTabOrder(m_crankAngleSlider, m_globalCorrectionEdit);
    setTabOrder(m_globalCorrectionEdit, m_filterSlider);
    setTabOrder(m_filterSlider, m_gainSlider);
    setTabOrder(m_gainSlider, m_kindList);
    setTabOrder(m_kindList, m_eventTable);

    arrange({kPageWidth, kPageHeight});
    m_events = std::make_unique<TQtCellGrid>(m_eventTable, 1, 0, THeaderRow::Pinned);
    m_events->prepareCells();
    connectRedraws();
    showReadout();
    session.Recalc.EventGrid = m_events.get();
    session.Recalc.DrawTimeline = [this] { drawTimeline(); };
    session.Timeline = &m_picture;
}

TTimelinePage::~TTimelinePage() = default;

void TTimelinePage::createCursorAndPicture() {
    m_crankAngleCaption = new QLabel("Shaft angle: 0°", this);
    m_crankAngleCaption->setObjectName("StaticText1");
    m_crankAngleCaption->setAlignment(Qt::AlignCenter);
    m_crankAngleCaption->setFont(PixelFont(font(), 16));
    m_crankAngleCaption->setFrameShape(QFrame::Box);
    m_crankAngleCaption->setAutoFillBackground(true);
    QPalette white = m_crankAngleCaption->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_crankAngleCaption->setPalette(white);

    m_crankAngleSlider = MakeSlider("TrackBar1", this, 0, 720);
    m_crankAngleSlider->setTickPosition(QSlider::TicksBothSides);
    m_crankAngleSlider->setTickInterval(10);
    m_crankAngleSlider->setSingleStep(1);
    m_crankAngleSlider->setPageStep(2);

    m_timelineView = new TImageView(m_picture, this);
    m_timelineView->setObjectName("Image1");
}

void TTimelinePage::createControlBand() {
    m_controlBand = new QFrame(this);
    m_controlBand->setObjectName("Bevel2");

    m_globalCorrectionLabel = MakeLabel("Label4", "Globální korekce [°]", this, 8, 377);
    m_globalCorrectionEdit = new QLineEdit("0", this);
    m_globalCorrectionEdit->setObjectName("Edit1");
    // Its caption names its undo steps.
    m_globalCorrectionLabel->setBuddy(m_globalCorrectionEdit);
    m_globalCorrectionEdit->setGeometry(112, 374, 57, 19);
    m_globalCorrectionStepper = new TUpDown(m_globalCorrectionEdit, -360, 360, this);
    m_globalCorrectionStepper->setObjectName("UpDown1");
    m_globalCorrectionStepper->setGeometry(169, 374, 40, 19);

    m_filterLabel = MakeLabel("Label5", "Klouzavý LF filtr", this, 296, 377);
    m_filterSlider = MakeSlider("TrackBar2", this, 0, 96);
    m_gainLabel = MakeLabel("Label6", "Zesílení", this, 504, 377);
    m_gainSlider = MakeSlider("TrackBar3", this, 10, 100);
    auto* thumbStyle = new TThumbStyle(kSliderThumbLength, this);
    m_filterSlider->setStyle(thumbStyle);
    m_gainSlider->setStyle(thumbStyle);
}

void TTimelinePage::createEventLists() {
    m_eventTable = MakeGrid("StringGrid1", this, 3, 5, false);
    m_eventTable->setColumnWidth(0, 64);
    m_eventTable->setColumnWidth(1, 95);
    m_eventTable->setColumnWidth(2, 376);
    m_eventTable->setFrameShape(QFrame::Box);

    m_kindList = new QListWidget(this);
    // The cursor, the sliders and the kinds shown are the view, saved only with it.
    for (QWidget* view :
         std::initializer_list<QWidget*>{m_crankAngleSlider, m_filterSlider, m_gainSlider, m_kindList}) {
        SetControlRole(view, TControlRole::View);
    }
    m_kindList->setObjectName("CheckListBox1");
    // The list keeps its measured width: the swatch at the right end leaves
    // the names their room.
    m_kindList->setItemDelegate(new TSwatchDelegate(kKindItemHeight, m_kindList));
    for (int k = 0; k < kEventKindCount; ++k) {
        auto* item = new QListWidgetItem(QString::fromUtf8(kEventKindTexts[k]), m_kindList);
        item->setData(TSwatchDelegate::kColourRole, KindColour(k));
        item->setToolTip(item->text());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }

    m_readout = new QLabel(this);
    m_readout->setObjectName("TimelineReadout");
    // Text selectable by the mouse would be drawn clipped at the font's ascent,
    // cutting the accents of capitals ("Úhel"): the line is copied from its menu.
    auto* copy = new QAction(QStringLiteral("Kopírovat"), m_readout);
    connect(copy, &QAction::triggered, m_readout,
            [this] { QGuiApplication::clipboard()->setText(m_readout->text()); });
    m_readout->addAction(copy);
    m_readout->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void TTimelinePage::connectRedraws() {
    connect(m_globalCorrectionEdit, &QLineEdit::textChanged, this, &TTimelinePage::globalCorrectionEdited);
    connect(m_crankAngleSlider, &QSlider::valueChanged, this, &TTimelinePage::crankAngleChanged);
    connect(m_filterSlider, &QSlider::valueChanged, this, &TTimelinePage::filterOrGainChanged);
    connect(m_gainSlider, &QSlider::valueChanged, this, &TTimelinePage::filterOrGainChanged);
    // A click toggles a check box before the command runs; moving the
    // selection with the arrow keys counts as a click; the space key only
    // toggles, and the picture shows it at the next redraw.
    connect(m_kindList, &QListWidget::itemClicked, this, &TTimelinePage::kindClicked);
    connect(m_kindList, &QListWidget::currentRowChanged, this, [this] {
        // A mouse press moves the selection too; its click redraws once on release.
        if (QGuiApplication::mouseButtons() == Qt::NoButton) {
            kindClicked();
        }
    });
    connect(m_timelineView, &TImageView::resized, this, &TTimelinePage::pictureResized);
}

QList<QTableWidget*> TTimelinePage::writtenTables() const {
    return {m_eventTable};
}

QWidget* TTimelinePage::statusLine() const {
    return m_readout;
}

void TTimelinePage::globalCorrectionEdited() {
    const TEditStep step(this, {});
    RunGuarded(m_boxes,
               [this] { GlobalCorrectionChanged(globalCorrectionText(), m_session, m_pageSession.Recalc); });
}

std::string TTimelinePage::globalCorrectionText() const {
    return ToStdString(m_globalCorrectionEdit->text());
}

void TTimelinePage::takeSetup(TSetup& setup) const {
    setup.GlobalCorrection = globalCorrectionText();
    setup.CrankAngle = m_crankAngleSlider->value();
    setup.Filter = m_filterSlider->value();
    setup.Gain = m_gainSlider->value();
    for (int k = 0; k < kEventKindCount; ++k) {
        setup.KindsShown[k] = m_kindList->item(k)->checkState() == Qt::Checked;
    }
}

void TTimelinePage::fillSetup(const TSetup& setup) {
    {
        const QSignalBlocker quiet(m_globalCorrectionEdit);
        m_globalCorrectionEdit->setText(ToQString(setup.GlobalCorrection));
    }
    for (int k = 0; k < kEventKindCount; ++k) {
        m_kindList->item(k)->setCheckState(setup.KindsShown[k] ? Qt::Checked : Qt::Unchecked);
    }
    m_filterSlider->setValue(setup.Filter);
    m_gainSlider->setValue(setup.Gain);
    m_crankAngleSlider->setValue(setup.CrankAngle);
}

void TTimelinePage::resizeEvent(QResizeEvent* event) {
    arrange(event->size());
    QWidget::resizeEvent(event);
}

void TTimelinePage::arrange(QSize size) {
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

void TTimelinePage::drawTimeline() {
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
    showReadout();
}

// Follows every redraw: the cursor, the events and the signal change only with one.
void TTimelinePage::showReadout() {
    m_readout->setText(ToQString(CursorReadoutText(m_session, m_crankAngleSlider->value())));
}

void TTimelinePage::pictureResized() {
    RunGuarded(m_boxes, [this] { drawTimeline(); });
}

void TTimelinePage::kindClicked() {
    RunGuarded(m_boxes, [this] { drawTimeline(); });
}

void TTimelinePage::crankAngleChanged() {
    RunGuarded(m_boxes, [this] {
        m_crankAngleCaption->setText(ToQString(CrankAngleCaption(m_crankAngleSlider->value())));
        drawTimeline();
    });
}

void TTimelinePage::filterOrGainChanged() {
    RunGuarded(m_boxes, [this] { drawTimeline(); });
}

}  // namespace morvane
