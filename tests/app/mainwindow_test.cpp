// Drives the real main window through its controls.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "ModalBoxCatcher.h"
#include "app/widgets/ImageView.h"
#include "app/window/uMain.h"
#include "events/EngineEvent.h"
#include "events/Session.h"
#include "tests/support/WindowFixture.h"
#include "timeline/Raster.h"
#include "util/mathutil.h"

using namespace morvane;

namespace {

QString Cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item == nullptr ? QString() : item->text();
}

void SetCell(QTableWidget* table, int row, int column, const QString& text) {
    table->item(row, column)->setText(text);
}

// The event table below its header as "angle name" lines.
QStringList EventTable(const QTableWidget* grid) {
    QStringList rows;
    for (int row = 1; row < grid->rowCount(); ++row) {
        rows << Cell(grid, row, 1) + " " + Cell(grid, row, 2);
    }
    return rows;
}

bool ColumnHasColor(const TRaster& picture, int x, TColor color) {
    for (int y = 0; y < picture.height(); ++y) {
        if (picture.pixel(x, y) == color) {
            return true;
        }
    }
    return false;
}

// The most memory the process has held so far.
long PeakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool PictureHasColor(const TRaster& picture, TColor color) {
    for (int x = 0; x < picture.width(); ++x) {
        if (ColumnHasColor(picture, x, color)) {
            return true;
        }
    }
    return false;
}

}  // namespace

class MainWindowTest : public testing::TWindowFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(openActiveWindow()); }
    void cleanup() { closeWindow(); }

    void startsWithTheDefaultsOnEveryPage() {
        QCOMPARE(m_window->windowTitle(), QString("Morvane"));
        QCOMPARE(find<QTabWidget>("PageControl1")->count(), 5);
        QCOMPARE(find<QTabWidget>("PageControl1")->tabText(0), QString("Editace"));
        QCOMPARE(find<QTabWidget>("PageControl1")->tabText(1), QString("Korekce"));
        QCOMPARE(find<QTabWidget>("PageControl1")->tabText(2), QString("Časová osa"));
        QCOMPARE(find<QTabWidget>("PageControl1")->tabText(3), QString("Rozvod"));
        QCOMPARE(find<QTabWidget>("PageControl1")->tabText(4), QString("Spalování"));
        QCOMPARE(find<QTabWidget>("PageControl1")->currentWidget(), find<QWidget>("TabSheet1"));

        const QStringList headers{"Válec č.",  "Přesazení", "Zapalování", "SV otvírá",
                                  "SV zavírá", "VV otvírá", "VV zavírá"};
        QCOMPARE(find<QTableWidget>("StringGrid2")->rowCount(), 13);
        for (int column = 0; column < 7; ++column) {
            QCOMPARE(Cell(find<QTableWidget>("StringGrid2"), 0, column), headers[column]);
        }
        for (int row = 1; row <= 12; ++row) {
            QCOMPARE(Cell(find<QTableWidget>("StringGrid2"), row, 0), QString::number(row));
            for (int column = 1; column < 7; ++column) {
                QCOMPARE(Cell(find<QTableWidget>("StringGrid2"), row, column), QString("0"));
            }
        }
        QCOMPARE(Cell(find<QTableWidget>("ValueList1"), 0, 0), QString("Počet válců [1]"));
        QCOMPARE(Cell(find<QTableWidget>("ValueList1"), 0, 1), QString("1"));
        QCOMPARE(Cell(find<QTableWidget>("ValueList1"), 1, 1), QString("4"));
        QCOMPARE(Cell(find<QTableWidget>("ValueList1"), 2, 0), QString("Otáčky motoru [RPM]"));
        QCOMPARE(Cell(find<QTableWidget>("ValueList1"), 2, 1), QString("1000"));
        QCOMPARE(Cell(find<QTableWidget>("ValueList2"), 0, 0), QString("Doba cyklu [ms]"));
        QCOMPARE(Cell(find<QTableWidget>("ValueList2"), 0, 1), QString("0"));
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 1);
        QCOMPARE(find<QTableWidget>("ValueList3")->horizontalHeaderItem(0)->text(), QString("Událsot"));
        QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("0"));
        QCOMPARE(find<QLabel>("StaticText1")->text(), QString("Shaft angle: 0°"));
        QCOMPARE(find<QListWidget>("CheckListBox1")->count(), 4);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(find<QListWidget>("CheckListBox1")->item(k)->text(),
                     QString::fromUtf8(kEventKindTexts[k]));
            QCOMPARE(find<QListWidget>("CheckListBox1")->item(k)->checkState(), Qt::Checked);
        }
        QCOMPARE(find<QSlider>("TrackBar1")->maximum(), 720);
        QCOMPARE(find<QSlider>("TrackBar2")->maximum(), 96);
        QCOMPARE(find<QSlider>("TrackBar3")->minimum(), 10);
        QCOMPARE(find<QSlider>("TrackBar3")->value(), 10);
        QVERIFY(m_window->session().Events.empty());
        // Keys and the computed list cannot be edited.
        QVERIFY(!(find<QTableWidget>("ValueList1")->item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(find<QTableWidget>("ValueList1")->item(0, 1)->flags() & Qt::ItemIsEditable);
        QVERIFY(!(find<QTableWidget>("ValueList2")->item(0, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(!(find<QTableWidget>("StringGrid2")->item(3, 0)->flags() & Qt::ItemIsEditable));
    }

    void theFirstShownPictureIsDrawn() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        QTest::qWait(20);
        const TRaster& picture = m_window->picture();
        QCOMPARE(picture.width(), find<TImageView>("Image1")->width());
        QCOMPARE(picture.height(), 300);
        QCOMPARE(picture.pixel(0, 0), RgbColor(0, 0, 0));          // frame
        QCOMPARE(picture.pixel(1, 10), RgbColor(255, 0, 0));       // cursor on column 1
        QCOMPARE(picture.pixel(5, 150), RgbColor(128, 128, 128));  // axis over the flat trace
    }

    void createsTheDefaultEvents() {
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(Cell(find<QTableWidget>("ValueList2"), 0, 1), QString("120"));
        QCOMPARE(EventTable(find<QTableWidget>("StringGrid1")),
                 QStringList({"0 Píst 1 - HU", "0 Zapalování 1", "0 Píst 1 - SV otvírá",
                              "0 Píst 1 - SV zavírá", "0 Píst 1 - VV otvírá", "0 Píst 1 - VV zavírá",
                              "180 Píst 1 - DU", "360 Píst 1 - HU", "540 Píst 1 - DU"}));
        QCOMPARE(Cell(find<QTableWidget>("StringGrid1"), 0, 1), QString("Úhel"));
        QCOMPARE(Cell(find<QTableWidget>("StringGrid1"), 9, 0), QString("08"));
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 9);
        QCOMPARE(Cell(find<QTableWidget>("ValueList3"), 6, 0), QString("Píst 1 - DU"));
        QCOMPARE(Cell(find<QTableWidget>("ValueList3"), 6, 1), QString("0"));
    }

    void createsTheTwoCylinderEvents() {
        SetCell(find<QTableWidget>("ValueList1"), 0, 1, "2");
        const QStringList timing{"350", "0", "180", "540", "720"};
        SetCell(find<QTableWidget>("StringGrid2"), 1, 1, "0");
        for (int column = 2; column < 7; ++column) {
            SetCell(find<QTableWidget>("StringGrid2"), 1, column, timing[column - 2]);
        }
        SetCell(find<QTableWidget>("StringGrid2"), 2, 1, "360");
        find<QPushButton>("SpeedButton1")->click();  // fills row 2's timing from row 1
        QCOMPARE(Cell(find<QTableWidget>("StringGrid2"), 2, 2), QString("350"));
        QCOMPARE(Cell(find<QTableWidget>("StringGrid2"), 2, 1), QString("360"));
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(EventTable(find<QTableWidget>("StringGrid1")),
                 QStringList({"0 Píst 1 - HU", "0 Píst 1 - SV otvírá", "180 Píst 2 - DU", "180 Píst 1 - DU",
                              "180 Píst 1 - SV zavírá", "180 Píst 2 - VV otvírá", "350 Zapalování 1",
                              "360 Píst 2 - HU", "360 Píst 1 - HU", "360 Píst 2 - SV otvírá",
                              "360 Píst 2 - VV zavírá", "540 Píst 1 - VV otvírá", "540 Píst 2 - SV zavírá",
                              "540 Píst 1 - DU", "540 Píst 2 - DU", "710 Zapalování 2",
                              "720 Píst 1 - VV zavírá", "720 Píst 2 - HU"}));
    }

    void globalCorrectionRecalculatesAtEveryChange() {
        find<QPushButton>("SpeedButton2")->click();
        find<QLineEdit>("Edit1")->setText("-10");
        QCOMPARE(EventTable(find<QTableWidget>("StringGrid1")).first(), QString("170 Píst 1 - DU"));
        QCOMPARE(EventTable(find<QTableWidget>("StringGrid1")).last(), QString("710 Píst 1 - SV otvírá"));
        find<QLineEdit>("Edit1")->setText("0");
        QCOMPARE(EventTable(find<QTableWidget>("StringGrid1")).first(), QString("0 Píst 1 - SV zavírá"));

        // Typing a lone minus on the way to a negative number counts as 0, silently.
        find<QLineEdit>("Edit1")->clear();
        find<QLineEdit>("Edit1")->setFocus();
        TModalBoxCatcher catcher;
        QTest::keyClicks(find<QLineEdit>("Edit1"), "-");
        QCOMPARE(m_window->session().GlobalCorrection, 0.0);
        QTest::keyClicks(find<QLineEdit>("Edit1"), "5");
        QCOMPARE(m_window->session().GlobalCorrection, -5.0);
        QVERIFY(!catcher.caught());

        // The arrow buttons step whole numbers from the typed value.
        find<QLineEdit>("Edit1")->setText("359");
        QTest::keyClick(find<QLineEdit>("Edit1"), Qt::Key_Up);
        QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("360"));
        QTest::keyClick(find<QLineEdit>("Edit1"), Qt::Key_Up);
        QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("360"));
        QCOMPARE(m_window->session().GlobalCorrection, 360.0);
    }

    void correctionsAreAppliedWithKorigovat() {
        find<QPushButton>("SpeedButton2")->click();
        SetCell(find<QTableWidget>("ValueList3"), 0, 1, "10");
        find<QPushButton>("SpeedButton3")->click();
        QCOMPARE(Cell(find<QTableWidget>("StringGrid1"), 6, 0), QString("05"));
        QCOMPARE(Cell(find<QTableWidget>("StringGrid1"), 6, 1), QString("10"));
        QCOMPARE(Cell(find<QTableWidget>("StringGrid1"), 6, 2), QString("Píst 1 - HU"));
        QCOMPARE(Cell(find<QTableWidget>("ValueList3"), 5, 1), QString("10"));

        SetCell(find<QTableWidget>("ValueList3"), 0, 1, "-20");  // the first row now holds the ignition
        find<QPushButton>("SpeedButton3")->click();
        QCOMPARE(EventTable(find<QTableWidget>("StringGrid1")).last(), QString("700 Zapalování 1"));
    }

    void aCellStillBeingEditedIsReadByTheNextCommand() {
        find<QPushButton>("SpeedButton2")->click();
        QTableWidget* list = find<QTableWidget>("ValueList3");
        list->setCurrentCell(0, 1);
        list->editItem(list->item(0, 1));
        auto* editor = list->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor != nullptr);
        editor->selectAll();
        QTest::keyClicks(editor, "10");
        QCOMPARE(editor->cursorPosition(), 2);
        QCOMPARE(Cell(list, 0, 1), QString("10"));   // written at every keystroke
        find<QPushButton>("SpeedButton3")->click();  // the button never takes the focus
        QCOMPARE(Cell(find<QTableWidget>("StringGrid1"), 6, 1), QString("10"));
    }

    void korigovatWithNoEventsEmptiesTheLists() {
        find<QPushButton>("SpeedButton3")->click();
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 0);
        QCOMPARE(find<QTableWidget>("StringGrid1")->rowCount(), 1);
        QCOMPARE(Cell(find<QTableWidget>("StringGrid1"), 0, 0), QString("ID"));
    }

    void speedZeroShowsTheErrorAndKeepsTheLists() {
        find<QPushButton>("SpeedButton2")->click();
        SetCell(find<QTableWidget>("ValueList1"), 2, 1, "0");
        SetCell(find<QTableWidget>("ValueList1"), 0, 1, "2");
        TModalBoxCatcher catcher;
        find<QPushButton>("SpeedButton2")->click();
        QVERIFY(catcher.caught());
        QCOMPARE(catcher.text(), QString("Floating point division by zero."));
        QCOMPARE(catcher.title(), QString("Morvane"));
        QCOMPARE(catcher.icon(), QMessageBox::Critical);
        QCOMPARE(find<QTableWidget>("StringGrid1")->rowCount(), 10);
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 9);
        QCOMPARE(m_window->session().Events.size(), size_t(18));
    }

    void aPointInACellShowsTheParseError() {
        SetCell(find<QTableWidget>("StringGrid2"), 1, 3, "1.5");
        TModalBoxCatcher catcher;
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(catcher.text(), QString("'1.5' is not a valid floating point value."));
        // The window stays usable.
        SetCell(find<QTableWidget>("StringGrid2"), 1, 3, "1,5");
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(catcher.boxes(), 1);
        QCOMPARE(find<QTableWidget>("StringGrid1")->rowCount(), 10);
    }

    void theCursorSliderSetsTheCaption() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        find<QSlider>("TrackBar1")->setValue(360);
        QCOMPARE(find<QLabel>("StaticText1")->text(), QString("Úhel kliky: 360°"));
        // Half way, rounded to nearest with ties to even: 332 for the 663-pixel picture.
        const int x = static_cast<int>(std::nearbyint((m_window->picture().width() - 2) / 2.0 + 1));
        QCOMPARE(m_window->picture().pixel(x, 10), RgbColor(255, 0, 0));
        find<QSlider>("TrackBar1")->setValue(0);
        QCOMPARE(find<QLabel>("StaticText1")->text(), QString("Úhel kliky: 0°"));
    }

    void theKindListHidesMarkers() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        find<QPushButton>("SpeedButton2")->click();
        const TColor blue = ValueToColor(0);
        QVERIFY(PictureHasColor(m_window->picture(), blue));

        QListWidget* list = find<QListWidget>("CheckListBox1");
        list->item(0)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QVERIFY(!PictureHasColor(m_window->picture(), blue));
        QVERIFY(PictureHasColor(m_window->picture(), ValueToColor(1.0)));  // the ignition stays
    }

    void movingTheKindSelectionWithTheKeysRedraws() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        find<QPushButton>("SpeedButton2")->click();
        QListWidget* list = find<QListWidget>("CheckListBox1");
        list->setFocus();
        list->setCurrentRow(1);
        list->item(0)->setCheckState(Qt::Unchecked);  // as the space key would: no redraw yet
        QVERIFY(PictureHasColor(m_window->picture(), ValueToColor(0)));
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(!PictureHasColor(m_window->picture(), ValueToColor(0)));
    }

    void resizingWidensThePictureAndMovesTheSliders() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        QTest::qWait(20);
        const int pictureWidth = m_window->picture().width();
        const int filterLeft = find<QSlider>("TrackBar2")->x();
        const int editLeft = find<QLineEdit>("Edit1")->x();
        m_window->resize(m_window->width() + 100, m_window->height() + 50);
        QTest::qWait(20);
        QCOMPARE(m_window->picture().width(), pictureWidth + 100);
        QCOMPARE(find<TImageView>("Image1")->height(), 300);
        QCOMPARE(find<QSlider>("TrackBar2")->x(), filterLeft + 100);
        QCOMPARE(find<QLineEdit>("Edit1")->x(), editLeft);
        QCOMPARE(find<QListWidget>("CheckListBox1")->width(), 121);

        m_window->resize(300, 200);
        QVERIFY(m_window->width() >= m_window->minimumWidth());
        QVERIFY(m_window->minimumWidth() > 600);
    }

    void importsTheChosenAngleFileAndRedraws() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        QTest::qWait(20);
        const QString path = writeFile("worked.csv", "header\n1;1\n0;2\n1;3\n0;4\n1;5\n");
        find<QSlider>("TrackBar1")->setValue(360);  // the cursor leaves column 1, where the new trace rises
        const TRaster before = m_window->picture();

        QString initialName = "unset";
        QStringList filters;
        QString infoText;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                initialName = dialog->selectedFiles().value(0);
                filters = dialog->nameFilters();
                chooseFile(dialog, path);
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                infoText = box->text();
                box->accept();
            }
        });
        find<QAction>("ImportSig1")->trigger();

        QCOMPARE(filters, QStringList{"CSV tables (*.csv)"});
        QCOMPARE(infoText, QString("Řádky / Vrcholy: 6 / 2"));
        QCOMPARE(m_window->session().Signal[0], 0.2);
        QCOMPARE(m_window->session().Signal[1], 1.0);
        QCOMPARE(QString::fromStdString(m_window->session().LastImportFile), path);
        bool changed = false;
        for (int x = 0; x < before.width() && !changed; ++x) {
            for (int y = 0; y < before.height() && !changed; ++y) {
                changed = before.pixel(x, y) != m_window->picture().pixel(x, y);
            }
        }
        QVERIFY2(changed, "the picture was not redrawn with the signal");
    }

    void cancellingTheDialogChangesNothing() {
        m_window->session().Signal[7] = 0.5;
        m_window->session().LastImportFile = "/somewhere/old.csv";
        TModalBoxCatcher catcher([](QWidget* modal) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        find<QAction>("ImportSig2")->trigger();
        QCOMPARE(catcher.boxes(), 1);
        QCOMPARE(m_window->session().Signal[7], 0.5);
        QCOMPARE(m_window->session().LastImportFile, std::string("/somewhere/old.csv"));
    }

    void aFailingFileShowsTheErrorAndIsOfferedAgain() {
        const QString path = writeFile("title.csv", "Pressure\n1,5\n");
        m_window->session().Signal[3] = -0.25;
        QString errorText;
        QString offeredName;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                offeredName = dialog->selectedFiles().value(0);
                chooseFile(dialog, path);
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                errorText = box->text();
                box->accept();
            }
        });
        find<QAction>("ImportSig2")->trigger();
        QCOMPARE(errorText, QString("'Pressure' is not a valid floating point value."));
        QCOMPARE(m_window->session().Signal[3],
                 -0.25);  // the time import leaves the old signal on a bad line
        QCOMPARE(QString::fromStdString(m_window->session().LastImportFile), path);

        find<QAction>("ImportSig2")->trigger();
        QCOMPARE(offeredName, path);
    }

    // ---- layout ----

    void theLayoutIsAsMeasured_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("Editace page") << 0 << "TabSheet1" << QRect(0, 0, 663, 558);
        QTest::newRow("ValueList1") << 0 << "ValueList1" << QRect(8, 32, 185, 113);
        QTest::newRow("StringGrid2") << 0 << "StringGrid2" << QRect(200, 32, 459, 251);
        QTest::newRow("Korekce page") << 1 << "TabSheet3" << QRect(0, 0, 663, 558);
        QTest::newRow("ValueList3") << 1 << "ValueList3" << QRect(0, 0, 441, 558);
        QTest::newRow("SpeedButton3") << 1 << "SpeedButton3" << QRect(464, 192, 185, 57);
        QTest::newRow("Časová osa page") << 2 << "TabSheet2" << QRect(0, 0, 663, 558);
        QTest::newRow("StringGrid1") << 2 << "StringGrid1" << QRect(0, 401, 542, 157);
        QTest::newRow("CheckListBox1") << 2 << "CheckListBox1" << QRect(542, 401, 121, 157);
        QTest::newRow("TrackBar2") << 2 << "TrackBar2" << QRect(376, 372, 113, 22);
        QTest::newRow("TrackBar3") << 2 << "TrackBar3" << QRect(544, 372, 113, 22);
    }
    void theLayoutIsAsMeasured() {
        QFETCH(int, page);
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        find<QTabWidget>("PageControl1")->setCurrentIndex(page);
        QTest::qWait(10);
        QCOMPARE(find<QWidget>(qPrintable(name))->geometry(), geometry);
    }

    void theFilterAndGainThumbsAre18Long() {
        for (const char* name : {"TrackBar2", "TrackBar3"}) {
            auto* slider = find<QSlider>(name);
            QStyleOptionSlider option;
            option.initFrom(slider);
            option.orientation = Qt::Horizontal;
            option.minimum = slider->minimum();
            option.maximum = slider->maximum();
            const QRect thumb =
                slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
            QCOMPARE(thumb.width(), 18);
        }
    }

    void theEventTableHeaderStaysWhileRowsScroll() {
        auto* table = find<QTableWidget>("StringGrid1");
        QCOMPARE(table->model()->headerData(0, Qt::Horizontal).toString(), QString());  // empty until filled
        runTwelveCylinders();
        find<QTabWidget>("PageControl1")->setCurrentIndex(2);
        QTest::qWait(10);
        QWheelEvent wheel(QPointF(50, 50), table->viewport()->mapToGlobal(QPointF(50, 50)), {}, {0, -360},
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(table->viewport(), &wheel);
        QVERIFY(table->verticalScrollBar()->value() > 0);
        QVERIFY(table->horizontalHeader()->isVisible());
        QCOMPARE(table->horizontalHeader()->height(), 18);
        QCOMPARE(table->horizontalHeader()->geometry().top(), table->frameWidth());  // above the rows
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QString("Úhel"));
        QCOMPARE(Cell(table, 0, 2), QString("Popis"));  // still row 0 for the core
    }

    void columnsFitWithoutAHorizontalScrollBar() {
        runTwelveCylinders();
        for (int page : {1, 2}) {
            find<QTabWidget>("PageControl1")->setCurrentIndex(page);
            QTest::qWait(10);
            auto* table = find<QTableWidget>(page == 1 ? "ValueList3" : "StringGrid1");
            QVERIFY(table->verticalScrollBar()->isVisible());
            QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
            // Clicking a value never scrolls the keys sideways.
            const QRect valueCell = table->visualRect(table->model()->index(3, 1));
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, valueCell.center());
            QCOMPARE(table->horizontalScrollBar()->value(), 0);
            QCOMPARE(table->columnViewportPosition(0), 0);
        }
        QCOMPARE(find<QTableWidget>("StringGrid1")->columnWidth(0), 64);
        QCOMPARE(find<QTableWidget>("ValueList3")->columnWidth(0), 306);
    }

    void theWindowHasTheInstalledIcon() { QVERIFY(!m_window->windowIcon().pixmap(32, 32).isNull()); }

    void theOpenDialogIsBuiltWhenFirstNeeded() {
        QVERIFY(m_window->findChild<QFileDialog*>("OpenDialog1") == nullptr);
    }

    // ---- keyboard ----

    void tabLeavesEveryListAndGridBothWays() {
        focusCell("ValueList1", 0, 1);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), focusOwner("StringGrid2"));
        QCOMPARE(find<QTableWidget>("StringGrid2")->currentRow(), 1);
        press(Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("ValueList2"));
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        press(Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(isIn("ValueList1"));
        // Enter in the last value goes on too.
        focusCell("ValueList1", 2, 1);
        press(Qt::Key_Return);
        QVERIFY(isIn("StringGrid2"));

        find<QTabWidget>("PageControl1")->setCurrentIndex(1);
        focusCell("ValueList3", 0, 1);
        press(Qt::Key_Tab);
        QVERIFY(!isIn("ValueList3"));
    }

    void pagesSwitchWithCtrlPageKeysAndCtrlTab() {
        auto* pages = find<QTabWidget>("PageControl1");
        focusCell("ValueList1", 0, 1);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 1);
        QVERIFY(isIn("ValueList3"));
        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 2);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 4);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 0);
        press(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(pages->currentIndex(), 4);
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(pages->currentIndex(), 3);
    }

    void arrowsAndEnterFinishTheCellAndMove() {
        auto* grid = find<QTableWidget>("StringGrid2");
        focusCell("StringGrid2", 1, 2);
        type("345");
        press(Qt::Key_Right);
        type("710");
        QCOMPARE(Cell(grid, 1, 2), QString("345"));
        QCOMPARE(Cell(grid, 1, 3), QString("710"));
        press(Qt::Key_Left);  // inside the text: the cursor moves
        press(Qt::Key_Home);
        press(Qt::Key_Left);  // at the start: the cell before
        QCOMPARE(grid->currentColumn(), 2);
        press(Qt::Key_Down);
        type("1");
        press(Qt::Key_Return);
        QCOMPARE(Cell(grid, 2, 2), QString("1"));
        QCOMPARE(grid->currentRow(), 3);
        press(Qt::Key_Up);
        press(Qt::Key_Up);
        press(Qt::Key_Up);
        press(Qt::Key_Up);  // the header row is never entered
        QCOMPARE(grid->currentRow(), 1);
        press(Qt::Key_Left);
        QCOMPARE(grid->currentColumn(), 1);
        press(Qt::Key_Left);  // nor the row-number column
        QCOMPARE(grid->currentColumn(), 1);
    }

    void everyCommandHasAKey_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("tip");
        QTest::newRow("Vyplnit podle prvního") << "SpeedButton1"
                                               << "Vyplnit podle prvního (F6)";
        QTest::newRow("Vytvořit události") << "SpeedButton2"
                                           << "Vytvořit události (F5)";
        QTest::newRow("Korigovat") << "SpeedButton3"
                                   << "Korigovat (F7)";
    }
    void everyCommandHasAKey() {
        QFETCH(QString, button);
        QFETCH(QString, tip);
        QCOMPARE(find<QPushButton>(qPrintable(button))->toolTip(), tip);
        QCOMPARE(find<QPushButton>(qPrintable(button))->text(), tip.left(tip.indexOf(" (")));
        QCOMPARE(find<QAction>("ImportSig1")->shortcut(), QKeySequence("Ctrl+I"));
        QCOMPARE(find<QAction>("ImportSig2")->shortcut(), QKeySequence("Ctrl+Shift+I"));
        QCOMPARE(find<QAction>("ImportSig1")->text(), QString("Import signal (ANGLE)..."));
    }

    void f10AndAloneAltOpenTheFileMenu() {
        auto* menu = find<QMenu>("File1");
        focusCell("ValueList1", 0, 1);
        press(Qt::Key_F10);
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY(!menu->isVisible());
        press(Qt::Key_Escape);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyPress(focus, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(focus, Qt::Key_Alt);
        QTRY_VERIFY(menu->isVisible());
        QTest::keyClick(menu, Qt::Key_Escape);
    }

    // ---- spreadsheet exchange ----

    void copySendsTheSelectedRectangleAsTabbedLines() {
        find<QPushButton>("SpeedButton2")->click();
        auto* table = find<QTableWidget>("StringGrid1");
        find<QTabWidget>("PageControl1")->setCurrentIndex(2);
        QTest::qWait(10);
        table->setFocus();
        table->setRangeSelected(QTableWidgetSelectionRange(7, 0, 9, 2), true);
        press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString("06\t180\tPíst 1 - DU\n07\t360\tPíst 1 - HU\n08\t540\tPíst 1 - DU\n"));

        // From a cell being edited: the cell, not a piece of its text.
        focusCell("ValueList1", 2, 1);
        press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("1000\n"));
    }

    void pasteWritesABlockAsIfTyped_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("block");
        QTest::addColumn<QStringList>("cells");  // "row,column=text"
        QTest::newRow("cylinder table, points unchanged")
            << "StringGrid2" << 1 << 5 << "1.5\t2\t99\r\n3\t4\t99\r\n"
            << QStringList{"1,5=1.5", "1,6=2", "2,5=3", "2,6=4", "1,4=0"};
        QTest::newRow("cylinder table, from the row number past the last row")
            << "StringGrid2" << 12 << 0 << "x\t7\ny\t8\n"
            << QStringList{"12,0=12", "12,1=7"};
        QTest::newRow("cylinder table, from the header row") << "StringGrid2" << 0 << 1 << "a\n5\n"
                                                             << QStringList{"0,1=Přesazení", "1,1=5"};
        QTest::newRow("main parameters, keys kept")
            << "ValueList1" << 0 << 1 << "2\tx\n4\n7000\n9\n"
            << QStringList{"0,1=2", "1,1=4", "2,1=7000", "0,0=Počet válců [1]"};
    }
    void pasteWritesABlockAsIfTyped() {
        QFETCH(QString, list);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, block);
        QFETCH(QStringList, cells);
        QGuiApplication::clipboard()->setText(block);
        focusCell(qPrintable(list), row, column);
        press(Qt::Key_V, Qt::ControlModifier);
        auto* table = find<QTableWidget>(qPrintable(list));
        for (const QString& expected : cells) {
            const QStringList parts = expected.split(u'=');
            const QStringList at = parts[0].split(u',');
            QCOMPARE(Cell(table, at[0].toInt(), at[1].toInt()), parts[1]);
        }
        QVERIFY(m_window->session().Events.empty());  // no command ran
    }

    void aPastedPointIsReportedByTheNextCommand() {
        find<QPushButton>("SpeedButton2")->click();
        QGuiApplication::clipboard()->setText("1.5\n");
        find<QTabWidget>("PageControl1")->setCurrentIndex(1);
        focusCell("ValueList3", 0, 1);
        press(Qt::Key_V, Qt::ControlModifier);
        TModalBoxCatcher catcher;
        press(Qt::Key_F7);
        QCOMPARE(catcher.text(), QString("'1.5' is not a valid floating point value."));
    }

    // ---- bounded texts ----

    // A cell or field takes at most 1000 characters; a longer text, pasted as
    // a piece or in a block, is refused whole with one message, never cut.
    void aTooLongTextIsRefusedWhole_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("control");  // a list (its first value) or a field
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("taken");
        const QString limit(1000, u'7');
        const QString over(1001, u'7');
        const QString huge(10'000'000, u'7');
        QTest::newRow("cell, 1000") << 0 << "ValueList1" << limit << true;
        QTest::newRow("cell, 1001") << 0 << "ValueList1" << over << false;
        QTest::newRow("cell, 10 MB") << 0 << "ValueList1" << huge << false;
        QTest::newRow("cell, 10 MB as a block") << 0 << "ValueList1" << huge + "\n" << false;
        QTest::newRow("block, its second cell too long") << 0 << "ValueList1"
                                                         << "5\n" + over + "\n"
                                                         << false;
        QTest::newRow("field, 1001") << 2 << "Edit1" << over << false;
        QTest::newRow("field, 10 MB") << 2 << "Edit1" << huge << false;
        QTest::newRow("firing order, 100 kB")
            << 3 << "FiringOrderEdit" << QString("1-2").repeated(34'000) << false;
        QTest::newRow("combustion field, 1001") << 4 << "RodEdit" << over << false;
    }
    void aTooLongTextIsRefusedWhole() {
        QFETCH(int, page);
        QFETCH(QString, control);
        QFETCH(QString, clipboard);
        QFETCH(bool, taken);
        find<QTabWidget>("PageControl1")->setCurrentIndex(page);
        auto* field = m_window->findChild<QLineEdit*>(control);
        const auto text = [&] {
            return field != nullptr ? field->text() : Cell(find<QTableWidget>("ValueList1"), 0, 1);
        };
        const QString before = text();
        if (field != nullptr) {
            field->setFocus();
            field->selectAll();
        } else {
            focusCell(qPrintable(control), 0, 1);
        }
        QGuiApplication::clipboard()->setText(clipboard);
        const long peakBefore = PeakMemoryKiB();
        TModalBoxCatcher catcher;
        press(Qt::Key_V, Qt::ControlModifier);
        QTest::qWait(50);
        QCOMPARE(text().size(), taken ? clipboard.size() : before.size());
        QCOMPARE(text(), taken ? clipboard : before);
        QCOMPARE(catcher.boxes(), taken ? 0 : 1);
        if (!taken) {
            QCOMPARE(catcher.text(),
                     QString("Buňka nebo pole pojme nejvýše 1000 znaků, delší text nebyl zapsán."));
        }
        // The clipboard's text is held a few times over, never laid out.
        QVERIFY2(PeakMemoryKiB() - peakBefore < 150 * 1024,
                 qPrintable(QString::number(PeakMemoryKiB() - peakBefore) + " KiB more"));
    }

    // ---- a whole session without a mouse ----

    void aFourCylinderSessionWithTheKeyboardOnly() {
        const QString path = writeFile("session.csv", "header\n1;1\n0;2\n1;3\n0;4\n1;5\n");
        QVERIFY(isIn("ValueList1"));  // where a keyboard user starts
        type("4");
        press(Qt::Key_Tab);
        for (const char* text : {"0", "350", "0", "180", "540", "720"}) {
            type(text);
            press(Qt::Key_Right);
        }
        press(Qt::Key_Down);
        for (int k = 0; k < 5; ++k) {
            press(Qt::Key_Left);
        }
        for (const char* offset : {"180", "360", "540"}) {
            type(offset);
            press(Qt::Key_Return);
        }
        press(Qt::Key_F6);  // Vyplnit podle prvního
        QCOMPARE(Cell(find<QTableWidget>("StringGrid2"), 4, 2), QString("350"));
        press(Qt::Key_F5);  // Vytvořit události
        QCOMPARE(m_window->session().Events.size(), size_t(36));

        press(Qt::Key_PageDown, Qt::ControlModifier);
        QVERIFY(isIn("ValueList3"));
        type("10");
        press(Qt::Key_F7);  // Korigovat
        QCOMPARE(std::count_if(m_window->session().Events.begin(), m_window->session().Events.end(),
                               [](const TEngineEvent& e) { return e.Correction == 10; }),
                 1);
        type("5");  // the list was rebuilt under the focus: typing goes into the first value
        QCOMPARE(Cell(find<QTableWidget>("ValueList3"), 0, 1), QString("5"));

        QString info;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (qobject_cast<QFileDialog*>(modal) != nullptr) {
                QTest::keyClicks(QApplication::focusWidget(), path);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                info = box->text();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        press(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(info, QString("Řádky / Vrcholy: 6 / 2"));
        QCOMPARE(QString::fromStdString(m_window->session().LastImportFile), path);
    }

    void theReadoutFollowsTheCursorAndHelpNamesTheLicence() {
        find<QPushButton>("SpeedButton2")->click();
        find<QTabWidget>("PageControl1")->setCurrentIndex(2);
        find<QSlider>("TrackBar1")->setValue(360);
        QCOMPARE(find<QLabel>("TimelineReadout")->text(),
                 QString("Úhel: 360° | Signál: 0 | Události: 07 Píst 1 - HU"));
        QCOMPARE(find<QWidget>("StringGrid1")->geometry(), QRect(0, 401, 542, 157));

        TModalBoxCatcher catcher;
        find<QAction>("AboutAction")->trigger();
        QVERIFY2(catcher.text().contains("GPL-3.0-or-later"), qPrintable(catcher.text()));
        find<QAction>("KeysAction")->trigger();
        // Keys and deeds in a table's aligned columns, named as the menus name them.
        for (const char* line :
             {"<b>F5</b></td><td>Vytvořit události", "<b>Ctrl+E</b></td><td>Import signal (ENCODER)..."}) {
            QVERIFY2(catcher.text().contains(line), qPrintable(catcher.text()));
        }
    }

    // Each asks for its file; a cancelled dialog changes nothing.
    void openAndSaveAskForAFileAndACancelChangesNothing() {
        TModalBoxCatcher catcher([](QWidget* modal) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        find<QAction>("Open1")->trigger();
        find<QAction>("Save1")->trigger();
        QCOMPARE(catcher.boxes(), 2);
        QVERIFY(m_window->findChild<QFileDialog*>("SaveDialog1") != nullptr);
        QCOMPARE(m_window->windowTitle(), QString("Morvane"));
        QVERIFY(m_window->setupPath().empty());
    }

private:
    // Keys go where the keyboard focus is, as a user's do.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static void type(const QString& text) {
        for (const QChar c : text) {
            QTest::keyClicks(QApplication::focusWidget(), QString(c));
        }
    }

    // Whether the focus is in the control or in one of its cell editors.
    bool isIn(const char* name) const {
        const QWidget* control = find<QWidget>(name);
        const QWidget* focus = QApplication::focusWidget();
        return focus != nullptr && (focus == control || control->isAncestorOf(focus));
    }
    QString focusOwner(const char* name) const {
        return isIn(name) ? QApplication::focusWidget()->objectName() : QString("not ") + name;
    }

    // A mouse click on a cell, as a user starts editing it.
    void focusCell(const char* name, int row, int column) {
        auto* table = find<QTableWidget>(name);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualRect(table->model()->index(row, column)).center());
        QVERIFY(isIn(name));
        QCOMPARE(table->currentRow(), row);
    }

    // Twelve cylinders: 108 events, more than the lists show at once.
    void runTwelveCylinders() {
        SetCell(find<QTableWidget>("ValueList1"), 0, 1, "12");
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 108);
    }
};

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<MainWindowTest>(argc, argv);
}

#include "mainwindow_test.moc"
