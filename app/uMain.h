#pragma once

// The main window: its pages of controls and the command handlers, each a
// thin call into the core under the one command guard.
//
// Every control is a private member named by its role; its objectName is the
// name users, tests and the documentation know it by:
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
// | m_pages                       | PageControl1  | the pages                                           |
// | m_editPage                    | TabSheet1     | page "Editace"                                      |
// | m_correctionPage              | TabSheet3     | page "Korekce"                                      |
// | m_timelinePage                | TabSheet2     | page "Časová osa"                                   |
// | m_mainParametersHeading       | Label1        | "Hlavní parametry"                                  |
// | m_detailParametersHeading     | Label2        | "Detailní parametry"                                |
// | m_computedParametersHeading   | Label3        | "Vypočtené parametry"                               |
// | m_mainParameterList           | ValueList1    | cylinder count, strokes, speed                      |
// | m_computedParameterList       | ValueList2    | cycle time, read-only                               |
// | m_cylinderTable               | StringGrid2   | offset, ignition and valve angles per cylinder      |
// | m_fillFromFirstButton         | SpeedButton1  | "Vyplnit podle prvního": fillFromFirst()            |
// | m_createEventsButton          | SpeedButton2  | "Vytvořit události": createEvents()                 |
// | m_referenceGroup              | RadioGroup1   | " SV/VV reference ", disabled                       |
// | m_correctionList              | ValueList3    | one correction per event                            |
// | m_applyCorrectionsButton      | SpeedButton3  | "Korigovat": applyCorrections()                     |
// | m_crankAngleCaption           | StaticText1   | "Shaft angle: 0°", then "Úhel kliky: N°"            |
// | m_crankAngleSlider            | TrackBar1     | the cursor: crankAngleChanged()                     |
// | m_timelineView                | Image1        | the timeline picture: pictureResized()              |
// | m_controlBand                 | Bevel2        | the band of small controls under the picture        |
// | m_globalCorrectionLabel       | Label4        | "Globální korekce [°]"                              |
// | m_globalCorrectionEdit        | Edit1         | the global correction: globalCorrectionChanged()    |
// | m_globalCorrectionStepper     | UpDown1       | arrow buttons stepping the global correction        |
// | m_filterLabel, m_gainLabel    | Label5, Label6| "Klouzavý LF filtr", "Zesílení"                     |
// | m_filterSlider, m_gainSlider  | TrackBar2, 3  | moving-average width and gain: filterOrGainChanged()|
// | m_eventTable                  | StringGrid1   | ID, angle and name of every event                   |
// | m_kindList                    | CheckListBox1 | the event kinds shown: kindClicked()                |
// | (built when first needed)     | OpenDialog1   | the file dialog of the imports                      |
// | (built at each import)        | EncoderImportDialog | the encoder import's options                  |
// | (built when first shown)      | ValveTimingPage | page "Rozvod"                                     |
// | m_combustionPage (when shown) | CombustionPage| page "Spalování"                                    |
//
// The core reads and writes the lists and grids through the adapters in
// m_core, whose fields carry the same role names.

#include <QMainWindow>

#include <functional>
#include <memory>

#include "events/Recalculation.h"
#include "events/Session.h"
#include "signal/EncoderSettings.h"
#include "signal/ImportCommand.h"
#include "timeline/Raster.h"

class QAction;
class QGroupBox;
class QFrame;
class QKeySequence;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSlider;
class QTabWidget;
class QTableWidget;

namespace morvane {

class TCombustionPage;
class TImageView;
class TQtMessageBoxes;
class TQtOpenDialog;
class TUpDown;
struct TCoreControls;

class TFMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TFMain(QWidget* parent = nullptr);
    ~TFMain() override;

    // The timeline picture as last drawn.
    const TRaster& picture() const { return m_picture; }
    // What this window holds between commands.
    const TSession& session() const { return m_session; }
    TSession& session() { return m_session; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The commands.
    void fillFromFirst();
    void createEvents();
    void applyCorrections();
    void globalCorrectionChanged();
    void crankAngleChanged();
    void filterOrGainChanged();
    void kindClicked();
    void pictureResized();
    void importAngleSignal();
    void importTimeSignal();
    void importEncoderSignal();
    void exitProgram();

    // Building the window.
    void setUpContents();
    void createMenu();
    void createEditPage();
    void createCorrectionPage();
    void createTimelinePage();
    void addPage(QWidget* page, const QString& title);
    void addPageBuiltWhenShown(const QString& title, const std::function<QWidget*()>& build);
    void addCommand(QPushButton* button, const QKeySequence& key, void (TFMain::*command)());
    void createPageKeys();
    void showPageBy(int step);
    void arrangeCorrectionPage(QSize size);
    void arrangeTimelinePage(QSize size);
    void drawTimeline();

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
    QWidget* m_editPage = nullptr;
    QWidget* m_correctionPage = nullptr;
    QWidget* m_timelinePage = nullptr;

    QLabel* m_mainParametersHeading = nullptr;
    QLabel* m_detailParametersHeading = nullptr;
    QLabel* m_computedParametersHeading = nullptr;
    QTableWidget* m_mainParameterList = nullptr;
    QTableWidget* m_computedParameterList = nullptr;
    QTableWidget* m_cylinderTable = nullptr;
    QPushButton* m_fillFromFirstButton = nullptr;
    QPushButton* m_createEventsButton = nullptr;
    QGroupBox* m_referenceGroup = nullptr;

    QTableWidget* m_correctionList = nullptr;
    QPushButton* m_applyCorrectionsButton = nullptr;

    QLabel* m_crankAngleCaption = nullptr;
    QSlider* m_crankAngleSlider = nullptr;
    TImageView* m_timelineView = nullptr;
    QFrame* m_controlBand = nullptr;
    QLabel* m_globalCorrectionLabel = nullptr;
    QLineEdit* m_globalCorrectionEdit = nullptr;
    TUpDown* m_globalCorrectionStepper = nullptr;
    QLabel* m_filterLabel = nullptr;
    QSlider* m_filterSlider = nullptr;
    QLabel* m_gainLabel = nullptr;
    QSlider* m_gainSlider = nullptr;
    QTableWidget* m_eventTable = nullptr;
    QListWidget* m_kindList = nullptr;

    TCombustionPage* m_combustionPage = nullptr;
    // The encoder dialog's entries, kept for its next opening within the run.
    TEncoderTexts m_encoderTexts;

    TRaster m_picture;
    std::unique_ptr<TQtMessageBoxes> m_boxes;
    std::unique_ptr<TQtOpenDialog> m_openDialog;
    std::unique_ptr<TCoreControls> m_core;
    TRecalcControls m_recalc;
};

}  // namespace morvane
