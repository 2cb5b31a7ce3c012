#pragma once

// The main window: the menu, the pages, the session and the commands that
// join them, each a thin call into the core under the one command guard.
// Each page lays out its own controls; its header maps them to objectNames.
//
// | member                        | objectName    | what it is                                          |
// |-------------------------------|---------------|-----------------------------------------------------|
// | m_fileMenu                    | File1         | the menu "File"                                     |
// | m_openAction, m_saveAction    | Open1, Save1  | "Open...", "Save...": do nothing                    |
// | m_importSeparator             | N2            | separator above the imports                         |
// | m_importAngleAction           | ImportSig1    | "Import signal (ANGLE)...": importAngleSignal()     |
// | m_importTimeAction            | ImportSig2    | "Import Signal (TIME)...": importTimeSignal()       |
// | m_importEncoderAction         | ImportSig3    | "Import signal (ENCODER)...": importEncoderSignal() |
// | m_exitSeparator               | N1            | separator above "Exit"                              |
// | m_exitAction                  | Exit1         | "Exit": exitProgram()                               |
// | m_history                     | Edit1         | the menu "Úpravy": undo, redo (app/EditHistory.h)   |
// | m_pages                       | PageControl1  | the pages                                           |
// | m_editPage                    | TabSheet1     | page "Editace" (app/EditPage.h)                     |
// | m_correctionPage              | TabSheet3     | page "Korekce" (app/CorrectionPage.h)               |
// | m_timelinePage                | TabSheet2     | page "Časová osa" (app/TimelinePage.h)              |
// | (built when first shown)      | ValveTimingPage | page "Rozvod" (app/ValveTimingPage.h)             |
// | m_combustionPage (when shown) | CombustionPage| page "Spalování" (app/CombustionPage.h)             |
// | (built when first needed)     | OpenDialog1   | the file dialog of the imports                      |
// | (built at each import)        | EncoderImportDialog | the encoder import's options                  |
//
// The commands of the window's keys: createEvents() (F5, "Vytvořit události"),
// the edit page's fillFromFirst() (F6), applyCorrections() (F7, "Korigovat");
// globalCorrectionChanged() follows the timeline page's field "Edit1".

#include <QMainWindow>

#include <functional>
#include <memory>

#include "events/Recalculation.h"
#include "events/Session.h"
#include "signal/EncoderSettings.h"
#include "timeline/Raster.h"

class QAction;
class QKeySequence;
class QMenu;
class QPushButton;
class QTabWidget;

namespace morvane {

class TCombustionPage;
class TCorrectionPage;
class TEditHistory;
class TEditPage;
class TQtMessageBoxes;
class TQtOpenDialog;
class TTimelinePage;

class TFMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TFMain(QWidget* parent = nullptr);
    ~TFMain() override;

    // The timeline picture as last drawn.
    const TRaster& picture() const;
    // What this window holds between commands.
    const TSession& session() const { return m_session; }
    TSession& session() { return m_session; }

private:
    // The commands.
    void createEvents();
    void applyCorrections();
    void globalCorrectionChanged();
    void importAngleSignal();
    void importTimeSignal();
    void importEncoderSignal();
    void exitProgram();
    void redraw();

    // Building the window.
    void createMenu();
    void createPages();
    void connectCommands();
    void addPage(QWidget* page, const QString& title);
    void addPageBuiltWhenShown(const QString& title, const std::function<QWidget*()>& build);
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

    QTabWidget* m_pages = nullptr;
    TEditPage* m_editPage = nullptr;
    TCorrectionPage* m_correctionPage = nullptr;
    TTimelinePage* m_timelinePage = nullptr;
    TCombustionPage* m_combustionPage = nullptr;
    // The encoder dialog's entries, kept for its next opening within the run.
    TEncoderTexts m_encoderTexts;

    std::unique_ptr<TQtMessageBoxes> m_boxes;
    std::unique_ptr<TQtOpenDialog> m_openDialog;
    TRecalcControls m_recalc;
    // Undo and redo of the typed data: a child of the window, gone before the session it restores.
    std::unique_ptr<TEditHistory> m_history;
};

}  // namespace morvane
