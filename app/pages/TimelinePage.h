#pragma once

// The page "Časová osa": the session's signal and events drawn over the cycle,
// the cursor, the global correction, the filter and gain of the signal, the
// event table and the event kinds shown. Moving a control redraws the picture.
//
// | member                        | objectName    | what it is                                          |
// |-------------------------------|---------------|-----------------------------------------------------|
// | (the page)                    | TabSheet2     | page "Časová osa"                                   |
// | m_crankAngleCaption           | StaticText1   | "Shaft angle: 0°", then "Úhel kliky: N°"            |
// | m_crankAngleSlider            | TrackBar1     | the cursor: crankAngleChanged()                     |
// | m_timelineView                | Image1        | the timeline picture: pictureResized()              |
// | m_controlBand                 | Bevel2        | the band of small controls under the picture        |
// | m_globalCorrectionLabel       | Label4        | "Globální korekce [°]"                              |
// | m_globalCorrectionEdit        | Edit1         | the global correction: globalCorrectionEdited()     |
// | m_globalCorrectionStepper     | UpDown1       | arrow buttons stepping the global correction        |
// | m_filterLabel, m_gainLabel    | Label5, Label6| "Klouzavý LF filtr", "Zesílení"                     |
// | m_filterSlider, m_gainSlider  | TrackBar2, 3  | moving-average width and gain: filterOrGainChanged()|
// | m_eventTable                  | StringGrid1   | ID, angle and name of every event                   |
// | m_kindList                    | CheckListBox1 | the event kinds shown, each with its colour:
// kindClicked() | | m_readout                     | TimelineReadout | angle, signal and events at the cursor:
// showReadout() |

#include <memory>
#include <string>

#include "app/pages/SetupPage.h"
#include "timeline/Raster.h"
#include "util/controls.h"

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QSlider;
class QTableWidget;

namespace morvane {

class IMessageBoxes;
class TImageView;
class TQtCellGrid;
class TUpDown;
struct TPageSession;
struct TSession;

class TTimelinePage : public TSetupPage {
    Q_OBJECT

public:
    // The session is the window's; it outlives the page. The page puts its
    // event table, its redraw and its picture there.
    explicit TTimelinePage(TPageSession& session, QWidget* parent = nullptr);
    ~TTimelinePage() override;

    // Draws the session at the picture's size with the page's settings; raises on failure.
    void drawTimeline();

    // The set-up's part of this page: the global correction, the sliders and the kinds shown.
    void takeSetup(TSetup& setup) const override;
    // Sets the sliders and kinds, which redraw; the global correction's text
    // is set quietly, as opening a set-up applies it with the events.
    void fillSetup(const TSetup& setup) override;
    QList<QTableWidget*> writtenTables() const override;
    // The readout line; the window places it under the page, which keeps its layout.
    QWidget* statusLine() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    std::string globalCorrectionText() const;
    // The typed correction applied to the events: no step of its own, as the
    // correction list is written anew from the events.
    void globalCorrectionEdited();
    void crankAngleChanged();
    void filterOrGainChanged();
    void kindClicked();
    void pictureResized();
    void showReadout();

    void createCursorAndPicture();
    void createControlBand();
    void createEventLists();
    void connectRedraws();
    void arrange(QSize size);

    TPageSession& m_pageSession;
    TSession& m_session;
    IMessageBoxes& m_boxes;
    TRaster m_picture;

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
    QLabel* m_readout = nullptr;
    std::unique_ptr<TQtCellGrid> m_events;
};

}  // namespace morvane
