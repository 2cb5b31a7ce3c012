// Drives the page "Rozvod" of the real main window.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <memory>

#include "ModalBoxCatcher.h"
#include "app/pages/ValveTimingPage.h"
#include "app/widgets/ImageView.h"
#include "app/window/uMain.h"
#include "events/EngineEvent.h"
#include "tests/support/WindowFixture.h"
#include "timeline/Timeline.h"
#include "timeline/ValveDiagram.h"

using namespace morvane;

namespace {

QString Cell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item == nullptr ? QString() : item->text();
}

// Column 1.. of the cylinder table's rows 1..rows, or of the summary's.
QStringList Column(const QTableWidget* table, int columnIndex, int rows) {
    QStringList texts;
    for (int row = 1; row <= rows; ++row) {
        texts << Cell(table, row, columnIndex);
    }
    return texts;
}

}  // namespace

class ValveTimingPageTest : public testing::TWindowFixture {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(openWindow());
        // The page is built when it is first shown; each test shows it again.
        auto* pages = m_window->findChild<QTabWidget*>("PageControl1");
        pages->setCurrentIndex(3);
        pages->setCurrentIndex(0);
        m_page = m_window->findChild<TValveTimingPage*>("ValveTimingPage");
        QVERIFY(m_page != nullptr);
        m_summary = m_page->findChild<QTableWidget*>("ValveSummaryGrid");
    }
    void cleanup() { closeWindow(); }

    void firingOrderSetsTheOffsetsOfTheCylinderTable() {
        m_window->findChild<QTableWidget*>("ValueList1")->item(0, 1)->setText("4");
        m_window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(m_page->parentWidget());
        m_page->findChild<QLineEdit*>("FiringOrderEdit")->setText("1-3-4-2");
        QTest::mouseClick(m_page->findChild<QPushButton*>("ApplyFiringOrderButton"), Qt::LeftButton);
        QCOMPARE(Column(m_window->findChild<QTableWidget*>("StringGrid2"), 1, 5),
                 QStringList({"0", "540", "180", "360", "0"}));
        QCOMPARE(Column(m_summary, 1, 4), QStringList({"0", "540", "180", "360"}));
        // Nothing else runs: no events are built.
        QVERIFY(m_window->session().Events.empty());

        m_page->findChild<QLineEdit*>("FiringIntervalsEdit")->setText("90;270;90;270");
        QTest::mouseClick(m_page->findChild<QPushButton*>("ApplyFiringOrderButton"), Qt::LeftButton);
        QCOMPARE(Column(m_window->findChild<QTableWidget*>("StringGrid2"), 1, 4),
                 QStringList({"0", "450", "90", "360"}));
    }

    void aBadOrderShowsTheErrorAndChangesNoCell() {
        m_window->findChild<QTableWidget*>("ValueList1")->item(0, 1)->setText("4");
        m_window->findChild<QTableWidget*>("StringGrid2")->item(2, 1)->setText("15");
        m_window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(m_page->parentWidget());
        m_page->findChild<QLineEdit*>("FiringOrderEdit")->setText("1-3-3-2");
        TModalBoxCatcher catcher;
        QTest::mouseClick(m_page->findChild<QPushButton*>("ApplyFiringOrderButton"), Qt::LeftButton);
        QVERIFY(catcher.caught());
        QCOMPARE(catcher.text(), QString("Pořadí zapalování '1-3-3-2': válec 3 je uveden dvakrát."));
        QCOMPARE(Column(m_window->findChild<QTableWidget*>("StringGrid2"), 1, 4),
                 QStringList({"0", "15", "0", "0"}));
    }

    void summaryShowsTheWorkedExamplesAndTheCamCardWritesThemBack() {
        m_window->findChild<QTableWidget*>("ValueList1")->item(0, 1)->setText("2");
        const QStringList first{"340", "-31", "243", "463", "749"};
        for (int k = 0; k < first.size(); ++k) {
            m_window->findChild<QTableWidget*>("StringGrid2")->item(1, 2 + k)->setText(first[k]);
        }
        m_window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(m_page->parentWidget());
        QCOMPARE(m_summary->rowCount(), 3);
        QStringList figures;
        for (int c = 2; c < 8; ++c) {
            figures << Cell(m_summary, 1, c);
        }
        QCOMPARE(figures, QStringList({"274", "286", "60", "106", "114", "110"}));

        // The diagram of cylinder 1 at the page's size: the intake arc at its centreline.
        const TRaster& diagram = m_page->diagram();
        const TImageView* view = m_page->findChild<TImageView*>("ValveDiagram");
        QCOMPARE(diagram.width(), view->width());
        const TDiagramPoint p = ValveDiagramPoint(diagram.width(), diagram.height(), 106, kIntakeArcShift);
        QCOMPARE(diagram.pixel(p.X, p.Y), EventKindColor(ekIntakeValve));

        // The second cylinder's cam card, written into its row.
        m_summary->setCurrentCell(2, 0);
        const char* edits[] = {"CamIntakeDurationEdit", "CamExhaustDurationEdit", "CamIntakeCentrelineEdit",
                               "CamExhaustCentrelineEdit"};
        for (const char* name : edits) {
            m_page->findChild<QLineEdit*>(name)->setText("260");
        }
        m_page->findChild<QLineEdit*>("CamIntakeCentrelineEdit")->setText("110");
        m_page->findChild<QLineEdit*>("CamExhaustCentrelineEdit")->setText("110");
        QTest::mouseClick(m_page->findChild<QPushButton*>("CamCardButton"), Qt::LeftButton);
        QStringList second;
        for (int c = 3; c < 7; ++c) {
            second << Cell(m_window->findChild<QTableWidget*>("StringGrid2"), 2, c);
        }
        QCOMPARE(second, QStringList({"-20", "240", "480", "740"}));
        QCOMPARE(Cell(m_summary, 2, 4), QString("40"));
    }

    // Typing only: Enter applies a field's row, Tab reaches every button, each
    // button's key works from any field of the page and its tooltip names it.
    void aKeyboardSessionOnThePage() {
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        auto* cylinders = m_window->findChild<QTableWidget*>("StringGrid2");
        m_window->findChild<QTableWidget*>("ValueList1")->item(0, 1)->setText("4");
        m_window->findChild<QTabWidget*>("PageControl1")->setCurrentWidget(m_page->parentWidget());
        m_page->findChild<QLineEdit*>("FiringOrderEdit")->setFocus();
        QTest::keyClicks(QApplication::focusWidget(), "1-3-4-2");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(Column(cylinders, 1, 4), QStringList({"0", "540", "180", "360"}));

        QStringList buttons;
        for (int k = 0; k < 9; ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (const auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget())) {
                buttons << button->objectName() + ": " + button->toolTip();
            }
        }
        QCOMPARE(buttons, QStringList({"ApplyFiringOrderButton: Nastavit přesazení (Alt+P)",
                                       "CamCardButton: Zapsat do válce (Alt+V)",
                                       "RefreshValvesButton: Načíst z tabulky (Alt+T)"}));

        // The cam card of cylinder 1, field by field, written with Enter.
        m_page->findChild<QLineEdit*>("CamIntakeDurationEdit")->setFocus();
        for (const char* angle : {"274", "286", "106", "114"}) {
            QTest::keyClicks(QApplication::focusWidget(), angle);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QStringList first;
        for (int c = 3; c < 7; ++c) {
            first << Cell(cylinders, 1, c);
        }
        QCOMPARE(first, QStringList({"-31", "243", "463", "749"}));

        // Alt+P from a cam field applies the firing order as changed.
        m_page->findChild<QLineEdit*>("FiringOrderEdit")->setText("1-2-4-3");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::AltModifier);
        QCOMPARE(Column(cylinders, 1, 4), QStringList({"0", "180", "540", "360"}));
    }

private:
    TValveTimingPage* m_page = nullptr;
    QTableWidget* m_summary = nullptr;
};

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<ValveTimingPageTest>(argc, argv);
}
#include "valvetimingpage_test.moc"
