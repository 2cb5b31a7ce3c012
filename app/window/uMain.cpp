#include "app/window/uMain.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>

#include "app/dialogs/EncoderImportDialog.h"
#include "app/dialogs/QtSaveDialog.h"
#include "app/dialogs/SaveQuestion.h"
#include "app/history/ChangeWatch.h"
#include "app/history/EditHistory.h"
#include "app/history/FieldUndo.h"
#include "app/history/SetupUndo.h"
#include "app/history/TableSnapshot.h"
#include "app/pages/PageControl.h"
#include "app/pages/PageSession.h"
#include "app/pages/SetupPage.h"
#include "app/pages/TableKeyboard.h"
#include "app/report/PdfReport.h"
#include "app/widgets/BackgroundWork.h"
#include "app/widgets/ColumnFit.h"
#include "app/widgets/QtControls.h"
#include "app/widgets/TextLimit.h"
#include "app/window/AfterFirstFrame.h"
#include "app/window/HelpMenu.h"
#include "app/window/ImportAside.h"
#include "app/window/MenuKeys.h"
#include "app/window/WindowPages.h"
#include "events/EventGeneration.h"
#include "events/FiringOrder.h"
#include "events/SetupControls.h"
#include "events/SetupFile.h"
#include "events/SetupPaths.h"
#include "events/SetupSignalFile.h"
#include "signal/import/ImportCommand.h"
#include "signal/pressure/PressureCycle.h"
#include "util/dialogutil.h"
#include "util/errors.h"
#include "util/numtext.h"

#include <QFileInfo>

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
constexpr int kAccentRoom = 4;
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

const std::string kSetupFilter = "Nastavení motoru (*.morvane)|*.morvane";
const std::string kReportFilter = "Zpráva PDF (*.pdf)|*.pdf";

// The report's first name: the set-up's, as a PDF.
std::string ReportNameFor(const std::string& setupPath) {
    if (setupPath.empty()) {
        return "zprava.pdf";
    }
    return std::filesystem::path(setupPath).replace_extension(".pdf").string();
}

}  // namespace

TFMain::TFMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName("FMain");
    setWindowTitle("Morvane");
    RegisterResources();
    // The icon and the pages behind the first wait for the first frame; the
    // pages come first, as the user's first input may reach them.
    AfterFirstFrame(this, [this] {
        buildLatePages();
        setWindowIcon(QIcon(QStringLiteral(":/icons/morvane.svg")));
    });
    m_session.Numbers = kDecimalComma;
    m_boxes = std::make_unique<TQtMessageBoxes>(this);
    m_openDialog = std::make_unique<TQtOpenDialog>(this, QStringLiteral("OpenDialog1"));
    m_saveDialog = std::make_unique<TQtSaveDialog>(this, QStringLiteral("SaveDialog1"));
    // The cursor and the sliders are how the user looks at the work, not the
    // work: a set-up kept in version control changes only when the work does.
    m_saveDialog->offerChoice(QStringLiteral("Uložit i pohled"), QStringLiteral("SaveViewCheck"));
    m_pageSession = std::make_unique<TPageSession>(
        TPageSession{.Session = m_session, .Boxes = *m_boxes, .OpenDialog = m_openDialog.get()});
    m_pageSession->RereadRecording = [this] { rereadRecording(); };
    m_pageSession->RecordingOptions = [this] { return recordingOptionsOf(takeSetup().SignalImport.Encoder); };

    createMenu();
    createPages();

    // A page's line (the timeline's readout) lies under the pages; the window
    // grows by its height so every page keeps its size. Its room is kept
    // from the start, as its page may come after the first frame.
    statusBar()->setSizeGripEnabled(false);
    m_statusRoom = new QWidget;
    m_statusRoom->setMinimumHeight(statusLineHeight());
    statusBar()->addWidget(m_statusRoom, 1);

    createHistory();
    for (TSetupPage* page : m_builtPages) {
        joinPage(page);
    }

    const int readoutHeight = statusBar()->sizeHint().height();
    statusBar()->setFixedHeight(readoutHeight);
    m_background = new TBackgroundWork(statusBar(), this);
    m_background->lockWhileBusy(m_pages);
    m_background->lockActionsOf(this);
    m_pageSession->Background = m_background;
    setMinimumSize(kMinimumWidth, kMinimumHeight + readoutHeight);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height() + readoutHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }

    connectCommands();
    m_builtPages.front()->focusStart();
    m_startState = std::make_unique<TWindowSnapshot>(TWindowSnapshot{{}, m_session, {}, false});
}

// The history keeps the texts of every page's typed tables (joinPage).
void TFMain::createHistory() {
    m_history = std::make_unique<TEditHistory>(this, m_session, m_pageSession->Recalc);
    m_history->createMenu(menuBar(), m_fileMenu);
}

// The session as constructed: the pages' texts follow once every page is built.
void TFMain::keepStartState() {
    m_startState->Setup = takeSetup();
    for (TSetupPage* page : m_builtPages) {
        for (QTableWidget* table : page->writtenTables()) {
            m_startTables.emplace_back(table, std::make_unique<TTableSnapshot>(*table));
        }
    }
}

void TFMain::useSetupDialogs(IOpenDialog* open, ISaveDialog* save) {
    m_setupOpenDialog = open;
    m_setupSaveDialog = save;
}

TFMain::~TFMain() = default;

const TRaster& TFMain::picture() {
    buildLatePages();
    return *m_pageSession->Timeline;
}

void TFMain::createMenu() {
    m_fileMenu = menuBar()->addMenu("File");
    m_fileMenu->setObjectName("File1");
    m_openAction = m_fileMenu->addAction("Open...");
    m_openAction->setObjectName("Open1");
    m_openAction->setShortcut(QKeySequence::Open);
    m_saveAction = m_fileMenu->addAction("Save...");
    m_saveAction->setObjectName("Save1");
    m_saveAction->setShortcut(QKeySequence::Save);
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
    // The set-up commands that came later follow the menu's original items.
    m_newSeparator = m_fileMenu->addSeparator();
    m_newSeparator->setObjectName("N3");
    m_saveAsAction = m_fileMenu->addAction("Uložit jako...");
    m_saveAsAction->setObjectName("SaveAs1");
    m_saveAsAction->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    m_newAction = m_fileMenu->addAction("Nový");
    m_newAction->setObjectName("New1");
    m_newAction->setShortcut(Qt::CTRL | Qt::Key_N);
    m_reportAction = m_fileMenu->addAction("Uložit zprávu (PDF)...");
    m_reportAction->setObjectName("SaveReport1");
    AddHelpMenu(*this);
}

void TFMain::createPages() {
    auto* client = new QWidget(this);
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(kClientMargin, kClientMargin, kClientMargin, kClientMargin);
    m_pages = new TPageControl(client);
    m_pages->setObjectName("PageControl1");
    clientLayout->addWidget(m_pages);
    setCentralWidget(client);

    for (const TPageEntry& entry : WindowPages()) {
        switch (entry.When) {
            case TPageBuilt::AtStart:
                addPage(entry);
                break;
            case TPageBuilt::AfterFirstFrame:
                addPageAfterFirstFrame(entry);
                break;
            case TPageBuilt::WhenShown:
                addPageBuiltWhenShown(entry);
                break;
        }
    }
    m_pages->setCurrentIndex(0);
}

void TFMain::connectCommands() {
    createPageKeys();
    TMenuKeys::attach(menuBar());

    connect(m_openAction, &QAction::triggered, this, &TFMain::openSetup);
    connect(m_saveAction, &QAction::triggered, this, &TFMain::saveSetup);
    connect(m_saveAsAction, &QAction::triggered, this, &TFMain::saveSetupAs);
    connect(m_newAction, &QAction::triggered, this, &TFMain::newSetup);
    connect(m_reportAction, &QAction::triggered, this, &TFMain::saveReport);
    connect(m_importAngleAction, &QAction::triggered, this, &TFMain::importAngleSignal);
    connect(m_importTimeAction, &QAction::triggered, this, &TFMain::importTimeSignal);
    connect(m_importEncoderAction, &QAction::triggered, this, &TFMain::importEncoderSignal);
    connect(m_exitAction, &QAction::triggered, this, &TFMain::exitProgram);
}

void TFMain::addPage(const TPageEntry& entry) {
    TSetupPage* page = entry.Build(*m_pageSession);
    AttachPageRules(page);
    m_pages->addTab(page, QString::fromUtf8(entry.Title));
    m_builtPages.push_back(page);
}

// Until its page is built, an empty tab takes its place; a window shown
// before builds it as soon as the tab is chosen.
void TFMain::addPageAfterFirstFrame(const TPageEntry& entry) {
    auto* room = new QWidget;
    m_pages->addTab(room, QString::fromUtf8(entry.Title));
    m_latePages.emplace_back(&entry, room);
    connect(m_pages, &QTabWidget::currentChanged, room, [this, room] {
        if (m_pages->currentWidget() == room) {
            buildLatePages();
        }
    });
}

// A page built when first shown sits in a holder that is its tab.
void TFMain::addPageBuiltWhenShown(const TPageEntry& entry) {
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages->addTab(holder, QString::fromUtf8(entry.Title));
    m_unbuiltPages.emplace_back(&entry, layout);
    connect(m_pages, &QTabWidget::currentChanged, holder, [this, holder, layout, &entry] {
        if (m_pages->currentWidget() == holder && layout->count() == 0) {
            buildShownPage(entry, layout);
        }
    });
}

// The pages the first frame does not show but the user reaches at once.
// Built before anything reads or fills the pages, the start state included.
void TFMain::buildLatePages() {
    if (m_latePagesBuilt) {
        return;
    }
    m_latePagesBuilt = true;
    for (const auto& [entry, room] : m_latePages) {
        buildLatePage(*entry, room);
    }
    m_latePages.clear();
    keepStartState();
}

// The page takes its empty tab's place, so that the tab is the page, as
// for a page built at the start; it comes before any set-up is read.
void TFMain::buildLatePage(const TPageEntry& entry, QWidget* room) {
    TSetupPage* page = entry.Build(*m_pageSession);
    AttachPageRules(page);
    joinPage(page);
    m_builtPages.push_back(page);
    const int index = m_pages->indexOf(room);
    const bool shown = m_pages->currentIndex() == index;
    {
        // The tabs in between are no change of the page shown.
        const QSignalBlocker quiet(m_pages);
        m_pages->insertTab(index, page, QString::fromUtf8(entry.Title));
        delete room;  // and its tab
    }
    if (shown) {
        m_pages->setCurrentIndex(index);
    }
}

void TFMain::buildShownPage(const TPageEntry& entry, QLayout* holder) {
    // A page comes after those it reads.
    buildLatePages();
    TSetupPage* page = entry.Build(*m_pageSession);
    AttachPageRules(page);
    {
        // A set-up opened before the page existed gives it its texts.
        const QScopedValueRollback filling(m_filling, true);
        page->fillSetup(m_setup);
    }
    joinPage(page);
    m_builtPages.push_back(page);
    holder->addWidget(page);
    // A layout would show the page only later, from the event loop.
    page->show();
}

// Joins a page to the window: its commands (the buttons never take the
// focus: each command has its key instead), the history of its typed tables
// and fields, the "*" and its line under the pages.
void TFMain::joinPage(TSetupPage* page) {
    for (const TPageCommand& command : page->commands()) {
        addCommand(command.Button, command.Key, command.Run);
    }
    for (const TTypedTable& typed : page->typedTables()) {
        if (typed.List != nullptr) {
            m_history->trackList(typed.Table, *typed.List);
        } else {
            m_history->trackGrid(typed.Table, *typed.Grid);
        }
    }
    // Before the "*" follows the change: a step keeps the mark as it was.
    TrackFieldSteps(page, *m_history->stack(),
                    {[this] { return m_modified; }, [this](bool modified) { setModified(modified); }});
    watchChanges(page);
    if (QWidget* line = page->statusLine()) {
        showStatusLine(line);
    }
}

// Room above the capitals for their accents ("Ú"), which the font's height leaves out.
int TFMain::statusLineHeight() const {
    return statusBar()->fontMetrics().height() + kAccentRoom;
}

void TFMain::showStatusLine(QWidget* line) {
    line->setMinimumHeight(statusLineHeight());
    delete m_statusRoom;  // the status bar forgets a child that goes
    m_statusRoom = nullptr;
    statusBar()->addWidget(line, 1);
}

// Every page, so that a report says what each would show.
void TFMain::buildEveryPage() {
    for (const auto& [entry, holder] : m_unbuiltPages) {
        if (holder->count() == 0) {
            buildShownPage(*entry, holder);
        }
    }
}

void TFMain::useReportDialog(ISaveDialog* dialog) {
    m_reportSaveDialog = dialog;
}

// The report of every page, as the pages show the session now.
void TFMain::saveReport() {
    if (m_reportSaveDialog == nullptr && !m_reportDialog) {
        m_reportDialog = std::make_unique<TQtSaveDialog>(this, QStringLiteral("ReportDialog1"));
    }
    ISaveDialog* dialog = m_reportSaveDialog != nullptr ? m_reportSaveDialog : m_reportDialog.get();
    std::string path = ExecuteSaveDialog(dialog, kReportFilter, ReportNameFor(m_setupPath));
    if (path.empty()) {
        return;
    }
    if (std::filesystem::path(path).extension().empty()) {
        path += ".pdf";
    }
    const TOverrideCursor wait(Qt::WaitCursor);
    buildEveryPage();
    TReport report;
    report.Title = "Zpráva o spalování";
    report.ProgramVersion = MORVANE_VERSION;
    report.Created = ToStdString(QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm"));
    if (!m_setupPath.empty()) {
        TReportSection& setup = report.Sections.emplace_back();
        setup.Heading = "Nastavení";
        setup.Paragraphs.push_back(m_setupPath);
    }
    for (const TSetupPage* page : m_builtPages) {
        page->addToReport(report);
    }
    RunGuarded(*m_boxes, [&] { WritePdfReport(report, path); });
}

void TFMain::addCommand(QPushButton* button, const QKeySequence& key, const std::function<void()>& command) {
    auto* action = new QAction(button->text(), this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    const auto run = [this, command] {
        buildLatePages();
        const QPointer<QTableWidget> table = TTableKeyboard::tableWithFocus();
        command();
        markModified();
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
    buildLatePages();
    m_pageSession->Recalc.DrawTimeline();
}

// An import of a large file takes a moment: it runs off the UI thread with
// its progress and "Zrušit" in the status bar, and its boxes show once it ended.
void TFMain::runImport(const std::function<void(IMessageBoxes&, const TImportTarget&)>& command) {
    RunImportAside(m_background, m_session, *m_boxes, command);
}

void TFMain::importAngleSignal() {
    importSignalFile(TSignalImportKind::Angle);
}

void TFMain::importTimeSignal() {
    importSignalFile(TSignalImportKind::Time);
}

// A set-up remembers the signal file: an import that asked for a new file, or
// ran the kind remembered, changes what it holds.
void TFMain::importSignalFile(TSignalImportKind kind) {
    const std::string before = m_session.LastImportFile;
    const bool imported = RunGuarded(*m_boxes, [this, kind] {
        const std::string path = ExecuteOpenDialog(m_openDialog.get(), CSVFilter, m_session.LastImportFile);
        if (path.empty()) {
            return;
        }
        runImport([kind, path](IMessageBoxes& boxes, const TImportTarget& target) {
            TKnownFileDialog known(path);
            RunImportCommand(&known, boxes, FileImportKind(kind), target, nullptr);
        });
        redraw();
    });
    if (imported && (m_session.LastImportFile != before || m_setup.SignalImport.Kind == kind)) {
        m_setup.SignalImport.Kind = kind;
        m_setup.SignalImport.Path = m_session.LastImportFile;
        markModified();
    }
}

// The dialog keeps what was typed even when the import then fails, so the
// user corrects one entry and tries again.
void TFMain::importEncoderSignal() {
    TEncoderImportDialog dialog(m_encoderTexts, m_openDialog.get(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_encoderTexts = dialog.texts();
    // The knock fields of a built page "Spalování" are newer than the dialog's copy.
    m_encoderTexts = takeSetup().SignalImport.Encoder;
    const bool imported = RunGuarded(*m_boxes, [this] {
        const TEncoderOptions options = recordingOptionsOf(m_encoderTexts);
        runImport([options](IMessageBoxes& boxes, const TImportTarget& target) {
            RunEncoderImportCommand(options, boxes, target, nullptr);
        });
        redraw();
    });
    if (imported) {
        m_setup.SignalImport.Kind = TSignalImportKind::Encoder;
        m_setup.SignalImport.Path = m_encoderTexts.Path;
        // The import's cycle takes the place of a file loaded on the page.
        m_setup.Combustion.CyclePath.clear();
        markModified();
        refreshPages(TSessionChange::CycleImported);
    }
}

// The knock band changed on "Spalování": the last encoder recording is read
// again with it, without the import's summary, and the figures follow. The
// recording keeps its cycles when the reading fails.
void TFMain::rereadRecording() {
    const TEncoderTexts texts = takeSetup().SignalImport.Encoder;
    TEncoderOptions options;
    try {
        options = recordingOptionsOf(texts);
    } catch (const EInputError&) {
        // A band still being typed; the next pause in the typing tries again.
        return;
    }
    const bool read = RunGuarded(*m_boxes, [&] {
        runImport([options](IMessageBoxes&, const TImportTarget& target) {
            RereadRecordedCycles(options, target);
        });
    });
    if (read) {
        m_encoderTexts = texts;
        refreshPages(TSessionChange::CycleImported);
    }
}

// The dialog's options; several pressure columns each open their cylinder's
// cycle at its offset in the cylinder table.
TEncoderOptions TFMain::recordingOptionsOf(const TEncoderTexts& texts) const {
    TEncoderOptions options = EncoderOptionsOf(texts, m_session.Numbers);
    std::vector<double> offsets;
    const ICellGrid* table = m_pageSession->CylinderTable;
    const IValueList* main = m_pageSession->Recalc.MainParameters;
    if (table && main) {
        const int cylinders = TableCylinderCount(*main);
        for (int row = 1; row <= cylinders; ++row) {
            offsets.push_back(ParseFloat(table->cellText(OffsetColumn, row), m_session.Numbers));
        }
    }
    TakePressureColumns(options, texts, offsets);
    return options;
}

void TFMain::exitProgram() {
    close();
}

// "Exit" and the frame's close button both come here.
void TFMain::closeEvent(QCloseEvent* event) {
    // An import still running is stopped first; the close comes back once it has.
    if (m_background->busy()) {
        m_background->cancel();
        QTimer::singleShot(0, this, [this] { close(); });
        event->ignore();
        return;
    }
    if (mayDropChanges()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TFMain::mayDropChanges() {
    if (!m_modified) {
        return true;
    }
    switch (AskToSaveChanges(this, m_setupPath)) {
        case TSaveAnswer::Save:
            return saveSetup();
        case TSaveAnswer::Discard:
            return true;
        case TSaveAnswer::Cancel:
            break;
    }
    return false;
}

void TFMain::watchChanges(TSetupPage* page) {
    page->watchChanges();
    connect(page, &TSetupPage::changed, this, &TFMain::markModified);
    // The view is a change only of a set-up that keeps it.
    connect(page, &TSetupPage::viewChanged, this, [this] {
        if (m_saveView) {
            markModified();
        }
    });
}

void TFMain::markModified() {
    if (!m_filling) {
        setModified(true);
    }
}

// "engine.morvane* – Morvane"; before a file is opened or saved, the program's name alone.
void TFMain::setModified(bool modified) {
    m_modified = modified;
    const QString star = modified ? QStringLiteral("*") : QString();
    if (m_setupPath.empty()) {
        setWindowTitle(QStringLiteral("Morvane") + star);
    } else {
        const QString name = QFileInfo(ToQString(m_setupPath)).fileName();
        setWindowTitle(name + star + QStringLiteral(" – Morvane"));
    }
}

TSetup TFMain::takeSetup() {
    // The pages not built yet keep what the set-up held; the knock fields of
    // a built page "Spalování" are newer than the dialog's copy.
    buildLatePages();
    TSetup setup = m_setup;
    setup.SignalImport.Encoder = m_encoderTexts;
    for (const TSetupPage* page : m_builtPages) {
        page->takeSetup(setup);
    }
    return setup;
}

void TFMain::setSaveView(bool withView) {
    m_saveView = withView;
    m_saveDialog->tickChoice(withView);
}

// The first save asks for the file; later ones write the same file.
bool TFMain::saveSetup() {
    return m_setupPath.empty() ? saveSetupAs() : writeSetup(m_setupPath);
}

// The file chosen becomes the window's: the title and the next save follow it.
bool TFMain::saveSetupAs() {
    ISaveDialog* dialog = m_setupSaveDialog != nullptr ? m_setupSaveDialog : m_saveDialog.get();
    const std::string path = ExecuteSaveDialog(dialog, kSetupFilter, m_setupPath);
    if (dialog == m_saveDialog.get() && !path.empty()) {
        m_saveView = m_saveDialog->choiceTicked();
    }
    return !path.empty() && writeSetup(path);
}

// The file is replaced whole or not at all, and a failure keeps the "*".
bool TFMain::writeSetup(const std::string& path) {
    const TSetup setup = takeSetup();
    // Paths under the file's folder are written from it, so the folder can move whole.
    const TSetupFileForm form{.WithView = m_saveView, .EngineRowsOnly = true, .Folder = SetupFolderOf(path)};
    if (!RunGuarded(*m_boxes, [&path, &setup, &form] { WriteSetupFile(path, setup, form); })) {
        return false;
    }
    m_setup = setup;
    m_setupPath = path;
    setModified(false);
    return true;
}

// The window as it started, as one undo step like an open: undo gives back
// what "Nový" replaced, even changes the user chose to discard.
void TFMain::newSetup() {
    if (!mayDropChanges()) {
        return;
    }
    TWindowSnapshot before{takeSetup(), m_session, m_setupPath, m_modified};
    if (isStartState(before)) {
        setModified(false);
        return;
    }
    restoreWindow(*m_startState);
    TWindowSnapshot after{takeSetup(), m_session, m_setupPath, m_modified};
    m_history->stack()->push(new TOpenSetupCommand(QStringLiteral("Nový"), std::move(before),
                                                   std::move(after),
                                                   [this](const TWindowSnapshot& s) { restoreWindow(s); }));
}

// A file that does not read changes nothing; one that reads fills every
// control and re-runs what it implies, as one undo step.
void TFMain::openSetup() {
    IOpenDialog* dialog = m_setupOpenDialog != nullptr ? m_setupOpenDialog : m_openDialog.get();
    const std::string path = ExecuteOpenDialog(dialog, kSetupFilter, m_setupPath);
    if (path.empty()) {
        return;
    }
    TSetupFileRead read;
    if (!RunGuarded(*m_boxes, [&path, &read] { read = ReadSetupFileForm(path); })) {
        return;
    }
    const TSetup& setup = read.Setup;
    // A file that holds the view keeps it when saved again.
    setSaveView(read.WithView);
    TWindowSnapshot before{takeSetup(), m_session, m_setupPath, m_modified};
    {
        // The history takes the opened texts as they are; the step below holds them.
        const TEditStep quiet(this, {});
        m_setup = setup;
        m_setupPath = path;
        fillSetup(setup);
        rerunSetup(setup);
        setModified(false);
    }
    TWindowSnapshot after{takeSetup(), m_session, m_setupPath, m_modified};
    const QString text = QStringLiteral("Otevřít %1").arg(QFileInfo(ToQString(path)).fileName());
    m_history->stack()->push(new TOpenSetupCommand(text, std::move(before), std::move(after),
                                                   [this](const TWindowSnapshot& s) { restoreWindow(s); }));
}

// The engine, the events and the signals of a fresh window, without a file.
bool TFMain::isStartState(const TWindowSnapshot& snapshot) const {
    const TSession& session = snapshot.Session;
    return snapshot.Path.empty() && snapshot.Setup == m_startState->Setup && session.Events.empty() &&
           session.Signal == m_startState->Session.Signal && session.PressureCycle == nullptr;
}

// Puts the window as a snapshot holds it: the controls' texts, the session
// and what the lists, the pictures and the title show of them.
void TFMain::restoreWindow(const TWindowSnapshot& snapshot) {
    buildLatePages();
    const TEditStep quiet(this, {});
    {
        const QScopedValueRollback filling(m_filling, true);
        fillSetup(snapshot.Setup);
        m_session = snapshot.Session;
        m_history->recalculate();
        FillCorrectionTexts(snapshot.Setup.Corrections, *m_pageSession->Recalc.CorrectionList);
        // A window put back as it started shows its lists as no command has filled them yet.
        if (isStartState(snapshot)) {
            for (const auto& [table, cells] : m_startTables) {
                cells->putBack(*table);
            }
        }
        refreshPages(TSessionChange::SetupShown);
        m_setup = snapshot.Setup;
        m_setupPath = snapshot.Path;
    }
    setModified(snapshot.Modified);
}

void TFMain::fillSetup(const TSetup& setup) {
    buildLatePages();
    const QScopedValueRollback filling(m_filling, true);
    for (TSetupPage* page : m_builtPages) {
        page->fillSetup(setup);
    }
    m_encoderTexts = setup.SignalImport.Encoder;
}

// The session starts afresh: the set-up's events, then its signal. Each step
// that fails is reported and the others still run.
void TFMain::rerunSetup(const TSetup& setup) {
    const QScopedValueRollback filling(m_filling, true);
    m_session = TSession{};
    const TRecalcControls& recalc = m_pageSession->Recalc;
    RunGuarded(*m_boxes, [this, &recalc] { RecalculateAll(m_session, recalc); });
    if (SetupHasEvents(setup)) {
        RunGuarded(*m_boxes, [this, &setup, &recalc] {
            CreateSetupEvents(*m_pageSession->CylinderTable, setup.GlobalCorrection, setup.Corrections,
                              m_session, recalc);
        });
    }
    reimportSignal(setup.SignalImport);
    if (!setup.Combustion.CyclePath.empty()) {
        loadSetupCycle(setup.Combustion.CyclePath);
    }
    refreshPages(TSessionChange::SetupShown);
    RunGuarded(*m_boxes, [this] { redraw(); });
}

void TFMain::refreshPages(TSessionChange change) {
    buildLatePages();
    for (TSetupPage* page : m_builtPages) {
        page->refreshFromSession(change);
    }
}

// The cycle file loaded on the page "Spalování" is read again; a file that
// fails is reported, and the rest of the set-up still opens.
void TFMain::loadSetupCycle(const std::string& path) {
    RunGuarded(*m_boxes, [this, &path] {
        m_session.PressureCycle = ComputeAside(m_background, [path, numbers = m_session.Numbers] {
            return std::make_shared<const TPressureCycle>(ReadPressureCycle(path, numbers));
        });
    });
}

void TFMain::reimportSignal(const TSignalImportTexts& import) {
    if (import.Kind == TSignalImportKind::Angle || import.Kind == TSignalImportKind::Time) {
        RunGuarded(*m_boxes, [this, &import] {
            runImport([kind = FileImportKind(import.Kind), path = import.Path](IMessageBoxes& boxes,
                                                                               const TImportTarget& target) {
                TKnownFileDialog known(path);
                RunImportCommand(&known, boxes, kind, target, nullptr);
            });
            redraw();
        });
    } else if (import.Kind == TSignalImportKind::Encoder) {
        RunGuarded(*m_boxes, [this, &import] {
            const TEncoderOptions options = recordingOptionsOf(import.Encoder);
            runImport([options](IMessageBoxes& boxes, const TImportTarget& target) {
                RunEncoderImportCommand(options, boxes, target, nullptr);
            });
            redraw();
        });
    }
}

}  // namespace morvane
