// Drives the page "Rozvod" of the real main window.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <memory>

#include "ModalBoxCatcher.h"
#include "app/ImageView.h"
#include "app/ValveTimingPage.h"
#include "app/uMain.h"
#include "events/EngineEvent.h"
#include "events/Lifecycle.h"
#include "timeline/Timeline.h"
#include "timeline/ValveDiagram.h"

using namespace morvane;

namespace {

QString cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item == nullptr ? QString() : item->text();
}

// Column 1.. of the cylinder table's rows 1..rows, or of the summary's.
QStringList column(const QTableWidget* table, int columnIndex, int rows) {
    QStringList texts;
    for (int row = 1; row <= rows; ++row) {
        texts << cell(table, row, columnIndex);
    }
    return texts;
}

}  // namespace

class ValveTimingPageTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        window = std::make_unique<TFMain>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        page = window->findChild<TValveTimingPage*>("ValveTimingPage");
        QVERIFY(page != nullptr);
        summary = page->findChild<QTableWidget*>("ValveSummaryGrid");
    }
    void cleanup() { window.reset(); }

    void firingOrderSetsTheOffsetsOfTheCylinderTable() {
        window->findChild<QTableWidget*>("ValueList1")->item(0, 1)->setText("4");
        window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(page);
        page->findChild<QLineEdit*>("FiringOrderEdit")->setText("1-3-4-2");
        QTest::mouseClick(page->findChild<QPushButton*>("ApplyFiringOrderButton"), Qt::LeftButton);
        QCOMPARE(column(window->findChild<QTableWidget*>("StringGrid2"), 1, 5),
                 QStringList({"0", "540", "180", "360", "0"}));
        QCOMPARE(column(summary, 1, 4), QStringList({"0", "540", "180", "360"}));
        // Nothing else runs: no events are built.
        QVERIFY(window->session().Events.empty());

        page->findChild<QLineEdit*>("FiringIntervalsEdit")->setText("90;270;90;270");
        QTest::mouseClick(page->findChild<QPushButton*>("ApplyFiringOrderButton"), Qt::LeftButton);
        QCOMPARE(column(window->findChild<QTableWidget*>("StringGrid2"), 1, 4),
                 QStringList({"0", "450", "90", "360"}));
    }

    void aBadOrderShowsTheErrorAndChangesNoCell() {
        window->findChild<QTableWidget*>("ValueList1")->item(0, 1)->setText("4");
        window->findChild<QTableWidget*>("StringGrid2")->item(2, 1)->setText("15");
        window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(page);
        page->findChild<QLineEdit*>("FiringOrderEdit")->setText("1-3-3-2");
        ModalBoxCatcher catcher;
        QTest::mouseClick(page->findChild<QPushButton*>("ApplyFiringOrderButton"), Qt::LeftButton);
        QVERIFY(catcher.caught());
        QCOMPARE(catcher.text(), QString("Pořadí zapalování '1-3-3-2': válec 3 je uveden dvakrát."));
        QCOMPARE(column(window->findChild<QTableWidget*>("StringGrid2"), 1, 4),
                 QStringList({"0", "15", "0", "0"}));
    }

    void summaryShowsTheWorkedExamplesAndTheCamCardWritesThemBack() {
        window->findChild<QTableWidget*>("ValueList1")->item(0, 1)->setText("2");
        const QStringList first{"340", "-31", "243", "463", "749"};
        for (int k = 0; k < first.size(); ++k) {
            window->findChild<QTableWidget*>("StringGrid2")->item(1, 2 + k)->setText(first[k]);
        }
        window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(page);
        QCOMPARE(summary->rowCount(), 3);
        QStringList figures;
        for (int c = 2; c < 8; ++c) {
            figures << cell(summary, 1, c);
        }
        QCOMPARE(figures, QStringList({"274", "286", "60", "106", "114", "110"}));

        // The diagram of cylinder 1 at the page's size: the intake arc at its centreline.
        const TRaster& diagram = page->diagram();
        const TImageView* view = page->findChild<TImageView*>("ValveDiagram");
        QCOMPARE(diagram.width(), view->width());
        const TDiagramPoint p = ValveDiagramPoint(diagram.width(), diagram.height(), 106, kIntakeArcShift);
        QCOMPARE(diagram.pixel(p.X, p.Y), EventKindColor(ekIntakeValve));

        // The second cylinder's cam card, written into its row.
        summary->setCurrentCell(2, 0);
        const char* edits[] = {"CamIntakeDurationEdit", "CamExhaustDurationEdit", "CamIntakeCentrelineEdit",
                               "CamExhaustCentrelineEdit"};
        for (const char* name : edits) {
            page->findChild<QLineEdit*>(name)->setText("260");
        }
        page->findChild<QLineEdit*>("CamIntakeCentrelineEdit")->setText("110");
        page->findChild<QLineEdit*>("CamExhaustCentrelineEdit")->setText("110");
        QTest::mouseClick(page->findChild<QPushButton*>("CamCardButton"), Qt::LeftButton);
        QStringList second;
        for (int c = 3; c < 7; ++c) {
            second << cell(window->findChild<QTableWidget*>("StringGrid2"), 2, c);
        }
        QCOMPARE(second, QStringList({"-20", "240", "480", "740"}));
        QCOMPARE(cell(summary, 2, 4), QString("40"));
    }

private:
    std::unique_ptr<TFMain> window;
    TValveTimingPage* page = nullptr;
    QTableWidget* summary = nullptr;
};

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    StartupModules();
    QApplication application(argc, argv);
    application.setApplicationName("Morvane");
    ValveTimingPageTest test;
    const int result = QTest::qExec(&test, argc, argv);
    ShutdownModules();
    return result;
}
#include "valvetimingpage_test.moc"
