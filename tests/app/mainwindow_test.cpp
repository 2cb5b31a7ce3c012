// Drives the real main window through its controls.

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

#include "ModalBoxCatcher.h"
#include "app/AppLook.h"
#include "app/ImageView.h"
#include "app/uMain.h"
#include "events/EngineEvent.h"
#include "events/Lifecycle.h"
#include "signal/Signal.h"
#include "timeline/Raster.h"
#include "util/mathutil.h"

using namespace morvane;

namespace {

QString cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item == nullptr ? QString() : item->text();
}

void setCell(QTableWidget* table, int row, int column, const QString& text) {
    table->item(row, column)->setText(text);
}

// The event table below its header as "angle name" lines.
QStringList eventTable(const QTableWidget* grid) {
    QStringList rows;
    for (int row = 1; row < grid->rowCount(); ++row) {
        rows << cell(grid, row, 1) + " " + cell(grid, row, 2);
    }
    return rows;
}

bool columnHasColor(const TRaster& picture, int x, TColor color) {
    for (int y = 0; y < picture.height(); ++y) {
        if (picture.pixel(x, y) == color) {
            return true;
        }
    }
    return false;
}

bool pictureHasColor(const TRaster& picture, TColor color) {
    for (int x = 0; x < picture.width(); ++x) {
        if (columnHasColor(picture, x, color)) {
            return true;
        }
    }
    return false;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        ResetMainModuleState();
        window = std::make_unique<TFMain>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() {
        window.reset();
        ResetMainModuleState();
    }

    void startsWithTheDefaultsOnEveryPage() {
        QCOMPARE(window->windowTitle(), QString("Morvane"));
        QCOMPARE(find<QTabWidget>("PageControl1")->count(), 3);
        QCOMPARE(find<QTabWidget>("PageControl1")->tabText(0), QString("Editace"));
        QCOMPARE(find<QTabWidget>("PageControl1")->tabText(1), QString("Korekce"));
        QCOMPARE(find<QTabWidget>("PageControl1")->tabText(2), QString("Časová osa"));
        QCOMPARE(find<QTabWidget>("PageControl1")->currentWidget(), find<QWidget>("TabSheet1"));

        const QStringList headers{"Válec č.",  "Přesazení", "Zapalování", "SV otvírá",
                                  "SV zavírá", "VV otvírá", "VV zavírá"};
        QCOMPARE(find<QTableWidget>("StringGrid2")->rowCount(), 13);
        for (int column = 0; column < 7; ++column) {
            QCOMPARE(cell(find<QTableWidget>("StringGrid2"), 0, column), headers[column]);
        }
        for (int row = 1; row <= 12; ++row) {
            QCOMPARE(cell(find<QTableWidget>("StringGrid2"), row, 0), QString::number(row));
            for (int column = 1; column < 7; ++column) {
                QCOMPARE(cell(find<QTableWidget>("StringGrid2"), row, column), QString("0"));
            }
        }
        QCOMPARE(cell(find<QTableWidget>("ValueList1"), 0, 0), QString("Počet válců [1]"));
        QCOMPARE(cell(find<QTableWidget>("ValueList1"), 0, 1), QString("1"));
        QCOMPARE(cell(find<QTableWidget>("ValueList1"), 1, 1), QString("4"));
        QCOMPARE(cell(find<QTableWidget>("ValueList1"), 2, 0), QString("Otáčky motoru [RPM]"));
        QCOMPARE(cell(find<QTableWidget>("ValueList1"), 2, 1), QString("1000"));
        QCOMPARE(cell(find<QTableWidget>("ValueList2"), 0, 0), QString("Doba cyklu [ms]"));
        QCOMPARE(cell(find<QTableWidget>("ValueList2"), 0, 1), QString("0"));
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 1);
        QCOMPARE(find<QTableWidget>("ValueList3")->horizontalHeaderItem(0)->text(), QString("Událsot"));
        QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("0"));
        QCOMPARE(find<QLabel>("StaticText1")->text(), QString("Shaft angle: 0°"));
        QCOMPARE(find<QListWidget>("CheckListBox1")->count(), 4);
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(find<QListWidget>("CheckListBox1")->item(k)->text(),
                     QString::fromUtf8(EventKindTexts[k]));
            QCOMPARE(find<QListWidget>("CheckListBox1")->item(k)->checkState(), Qt::Checked);
        }
        QCOMPARE(find<QSlider>("TrackBar1")->maximum(), 720);
        QCOMPARE(find<QSlider>("TrackBar2")->maximum(), 96);
        QCOMPARE(find<QSlider>("TrackBar3")->minimum(), 10);
        QCOMPARE(find<QSlider>("TrackBar3")->value(), 10);
        QVERIFY(Events.empty());
        // Keys and the computed list cannot be edited.
        QVERIFY(!(find<QTableWidget>("ValueList1")->item(0, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(find<QTableWidget>("ValueList1")->item(0, 1)->flags() & Qt::ItemIsEditable);
        QVERIFY(!(find<QTableWidget>("ValueList2")->item(0, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(!(find<QTableWidget>("StringGrid2")->item(3, 0)->flags() & Qt::ItemIsEditable));
    }

    void theFirstShownPictureIsDrawn() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        QTest::qWait(20);
        const TRaster& picture = window->picture();
        QCOMPARE(picture.width(), find<TImageView>("Image1")->width());
        QCOMPARE(picture.height(), 300);
        QCOMPARE(picture.pixel(0, 0), RgbColor(0, 0, 0));          // frame
        QCOMPARE(picture.pixel(1, 10), RgbColor(255, 0, 0));       // cursor on column 1
        QCOMPARE(picture.pixel(5, 150), RgbColor(128, 128, 128));  // axis over the flat trace
    }

    void createsTheDefaultEvents() {
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(cell(find<QTableWidget>("ValueList2"), 0, 1), QString("120"));
        QCOMPARE(eventTable(find<QTableWidget>("StringGrid1")),
                 QStringList({"0 Píst 1 - HU", "0 Zapalování 1", "0 Píst 1 - SV otvírá",
                              "0 Píst 1 - SV zavírá", "0 Píst 1 - VV otvírá", "0 Píst 1 - VV zavírá",
                              "180 Píst 1 - DU", "360 Píst 1 - HU", "540 Píst 1 - DU"}));
        QCOMPARE(cell(find<QTableWidget>("StringGrid1"), 0, 1), QString("Úhel"));
        QCOMPARE(cell(find<QTableWidget>("StringGrid1"), 9, 0), QString("08"));
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 9);
        QCOMPARE(cell(find<QTableWidget>("ValueList3"), 6, 0), QString("Píst 1 - DU"));
        QCOMPARE(cell(find<QTableWidget>("ValueList3"), 6, 1), QString("0"));
    }

    void createsTheTwoCylinderEvents() {
        setCell(find<QTableWidget>("ValueList1"), 0, 1, "2");
        const QStringList timing{"350", "0", "180", "540", "720"};
        setCell(find<QTableWidget>("StringGrid2"), 1, 1, "0");
        for (int column = 2; column < 7; ++column) {
            setCell(find<QTableWidget>("StringGrid2"), 1, column, timing[column - 2]);
        }
        setCell(find<QTableWidget>("StringGrid2"), 2, 1, "360");
        find<QPushButton>("SpeedButton1")->click();  // fills row 2's timing from row 1
        QCOMPARE(cell(find<QTableWidget>("StringGrid2"), 2, 2), QString("350"));
        QCOMPARE(cell(find<QTableWidget>("StringGrid2"), 2, 1), QString("360"));
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(eventTable(find<QTableWidget>("StringGrid1")),
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
        QCOMPARE(eventTable(find<QTableWidget>("StringGrid1")).first(), QString("170 Píst 1 - DU"));
        QCOMPARE(eventTable(find<QTableWidget>("StringGrid1")).last(), QString("710 Píst 1 - SV otvírá"));
        find<QLineEdit>("Edit1")->setText("0");
        QCOMPARE(eventTable(find<QTableWidget>("StringGrid1")).first(), QString("0 Píst 1 - SV zavírá"));

        // Typing a lone minus on the way to a negative number counts as 0, silently.
        find<QLineEdit>("Edit1")->clear();
        find<QLineEdit>("Edit1")->setFocus();
        ModalBoxCatcher catcher;
        QTest::keyClicks(find<QLineEdit>("Edit1"), "-");
        QCOMPARE(GlobalCorrection, 0.0);
        QTest::keyClicks(find<QLineEdit>("Edit1"), "5");
        QCOMPARE(GlobalCorrection, -5.0);
        QVERIFY(!catcher.caught());

        // The arrow buttons step whole numbers from the typed value.
        find<QLineEdit>("Edit1")->setText("359");
        QTest::keyClick(find<QLineEdit>("Edit1"), Qt::Key_Up);
        QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("360"));
        QTest::keyClick(find<QLineEdit>("Edit1"), Qt::Key_Up);
        QCOMPARE(find<QLineEdit>("Edit1")->text(), QString("360"));
        QCOMPARE(GlobalCorrection, 360.0);
    }

    void correctionsAreAppliedWithKorigovat() {
        find<QPushButton>("SpeedButton2")->click();
        setCell(find<QTableWidget>("ValueList3"), 0, 1, "10");
        find<QPushButton>("SpeedButton3")->click();
        QCOMPARE(cell(find<QTableWidget>("StringGrid1"), 6, 0), QString("05"));
        QCOMPARE(cell(find<QTableWidget>("StringGrid1"), 6, 1), QString("10"));
        QCOMPARE(cell(find<QTableWidget>("StringGrid1"), 6, 2), QString("Píst 1 - HU"));
        QCOMPARE(cell(find<QTableWidget>("ValueList3"), 5, 1), QString("10"));

        setCell(find<QTableWidget>("ValueList3"), 0, 1, "-20");  // the first row now holds the ignition
        find<QPushButton>("SpeedButton3")->click();
        QCOMPARE(eventTable(find<QTableWidget>("StringGrid1")).last(), QString("700 Zapalování 1"));
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
        QCOMPARE(cell(list, 0, 1), QString("10"));   // written at every keystroke
        find<QPushButton>("SpeedButton3")->click();  // the button never takes the focus
        QCOMPARE(cell(find<QTableWidget>("StringGrid1"), 6, 1), QString("10"));
    }

    void korigovatWithNoEventsEmptiesTheLists() {
        find<QPushButton>("SpeedButton3")->click();
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 0);
        QCOMPARE(find<QTableWidget>("StringGrid1")->rowCount(), 1);
        QCOMPARE(cell(find<QTableWidget>("StringGrid1"), 0, 0), QString("ID"));
    }

    void speedZeroShowsTheErrorAndKeepsTheLists() {
        find<QPushButton>("SpeedButton2")->click();
        setCell(find<QTableWidget>("ValueList1"), 2, 1, "0");
        setCell(find<QTableWidget>("ValueList1"), 0, 1, "2");
        ModalBoxCatcher catcher;
        find<QPushButton>("SpeedButton2")->click();
        QVERIFY(catcher.caught());
        QCOMPARE(catcher.text(), QString("Floating point division by zero."));
        QCOMPARE(catcher.title(), QString("Morvane"));
        QCOMPARE(catcher.icon(), QMessageBox::Critical);
        QCOMPARE(find<QTableWidget>("StringGrid1")->rowCount(), 10);
        QCOMPARE(find<QTableWidget>("ValueList3")->rowCount(), 9);
        QCOMPARE(Events.size(), size_t(18));
    }

    void aPointInACellShowsTheParseError() {
        setCell(find<QTableWidget>("StringGrid2"), 1, 3, "1.5");
        ModalBoxCatcher catcher;
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(catcher.text(), QString("'1.5' is not a valid floating point value."));
        // The window stays usable.
        setCell(find<QTableWidget>("StringGrid2"), 1, 3, "1,5");
        find<QPushButton>("SpeedButton2")->click();
        QCOMPARE(catcher.boxes(), 1);
        QCOMPARE(find<QTableWidget>("StringGrid1")->rowCount(), 10);
    }

    void theCursorSliderSetsTheCaption() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        find<QSlider>("TrackBar1")->setValue(360);
        QCOMPARE(find<QLabel>("StaticText1")->text(), QString("Úhel kliky: 360°"));
        // Half way, rounded to nearest with ties to even: 332 for the 663-pixel picture.
        const int x = static_cast<int>(std::nearbyint((window->picture().width() - 2) / 2.0 + 1));
        QCOMPARE(window->picture().pixel(x, 10), RgbColor(255, 0, 0));
        find<QSlider>("TrackBar1")->setValue(0);
        QCOMPARE(find<QLabel>("StaticText1")->text(), QString("Úhel kliky: 0°"));
    }

    void theKindListHidesMarkers() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        find<QPushButton>("SpeedButton2")->click();
        const TColor blue = ValueToColor(0);
        QVERIFY(pictureHasColor(window->picture(), blue));

        QListWidget* list = find<QListWidget>("CheckListBox1");
        list->item(0)->setCheckState(Qt::Unchecked);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QVERIFY(!pictureHasColor(window->picture(), blue));
        QVERIFY(pictureHasColor(window->picture(), ValueToColor(1.0)));  // the ignition stays
    }

    void movingTheKindSelectionWithTheKeysRedraws() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        find<QPushButton>("SpeedButton2")->click();
        QListWidget* list = find<QListWidget>("CheckListBox1");
        list->setFocus();
        list->setCurrentRow(1);
        list->item(0)->setCheckState(Qt::Unchecked);  // as the space key would: no redraw yet
        QVERIFY(pictureHasColor(window->picture(), ValueToColor(0)));
        QTest::keyClick(list, Qt::Key_Down);
        QVERIFY(!pictureHasColor(window->picture(), ValueToColor(0)));
    }

    void resizingWidensThePictureAndMovesTheSliders() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        QTest::qWait(20);
        const int pictureWidth = window->picture().width();
        const int filterLeft = find<QSlider>("TrackBar2")->x();
        const int editLeft = find<QLineEdit>("Edit1")->x();
        window->resize(window->width() + 100, window->height() + 50);
        QTest::qWait(20);
        QCOMPARE(window->picture().width(), pictureWidth + 100);
        QCOMPARE(find<TImageView>("Image1")->height(), 300);
        QCOMPARE(find<QSlider>("TrackBar2")->x(), filterLeft + 100);
        QCOMPARE(find<QLineEdit>("Edit1")->x(), editLeft);
        QCOMPARE(find<QListWidget>("CheckListBox1")->width(), 121);

        window->resize(300, 200);
        QVERIFY(window->width() >= window->minimumWidth());
        QVERIFY(window->minimumWidth() > 600);
    }

    void importsTheChosenAngleFileAndRedraws() {
        find<QTabWidget>("PageControl1")->setCurrentWidget(find<QWidget>("TabSheet2"));
        QTest::qWait(20);
        const QString path = writeFile("worked.csv", "header\n1;1\n0;2\n1;3\n0;4\n1;5\n");
        find<QSlider>("TrackBar1")->setValue(360);  // the cursor leaves column 1, where the new trace rises
        const TRaster before = window->picture();

        QString initialName = "unset";
        QStringList filters;
        QString infoText;
        ModalBoxCatcher catcher([&](QWidget* modal) {
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
        QCOMPARE(Signal[0], 0.2);
        QCOMPARE(Signal[1], 1.0);
        QCOMPARE(QString::fromStdString(LastImportFile), path);
        bool changed = false;
        for (int x = 0; x < before.width() && !changed; ++x) {
            for (int y = 0; y < before.height() && !changed; ++y) {
                changed = before.pixel(x, y) != window->picture().pixel(x, y);
            }
        }
        QVERIFY2(changed, "the picture was not redrawn with the signal");
    }

    void cancellingTheDialogChangesNothing() {
        Signal[7] = 0.5;
        LastImportFile = "/somewhere/old.csv";
        ModalBoxCatcher catcher([](QWidget* modal) {
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            }
        });
        find<QAction>("ImportSig2")->trigger();
        QCOMPARE(catcher.boxes(), 1);
        QCOMPARE(Signal[7], 0.5);
        QCOMPARE(LastImportFile, std::string("/somewhere/old.csv"));
    }

    void aFailingFileShowsTheErrorAndIsOfferedAgain() {
        const QString path = writeFile("title.csv", "Pressure\n1,5\n");
        Signal[3] = -0.25;
        QString errorText;
        QString offeredName;
        ModalBoxCatcher catcher([&](QWidget* modal) {
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
        QCOMPARE(Signal[3], -0.25);  // the time import leaves the old signal on a bad line
        QCOMPARE(QString::fromStdString(LastImportFile), path);

        find<QAction>("ImportSig2")->trigger();
        QCOMPARE(offeredName, path);
    }

    void openAndSaveDoNothing() {
        ModalBoxCatcher catcher;
        find<QAction>("Open1")->trigger();
        find<QAction>("Save1")->trigger();
        QTest::qWait(20);
        QVERIFY(!catcher.caught());
    }

private:
    // A control by its objectName.
    template <class T>
    T* find(const char* name) const {
        T* control = window->findChild<T*>(QString::fromLatin1(name));
        if (control == nullptr) {
            qFatal("the window has no control %s", name);
        }
        return control;
    }

    // Types the path into the dialog's file-name box, as a user would, and confirms.
    static void chooseFile(QFileDialog* dialog, const QString& path) {
        auto* nameEdit = dialog->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(nameEdit != nullptr);
        nameEdit->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    }

    QString writeFile(const QString& name, const QByteArray& contents) {
        const QString path = files.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            qFatal("cannot write %s", qPrintable(path));
        }
        file.write(contents);
        return path;
    }

    QTemporaryDir files;
    std::unique_ptr<TFMain> window;
};

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    StartupModules();
    QApplication application(argc, argv);
    application.setApplicationName("Morvane");
    SetUpApplicationLook();
    MainWindowTest test;
    const int result = QTest::qExec(&test, argc, argv);
    ShutdownModules();
    return result;
}

#include "mainwindow_test.moc"
