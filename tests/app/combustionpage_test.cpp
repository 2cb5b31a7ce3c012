// Drives the page "Spalování" inside the real main window.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <qcustomplot.h>

#include <cmath>
#include <memory>
#include <utility>

#include "ModalBoxCatcher.h"
#include "app/pages/CombustionPage.h"
#include "app/pages/CombustionPlots.h"
#include "app/widgets/PlotView.h"
#include "app/widgets/QtControls.h"
#include "app/window/uMain.h"
#include "tests/app/RecordingImport.h"
#include "tests/support/WindowFixture.h"

using namespace morvane;

namespace {

QStringList FigureRows(const QTableWidget* table) {
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row) {
        rows << table->item(row, 0)->text() + ";" + table->item(row, 1)->text();
    }
    return rows;
}

// Whether the plot draws a curve with points.
bool HasCurve(QCustomPlot* plot) {
    for (int k = 0; k < plot->plottableCount(); ++k) {
        if (plot->plottable(k)->interface1D() && plot->plottable(k)->interface1D()->dataCount() > 0) {
            return true;
        }
    }
    return false;
}

QStringList GraphNames(QCustomPlot* plot) {
    QStringList names;
    for (int k = 0; k < plot->plottableCount(); ++k) {
        names << plot->plottable(k)->name();
    }
    return names;
}

}  // namespace

class CombustionPageTest : public testing::TWindowFixture {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(openWindow());
        // The page is built when it is first shown.
        auto* pages = m_window->findChild<QTabWidget*>("PageControl1");
        QVERIFY(m_window->findChild<TCombustionPage*>("CombustionPage") == nullptr);
        pages->setCurrentIndex(pages->count() - 1);
        m_page = m_window->findChild<TCombustionPage*>("CombustionPage");
        QVERIFY(m_page != nullptr);
        m_figures = m_page->findChild<QTableWidget*>("FiguresList");
        m_compute = m_page->findChild<QPushButton*>("ComputeButton");
    }
    void cleanup() { closeWindow(); }

    void isTheLastPage() {
        const int last = m_window->findChild<QTabWidget*>("PageControl1")->count() - 1;
        QCOMPARE(m_window->findChild<QTabWidget*>("PageControl1")->tabText(last), QString("Spalování"));
        QCOMPARE(m_window->findChild<QTabWidget*>("PageControl1")->widget(last), m_page->parentWidget());
        QVERIFY(!m_compute->isEnabled());
        QCOMPARE(m_figures->rowCount(), 0);
    }

    void loadsACycleAndShowsItsFigures() {
        QCOMPARE(load(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv"), QString());
        const QStringList figures = FigureRows(m_figures);
        QCOMPARE(
            figures.mid(0, 7),
            (QStringList{"IMEP [bar];4,767", "IMEP vysokotlaký [bar];4,849", "pmax [bar];65,546",
                         "Úhel pmax [°];368,5", "MFB10 [°];364,35", "MFB50 [°];374,85", "MFB90 [°];407,29"}));
        QVERIFY2(figures.size() == 8 && figures.last().startsWith("Teplo [J];"),
                 qPrintable(figures.join(" | ")));
        QVERIFY(HasCurve(pvPlot()));

        // A file that fails leaves the cycle, its figures and pictures as they were.
        const QString label = m_page->findChild<QLabel*>("CycleFileLabel")->text();
        QVERIFY(!load(writeFile("short.csv", "1\n2\n")).isEmpty());
        QCOMPARE(FigureRows(m_figures), figures);
        QCOMPARE(m_page->findChild<QLabel*>("CycleFileLabel")->text(), label);
        QVERIFY(HasCurve(pvPlot()));

        // The shift recomputes as it is typed: the peak moves by it.
        m_page->findChild<QLineEdit*>("TdcShiftEdit")->setText("1");
        QVERIFY(FigureRows(m_figures).contains("Úhel pmax [°];367,5"));
        m_page->findChild<QLineEdit*>("TdcShiftEdit")->setText("0");
        QCOMPARE(FigureRows(m_figures), figures);

        // A typing mistake shows its message and leaves no stale figures.
        m_page->findChild<QLineEdit*>("RodEdit")->setText("30");
        QString errorText;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                errorText = box->text();
                box->accept();
            }
        });
        m_compute->click();
        QCOMPARE(errorText, QString("Ojnice [mm] musí být delší než polovina zdvihu."));
        QCOMPARE(m_figures->rowCount(), 0);
        QVERIFY(!HasCurve(pvPlot()));
    }

    // A heat-transfer model takes cylinder 1's angles from the cylinder table
    // and the engine's speed, giving the batch tool's figures (morvane-cli
    // combustion fired_mean.csv --heat-transfer woschni --ivc 220 --evo 500
    // --ignition 345 --rpm 1799,9); a new angle in the table recomputes.
    void theWallHeatTakesTheCylinderTable() {
        auto* engine = m_window->findChild<QTableWidget*>("StringGrid2");
        for (const auto& [column, angle] : {std::pair{2, "345"}, {4, "220"}, {5, "500"}}) {
            engine->setItem(1, column, new QTableWidgetItem(angle));
        }
        m_window->findChild<QTableWidget*>("ValueList1")->setItem(2, 1, new QTableWidgetItem("1799,9"));
        QCOMPARE(load(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv"), QString());
        m_page->findChild<QComboBox*>("HeatTransferBox")->setCurrentIndex(1);
        const QStringList figures = FigureRows(m_figures);
        for (const char* row : {"MFB50 [°];375,72", "Teplo [J];443,34", "Teplo do stěn [J];56,7",
                                "Teplo hrubé [J];492,53", "Tmax [K];1168,29", "Náplň válce [mg];555,38"}) {
            QVERIFY2(figures.contains(row), qPrintable(figures.join(" | ")));
        }
        QVERIFY(HasCurve(m_page->plots().gasPlot()));

        auto* pages = m_window->findChild<QTabWidget*>("PageControl1");
        pages->setCurrentIndex(0);
        engine->item(1, 4)->setText("200");
        pages->setCurrentIndex(pages->count() - 1);
        QVERIFY(!FigureRows(m_figures).contains("Náplň válce [mg];555,38"));
    }

    // A window over the whole cycle still gives figures, but marked doubtful
    // with the field named; the default window gives them as good.
    void aWindowBeyondTheClosedValvesMarksTheFigures() {
        QCOMPARE(load(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv"), QString());
        const auto* doubt = m_page->findChild<QLabel*>("FiguresDoubtLabel");
        QVERIFY(!doubt->isVisibleTo(m_page));
        m_page->findChild<QLineEdit*>("WindowStartEdit")->setText("0");
        m_page->findChild<QLineEdit*>("WindowEndEdit")->setText("720");
        QVERIFY(doubt->isVisibleTo(m_page));
        QVERIFY2(doubt->text().startsWith("Výsledky jsou pochybné: Okno od [°]") &&
                     doubt->text().contains("Okno do [°]"),
                 qPrintable(doubt->text()));
        const int mfb10 =
            static_cast<int>(FigureRows(m_figures).indexOf(QRegularExpression("^MFB10 \\[°\\];.*")));
        QVERIFY(mfb10 >= 0);
        QVERIFY(m_figures->item(mfb10, 1)->toolTip().contains("Okno od [°]"));
        QVERIFY(m_figures->item(0, 1)->toolTip().isEmpty());
        m_page->findChild<QLineEdit*>("WindowStartEdit")->setText("340");
        m_page->findChild<QLineEdit*>("WindowEndEdit")->setText("460");
        QVERIFY(!doubt->isVisibleTo(m_page));
        QVERIFY(m_figures->item(mfb10, 1)->toolTip().isEmpty());
    }

    void aBadFileShowsItsProblem() {
        const QString path = writeFile("short.csv", "1\n2\n");
        QCOMPARE(load(path), "The file \"" + path + "\" holds 2 pressure values, a cycle needs 1441.");
        QVERIFY(!m_compute->isEnabled());
        QCOMPARE(m_figures->rowCount(), 0);
    }

    // The proposal follows the batch tool's "tdc": the same shift for the same
    // loss angle, and the engine is read only by polytropic pegging.
    void proposesTheShiftAsTheBatchTool_data() {
        QTest::addColumn<QString>("loss");
        QTest::addColumn<QString>("rod");
        QTest::addColumn<QString>("shift");  // the shift field after, or the error box's text
        QTest::newRow("no loss") << "0"
                                 << "118"
                                 << "-2,71";
        QTest::newRow("tdc --loss-angle 0,8") << "0,8"
                                              << "118"
                                              << "-1,91";
        QTest::newRow("engine unread") << "0"
                                       << "30"
                                       << "-2,71";
        QTest::newRow("loss beyond") << "11"
                                     << "118"
                                     << "Úhel ztráty [°] musí být v rozsahu -10 až 10.";
    }
    void proposesTheShiftAsTheBatchTool() {
        QFETCH(QString, loss);
        QFETCH(QString, rod);
        QFETCH(QString, shift);
        QCOMPARE(load(QString(MORVANE_TEST_DATA_DIR) + "/combustion/motored_mean_deg.csv"), QString());
        m_page->findChild<QLineEdit*>("LossAngleEdit")->setText(loss);
        m_page->findChild<QLineEdit*>("RodEdit")->setText(rod);
        auto* tdcShift = m_page->findChild<QLineEdit*>("TdcShiftEdit");
        QString errorText;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                errorText = box->text();
                box->accept();
            }
        });
        m_page->findChild<QPushButton*>("ProposeTdcShiftButton")->click();
        QCOMPARE(errorText.isEmpty() ? tdcShift->text() : errorText, shift);
    }

    // "Import signal (ENCODER)..." through its dialog: the summary, then the
    // page shows the recording's cycles; without the sensor's scale it says
    // the cycle is not in bar and shows no figure.
    void encoderImportGivesThePageItsCycles_data() {
        QTest::addColumn<QString>("scale");
        QTest::addColumn<bool>("inBar");
        QTest::newRow("no scale") << "" << false;
        QTest::newRow("scale") << "1" << true;
    }
    void encoderImportGivesThePageItsCycles() {
        QFETCH(QString, scale);
        QFETCH(bool, inBar);
        const auto* bore = m_page->findChild<QLineEdit*>("BoreEdit");
        const QPoint boreAt = bore->mapTo(m_page, QPoint());
        QString summary;
        const QString path = importRecording(scale, &summary);
        // A notice shown leaves the fields where the next click expects them.
        QTest::qWait(20);
        QCOMPARE(bore->mapTo(m_page, QPoint()), boreAt);

        QCOMPARE(summary, QString("Cykly / Otáčky [RPM]: 3 / 3000"));
        QCOMPARE(m_page->findChild<QLabel*>("CycleFileLabel")->text(), path + " (průměr 3 cyklů)");
        QCOMPARE(m_window->session().PressureCycle->InBar, inBar);
        const auto* notice = m_page->findChild<QLabel*>("CycleNoticeLabel");
        QCOMPARE(notice->isVisibleTo(m_page), !inBar);
        QCOMPARE(notice->text().startsWith("Průběh není v barech"), !inBar);
        const QStringList rows = FigureRows(m_figures);
        QCOMPARE(rows.isEmpty(), !inBar);
        QCOMPARE(m_page->findChild<QTableWidget*>("CycleTable")->rowCount(), inBar ? 3 : 0);
        if (inBar) {
            QVERIFY2(rows.contains("Vynechané cykly;0") && rows.last().startsWith("Klepající cykly;"),
                     qPrintable(rows.join(" | ")));
        }
    }

    // MAPO follows the knock band as soon as the typing rests: the recording
    // is read again with it.
    void mapoFollowsTheKnockBand() {
        importRecording("1");
        auto* table = m_page->findChild<QTableWidget*>("CycleTable");
        int mapo = 0;
        while (mapo < table->columnCount() && table->horizontalHeaderItem(mapo)->text() != "MAPO [bar]") {
            ++mapo;
        }
        QVERIFY(mapo < table->columnCount());
        const QString before = table->item(0, mapo)->text();
        m_page->findChild<QLineEdit*>("KnockBandEdit")->setText("200,1000");
        QTRY_VERIFY_WITH_TIMEOUT(table->item(0, mapo)->text() != before, 3000);
    }

    // A recording of two cylinders 360° apart with the same cycle in each: the
    // page shows either cylinder on its own angle, alike, and the balance 0 %.
    void showsEveryCylinderAndTheBalance() {
        m_window->findChild<QTableWidget*>("ValueList1")->setItem(0, 1, new QTableWidgetItem("2"));
        auto* engine = m_window->findChild<QTableWidget*>("StringGrid2");
        engine->setItem(1, 1, new QTableWidgetItem("0"));
        engine->setItem(2, 1, new QTableWidgetItem("360"));
        testing::TSynthetic synthetic;
        synthetic.Revolutions = 12;
        synthetic.CylinderOffsets = {0, 360};
        const QString path =
            writeFile("valce.csv",
                      QByteArray::fromStdString(testing::RecordingText(testing::RecordingLines(synthetic))));
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (modal->objectName() == "EncoderImportDialog") {
                modal->findChild<QLineEdit*>("EncoderFileEdit")->setText(path);
                modal->findChild<QLineEdit*>("PressureScaleEdit")->setText("1");
                modal->findChild<QLineEdit*>("PressureColumnsEdit")->setText("2,3");
                static_cast<QDialog*>(modal)->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->accept();
            }
        });
        m_window->findChild<QAction*>("ImportSig3")->trigger();
        auto* cylinder = m_page->findChild<QComboBox*>("CylinderBox");
        QCOMPARE(cylinder->count(), 2);
        QVERIFY(cylinder->isEnabled());
        auto* balance = m_page->findChild<QTableWidget*>("BalanceTable");
        QCOMPARE(balance->rowCount(), 3);
        QCOMPARE(balance->item(2, 0)->text(), QString("Motor"));
        const QStringList first = FigureRows(m_figures);
        QVERIFY(!first.isEmpty());
        cylinder->setCurrentIndex(1);
        QVERIFY(m_page->findChild<QLabel*>("CycleFileLabel")->text().endsWith("válec 2"));
        const QStringList second = FigureRows(m_figures);
        QCOMPARE(second.mid(0, 4), first.mid(0, 4));  // IMEP and the peak alike
        const QStringList curves = GraphNames(m_page->findChild<QCustomPlot*>("PressurePlot"));
        QVERIFY2(curves.contains("válec 1") && curves.contains("válec 2"), qPrintable(curves.join(", ")));
        for (int row = 0; row < 2; ++row) {
            QVERIFY(std::abs(
                        balance->item(row, balance->columnCount() - 1)->text().replace(',', '.').toDouble()) <
                    0.1);
        }
    }

    // A row of the cycle table picks its cycle in the plots, a cycle picked in a
    // plot picks its row; zooming the pressure's angle zooms burn and heat release.
    void cycleRowsAndPlotsPickEachOther() {
        importRecording("1");
        auto* table = m_page->findChild<QTableWidget*>("CycleTable");
        auto* pressure = m_page->findChild<TPlotView*>("PressurePlot");
        QCOMPARE(GraphNames(pressure).count("cykly"), 1);
        table->selectRow(1);
        QVERIFY(GraphNames(pressure).contains("cyklus 2"));
        QVERIFY(GraphNames(m_page->findChild<TPlotView*>("HeatRatePlot")).contains("cyklus 2"));
        emit pressure->cycleClicked(3);
        QCOMPARE(table->selectedItems().front()->row(), 2);
        QVERIFY(GraphNames(pressure).contains("cyklus 3"));

        pressure->xAxis->setRange(350, 370);
        for (const char* linked : {"BurnPlot", "HeatRatePlot"}) {
            QCOMPARE(m_page->findChild<TPlotView*>(linked)->xAxis->range(), QCPRange(350, 370));
        }
    }

    // Beyond kOverlaidCycles the cycles are drawn as their band.
    void manyCyclesAreABand() {
        QCOMPARE(load(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv"), QString());
        auto many = std::make_shared<TPressureCycle>(*m_window->session().PressureCycle);
        many->Cycles.assign(kOverlaidCycles + 1, many->Mean);
        m_window->session().PressureCycle = many;
        m_page->refreshFromSession(TSessionChange::CycleImported);
        const QStringList names = GraphNames(m_page->findChild<TPlotView*>("PressurePlot"));
        QVERIFY2(names.contains("rozsah cyklů") && !names.contains("cykly"), qPrintable(names.join(", ")));
    }

    // A comparison's figures stand in a column of its name; its mean is drawn dashed.
    void aComparisonStandsBeside() {
        QCOMPARE(load(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv"), QString());
        QCOMPARE(load(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_cycle1.csv", "ReferenceButton"),
                 QString());
        QCOMPARE(m_figures->columnCount(), 3);
        QCOMPARE(m_figures->horizontalHeaderItem(2)->text(), QString("Srovnání"));
        QVERIFY(m_figures->horizontalHeaderItem(2)->toolTip().endsWith("fired_cycle1.csv"));
        QCOMPARE(m_figures->item(0, 1)->text(), QString("4,767"));
        QVERIFY(!m_figures->item(0, 2)->text().isEmpty() && m_figures->item(0, 2)->text() != "4,767");
        for (const char* name : {"PressurePlot", "PvPlot", "BurnPlot", "HeatRatePlot"}) {
            const QStringList names = GraphNames(m_page->findChild<TPlotView*>(name));
            QVERIFY2(names.contains("fired_cycle1.csv"), name);
        }
        m_page->findChild<QAbstractButton*>("DropReferenceButton")->click();
        QCOMPARE(m_figures->columnCount(), 2);
    }

    // The report says what the page says: its figures, in a PDF of its own.
    void theReportHoldsTheFigures() {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty()) {
            QSKIP("pdftotext (poppler-utils) is not installed");
        }
        QCOMPARE(load(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv"), QString());
        testing::TAnswerDialog<ISaveDialog> dialog;
        dialog.Path = ToStdString(m_files.filePath("zprava"));
        m_window->useReportDialog(&dialog);
        m_window->findChild<QAction*>("SaveReport1")->trigger();
        QProcess text;
        text.start("pdftotext", {"-layout", m_files.filePath("zprava.pdf"), "-"});
        QVERIFY(text.waitForFinished());
        const QString printed = QString::fromUtf8(text.readAllStandardOutput());
        for (const char* expected : {"Zpráva o spalování", "IMEP vysokotlaký [bar]", "4,849",
                                     "fired_mean.csv", "Vrtání [mm]", "Tlak podle úhlu"}) {
            QVERIFY2(printed.contains(QString::fromUtf8(expected)), expected);
        }
    }

private:
    TPlotView* pvPlot() const { return m_page->findChild<TPlotView*>("PvPlot"); }

    // Imports the six-revolution recording with the sensor's scale; returns
    // its path, and the import's summary where asked.
    QString importRecording(const QString& scale, QString* summary = nullptr) {
        const QString path = writeFile("recording.csv", testing::SixRevolutionRecording());
        const QString shown = testing::ImportRecording(*m_window, path, scale);
        if (summary != nullptr) {
            *summary = shown;
        }
        return path;
    }

    // Clicks the load button, chooses path in the dialog and returns the error box's text, if any.
    QString load(const QString& path, const char* button = "LoadCycleButton") {
        QString errorText;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                chooseFile(dialog, path);
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                errorText = box->text();
                box->accept();
            }
        });
        m_page->findChild<QPushButton*>(button)->click();
        return errorText;
    }

    TCombustionPage* m_page = nullptr;
    QTableWidget* m_figures = nullptr;
    QPushButton* m_compute = nullptr;
};

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<CombustionPageTest>(argc, argv);
}

#include "combustionpage_test.moc"
