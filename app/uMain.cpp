#include "app/uMain.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/ColumnFit.h"
#include "app/CombustionPage.h"
#include "app/CorrectionPage.h"
#include "app/EditPage.h"
#include "app/EncoderImportDialog.h"
#include "app/LateIcon.h"
#include "app/MenuKeys.h"
#include "app/PageControl.h"
#include "app/QtControls.h"
#include "app/TableKeyboard.h"
#include "app/TextLimit.h"
#include "app/TimelinePage.h"
#include "app/ValveTimingPage.h"
#include "events/EventGeneration.h"
#include "signal/ImportCommand.h"
#include "util/numtext.h"

// The window's icon is compiled in; a static library's resources are
// registered by name, outside any namespace.
static void RegisterResources() {
    Q_INIT_RESOURCE(morvane);
}

namespace morvane {

namespace {

// Sizes of the window at 96 dots per inch.
constexpr int kClientWidth = 671;
constexpr int kClientHeight = 586;
constexpr int kClientMargin = 2;
// The smallest whole window is 683 x 597 with its frame; a frame is taken as
// 6 pixels at each side and the caption as 23 pixels.
constexpr int kMinimumWidth = 683 - 2 * 6;
constexpr int kMinimumHeight = 597 - 2 * 6 - 23;

// Every page's tables get the same keyboard and column rules, and its fields
// the same text limit, so a page added later behaves as the others do.
void AttachPageRules(QWidget* page) {
    for (QTableWidget* table : page->findChildren<QTableWidget*>()) {
        TTableKeyboard::attach(table);
        TColumnFit::attach(table);
    }
    for (QLineEdit* field : page->findChildren<QLineEdit*>()) {
        TTextLimit::attach(field);
    }
}

}  // namespace

TFMain::TFMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("FMain");
    setWindowTitle("Morvane");
    RegisterResources();
    SetIconAfterFirstFrame(this, QStringLiteral(":/icons/morvane.svg"));
    m_session.Numbers = kDecimalComma;
    m_boxes = std::make_unique<TQtMessageBoxes>(this);
    m_openDialog = std::make_unique<TQtOpenDialog>(this, QStringLiteral("OpenDialog1"));

    createMenu();
    createPages();

    m_recalc.MainParameters = &m_editPage->mainParameters();
    m_recalc.ComputedParameters = &m_editPage->computedParameters();
    m_recalc.CorrectionList = &m_correctionPage->corrections();
    m_recalc.EventGrid = &m_timelinePage->eventGrid();
    m_recalc.DrawTimeline = [this] { m_timelinePage->drawTimeline(); };

    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    connectCommands();
    m_editPage->focusCylinderCount();
}

TFMain::~TFMain() = default;

const TRaster& TFMain::picture() const {
    return m_timelinePage->picture();
}

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

void TFMain::createPages() {
    auto* client = new QWidget(this);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(kClientMargin, kClientMargin, kClientMargin, kClientMargin);
    m_pages = new TPageControl(client);
    m_pages->setObjectName("PageControl1");
    clientLayout->addWidget(m_pages);
    setCentralWidget(client);

    m_editPage = new TEditPage(*m_boxes);
    m_correctionPage = new TCorrectionPage;
    m_timelinePage = new TTimelinePage(m_session, *m_boxes);
    addPage(m_editPage, "Editace");
    addPage(m_correctionPage, "Korekce");
    addPage(m_timelinePage, "Časová osa");
    addPageBuiltWhenShown("Rozvod", [this] {
        return new TValveTimingPage(m_editPage->cylinderTable(), m_editPage->mainParameters(), *m_boxes,
                                    m_session.Numbers);
    });
    addPageBuiltWhenShown("Spalování", [this] {
        m_combustionPage = new TCombustionPage(*m_boxes, m_openDialog.get(), m_session);
        return m_combustionPage;
    });
    m_pages->setCurrentWidget(m_editPage);
}

void TFMain::connectCommands() {
    // The buttons never take the focus: each command has its key instead.
    addCommand(m_editPage->createEventsButton(), Qt::Key_F5, [this] { createEvents(); });
    addCommand(m_editPage->fillFromFirstButton(), Qt::Key_F6, [this] { m_editPage->fillFromFirst(); });
    addCommand(m_correctionPage->applyCorrectionsButton(), Qt::Key_F7, [this] { applyCorrections(); });
    createPageKeys();
    TMenuKeys::attach(menuBar());

    connect(m_timelinePage, &TTimelinePage::globalCorrectionEdited, this, &TFMain::globalCorrectionChanged);
    connect(m_importAngleAction, &QAction::triggered, this, &TFMain::importAngleSignal);
    connect(m_importTimeAction, &QAction::triggered, this, &TFMain::importTimeSignal);
    connect(m_importEncoderAction, &QAction::triggered, this, &TFMain::importEncoderSignal);
    connect(m_exitAction, &QAction::triggered, this, &TFMain::exitProgram);
}

void TFMain::addPage(QWidget* page, const QString& title) {
    AttachPageRules(page);
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
        AttachPageRules(page);
        layout->addWidget(page);
        // A layout would show the page only later, from the event loop.
        page->show();
    });
}

void TFMain::addCommand(QPushButton* button, const QKeySequence& key, const std::function<void()>& command) {
    auto* action = new QAction(button->text(), this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    const auto run = [command] {
        const QPointer<QTableWidget> table = TTableKeyboard::tableWithFocus();
        command();
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

void TFMain::redraw() {
    m_timelinePage->drawTimeline();
}

void TFMain::createEvents() {
    RunGuarded(*m_boxes,
               [this] { CreateEventsAndRecalculate(m_editPage->cylinderTable(), m_session, m_recalc); });
}

void TFMain::applyCorrections() {
    RunGuarded(*m_boxes, [this] { ApplyCorrectionsAndRecalculate(m_session, m_recalc); });
}

void TFMain::globalCorrectionChanged() {
    RunGuarded(*m_boxes, [this] {
        GlobalCorrectionChanged(m_timelinePage->globalCorrectionText(), m_session, m_recalc);
    });
}

// An import of a large file takes a moment: the wait cursor shows it, while
// the dialog and the boxes keep the arrow.
void TFMain::importAngleSignal() {
    const TOverrideCursor wait(Qt::WaitCursor);
    RunGuarded(*m_boxes, [this] {
        RunAngleImportCommand(m_openDialog.get(), *m_boxes, ImportTargetOf(m_session), [this] { redraw(); });
    });
}

void TFMain::importTimeSignal() {
    const TOverrideCursor wait(Qt::WaitCursor);
    RunGuarded(*m_boxes, [this] {
        RunTimeImportCommand(m_openDialog.get(), *m_boxes, ImportTargetOf(m_session), [this] { redraw(); });
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
        RunEncoderImportCommand(EncoderOptionsOf(m_encoderTexts, m_session.Numbers), *m_boxes,
                                ImportTargetOf(m_session), [this] { redraw(); });
    });
    if (imported && m_combustionPage != nullptr) {
        m_combustionPage->showSessionCycle();
    }
}

void TFMain::exitProgram() {
    close();
}

}  // namespace morvane
