#pragma once

// The main window: three pages of controls and the command handlers, each a
// thin call into the core under the one command guard.

#include <QMainWindow>

#include <memory>

#include "events/Recalculation.h"
#include "events/Session.h"
#include "signal/ImportCommand.h"
#include "timeline/Raster.h"

class QAction;
class QCheckBox;
class QFileDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QSlider;
class QTabWidget;
class QTableWidget;

namespace morvane {

class TImageView;
class TQtCellGrid;
class TQtMessageBoxes;
class TQtOpenDialog;
class TQtValueList;
class TUpDown;

class TFMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TFMain(QWidget* parent = nullptr);
    ~TFMain() override;

    // The controls, named as the window's published fields.
    QMenu* File1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Exit1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QSlider* TrackBar1 = nullptr;
    QLabel* StaticText1 = nullptr;
    TImageView* Image1 = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QTableWidget* ValueList1 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QTableWidget* StringGrid2 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QPushButton* SpeedButton1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* SpeedButton2 = nullptr;
    QListWidget* CheckListBox1 = nullptr;
    QLabel* Label3 = nullptr;
    QTableWidget* ValueList2 = nullptr;
    QFrame* Bevel2 = nullptr;
    TUpDown* UpDown1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label4 = nullptr;
    QTableWidget* ValueList3 = nullptr;
    QPushButton* SpeedButton3 = nullptr;
    QAction* N2 = nullptr;
    QAction* ImportSig1 = nullptr;
    QFileDialog* OpenDialog1 = nullptr;
    QAction* ImportSig2 = nullptr;
    QLabel* Label5 = nullptr;
    QSlider* TrackBar2 = nullptr;
    QLabel* Label6 = nullptr;
    QSlider* TrackBar3 = nullptr;

    // The timeline picture as last drawn.
    const TRaster& picture() const { return m_picture; }
    // What this window holds between commands.
    const TSession& session() const { return m_session; }
    TSession& session() { return m_session; }

public slots:
    void CheckListBox1Click();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void FormResize();
    void TrackBar1Change();
    void Exit1Click();
    void Edit1Change();
    void SpeedButton3Click();
    void ImportSig1Click();
    void ImportSig2Click();
    void TrackBar2Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void createMenu();
    void createEditPage();
    void createCorrectionPage();
    void createTimelinePage();
    void arrangeCorrectionPage(QSize size);
    void arrangeTimelinePage(QSize size);
    void drawTimeline();
    TImportTarget importTarget() { return {m_session.Signal, m_session.LastImportFile}; }

    TSession m_session;
    TRaster m_picture;
    std::unique_ptr<TQtMessageBoxes> m_boxes;
    std::unique_ptr<TQtOpenDialog> m_openDialog;
    std::unique_ptr<TQtValueList> m_mainParameters;
    std::unique_ptr<TQtValueList> m_computedParameters;
    std::unique_ptr<TQtValueList> m_correctionList;
    std::unique_ptr<TQtCellGrid> m_cylinderTable;
    std::unique_ptr<TQtCellGrid> m_eventGrid;
    TRecalcControls m_recalc;
};

}  // namespace morvane
