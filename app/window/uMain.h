#pragma once

// The main window: the menu, the pages, the session and the commands that
// join them, each a thin call into the core under the one command guard.
// Each page lays out its own controls; its header maps them to objectNames.
// The window knows a page only as a TSetupPage (app/pages/SetupPage.h), listed in
// app/window/WindowPages.cpp; the pages share what they show in a TPageSession.
//
// clang-format off
// | member                  | objectName    | what it is                                                 |
// |-------------------------|---------------|------------------------------------------------------------|
// | m_fileMenu              | File1         | the menu "File"                                            |
// | m_openAction            | Open1         | "Open...": openSetup() (one undo step: app/history/SetupUndo.h) |
// | m_saveAction            | Save1         | "Save...": saveSetup()                                     |
// | m_importSeparator       | N2            | separator above the imports                                |
// | m_importAngleAction     | ImportSig1    | "Import signal (ANGLE)...": importAngleSignal()            |
// | m_importTimeAction      | ImportSig2    | "Import Signal (TIME)...": importTimeSignal()              |
// | m_importEncoderAction   | ImportSig3    | "Import signal (ENCODER)...": importEncoderSignal()        |
// | m_exitSeparator         | N1            | separator above "Exit"                                     |
// | m_exitAction            | Exit1         | "Exit": exitProgram()                                      |
// | m_newSeparator          | N3            | separator below "Exit"                                     |
// | m_saveAsAction          | SaveAs1       | "Uložit jako...": saveSetupAs()                            |
// | m_newAction             | New1          | "Nový": newSetup() (one undo step, as an open is)          |
// | m_reportAction          | SaveReport1   | "Uložit zprávu (PDF)...": saveReport()                     |
// | m_history               | Edit1         | the menu "Úpravy": undo, redo (app/history/EditHistory.h)  |
// | m_pages                 | PageControl1  | the pages                                                  |
// | m_builtPages[0]         | TabSheet1     | page "Editace" (app/pages/EditPage.h)                      |
// | (after the first frame) | TabSheet3     | page "Korekce" (app/pages/CorrectionPage.h)                |
// | (after the first frame) | TabSheet2     | page "Časová osa" (app/pages/TimelinePage.h)               |
// | (built when first shown)| ValveTimingPage | page "Rozvod" (app/pages/ValveTimingPage.h)              |
// | (built when first shown)| CombustionPage | page "Spalování" (app/pages/CombustionPage.h)             |
// | (built when first needed)| OpenDialog1  | the file dialog of the imports and of "Open..."            |
// | (built when first needed)| SaveDialog1  | the file dialog of "Uložit jako..." and the first "Save..." |
// | (built when first needed)| ReportDialog1 | the file dialog of "Uložit zprávu (PDF)..."               |
// | (built at each import)  | EncoderImportDialog | the encoder import's options                         |
// | m_background            | WorkProgress, CancelWorkButton | the imports' progress and "Zrušit" (app/widgets/BackgroundWork.h) |
// clang-format on
//
// The pages give the commands of their buttons with their keys: "Vytvořit
// události" (F5) and "Vyplnit podle prvního" (F6) on "Editace", "Korigovat"
// (F7) on "Korekce"; the window runs each as one user change.
//
// The window's title names the set-up file and ends its name with "*" while
// the user has changes the file does not hold; closing the window or "Nový"
// then asks whether to save them (app/dialogs/SaveQuestion.h).

#include <QMainWindow>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "events/Session.h"
#include "events/Setup.h"
#include "signal/import/EncoderSettings.h"
#include "timeline/Raster.h"

class QAction;
class QCloseEvent;
class QKeySequence;
class QLayout;
class QMenu;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace morvane {

class TBackgroundWork;
class TEditHistory;
class TQtMessageBoxes;
class TQtOpenDialog;
class TQtSaveDialog;
class IMessageBoxes;
class IOpenDialog;
class ISaveDialog;
class TSetupPage;
class TTableSnapshot;
enum class TSessionChange;
struct TPageEntry;
struct TPageSession;
struct TWindowSnapshot;

class TFMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TFMain(QWidget* parent = nullptr);
    ~TFMain() override;

    // The timeline picture as last drawn.
    const TRaster& picture();
    // What this window holds between commands.
    const TSession& session() const { return m_session; }
    TSession& session() { return m_session; }

    // The set-up file last opened or saved; empty before either.
    const std::string& setupPath() const { return m_setupPath; }
    // Dialogs that "Open..." and "Save..." use instead of the window's own;
    // they must outlive the window's use of them (for tests and scripts).
    void useSetupDialogs(IOpenDialog* open, ISaveDialog* save);
    // Whether a save writes the view too ("Uložit i pohled"), as the save
    // dialog's check box sets it; off until the user ticks it.
    void setSaveView(bool withView);
    // The dialog "Uložit zprávu (PDF)..." uses instead of the window's own.
    void useReportDialog(ISaveDialog* dialog);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The commands.
    void importAngleSignal();
    void importTimeSignal();
    void importEncoderSignal();
    void rereadRecording();
    TEncoderOptions recordingOptionsOf(const TEncoderTexts& texts) const;
    void importSignalFile(TSignalImportKind kind);
    void exitProgram();
    void redraw();
    void saveReport();
    // Runs an import command off the UI thread (app/window/ImportAside.h).
    void runImport(const std::function<void(IMessageBoxes&, const TImportTarget&)>& command);

    // The set-up file.
    void openSetup();
    void newSetup();
    // Each false when nothing was written: a cancelled dialog or a failure.
    bool saveSetup();
    bool saveSetupAs();
    bool writeSetup(const std::string& path);
    // True when the changes are saved, discarded or none; false to keep them.
    bool mayDropChanges();
    TSetup takeSetup();
    void fillSetup(const TSetup& setup);
    void rerunSetup(const TSetup& setup);
    void reimportSignal(const TSignalImportTexts& import);
    void loadSetupCycle(const std::string& path);
    void restoreWindow(const TWindowSnapshot& snapshot);
    bool isStartState(const TWindowSnapshot& snapshot) const;
    void refreshPages(TSessionChange change);
    void watchChanges(TSetupPage* page);
    void markModified();
    void setModified(bool modified);

    // Building the window.
    void createMenu();
    void createPages();
    void createHistory();
    void connectCommands();
    void keepStartState();
    void addPage(const TPageEntry& entry);
    void addPageAfterFirstFrame(const TPageEntry& entry);
    void addPageBuiltWhenShown(const TPageEntry& entry);
    void buildLatePage(const TPageEntry& entry, QWidget* room);
    void buildShownPage(const TPageEntry& entry, QLayout* holder);
    void joinPage(TSetupPage* page);
    void showStatusLine(QWidget* line);
    int statusLineHeight() const;
    void buildLatePages();
    void buildEveryPage();
    void addCommand(QPushButton* button, const QKeySequence& key, const std::function<void()>& command);
    void createPageKeys();
    void showPageBy(int step);

    TSession m_session;
    QMenu* m_fileMenu = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QAction* m_importSeparator = nullptr;
    QAction* m_importAngleAction = nullptr;
    QAction* m_importTimeAction = nullptr;
    QAction* m_importEncoderAction = nullptr;
    QAction* m_exitSeparator = nullptr;
    QAction* m_exitAction = nullptr;
    QAction* m_newSeparator = nullptr;
    QAction* m_saveAsAction = nullptr;
    QAction* m_newAction = nullptr;
    QAction* m_reportAction = nullptr;

    QTabWidget* m_pages = nullptr;
    // The pages built so far, in the order they were built; children of m_pages.
    std::vector<TSetupPage*> m_builtPages;
    // The pages built when first shown, each with its holder's layout (empty until built).
    std::vector<std::pair<const TPageEntry*, QLayout*>> m_unbuiltPages;
    // The pages built after the first frame, each with the empty tab in its place.
    std::vector<std::pair<const TPageEntry*, QWidget*>> m_latePages;
    // Whether the pages built after the first frame are; every command and
    // every look at the pages' texts builds them first.
    bool m_latePagesBuilt = false;
    // Keeps the height of the page's line under the pages until it is built.
    QWidget* m_statusRoom = nullptr;
    // The encoder dialog's entries, kept for its next opening within the run.
    TEncoderTexts m_encoderTexts;

    std::unique_ptr<TQtMessageBoxes> m_boxes;
    std::unique_ptr<TQtOpenDialog> m_openDialog;
    std::unique_ptr<TQtSaveDialog> m_saveDialog;
    // What the pages share; the history below reads its controls.
    std::unique_ptr<TPageSession> m_pageSession;
    IOpenDialog* m_setupOpenDialog = nullptr;
    ISaveDialog* m_setupSaveDialog = nullptr;
    ISaveDialog* m_reportSaveDialog = nullptr;
    std::unique_ptr<TQtSaveDialog> m_reportDialog;
    bool m_saveView = false;
    // What the last set-up file held, with the window's changes as they are
    // taken; it keeps the fields of pages not built yet.
    TSetup m_setup;
    std::string m_setupPath;
    bool m_modified = false;
    // The window as it first showed, which "Nový" puts back.
    std::unique_ptr<TWindowSnapshot> m_startState;
    std::vector<std::pair<QTableWidget*, std::unique_ptr<TTableSnapshot>>> m_startTables;
    // Set while the window fills its controls itself, which is no user change;
    // only a QScopedValueRollback sets it.
    bool m_filling = false;
    // Undo and redo of the typed data: a child of the window, gone before the session it restores.
    std::unique_ptr<TEditHistory> m_history;
    // Runs the imports off the UI thread; a child of the window.
    TBackgroundWork* m_background = nullptr;
};

}  // namespace morvane
