// Undo and redo of the typed data in the real main window.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <vector>

#include "tests/support/WindowFixture.h"

using namespace morvane;
using morvane::testing::TAnswerDialog;

namespace {

constexpr int kTimelineTab = 2;
constexpr int kValveTimingTab = 3;
constexpr int kCombustionTab = 4;

// Every cell of a table, row by row.
QStringList Texts(const QTableWidget* table) {
    QStringList texts;
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int column = 0; column < table->columnCount(); ++column) {
            const QTableWidgetItem* item = table->item(row, column);
            texts << (item == nullptr ? QString() : item->text());
        }
    }
    return texts;
}

double CorrectionSum(const TSession& session) {
    double sum = 0;
    for (const TEngineEvent& event : session.Events) {
        sum += event.Correction;
    }
    return sum;
}

}  // namespace

class UndoTest : public testing::TWindowFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(openActiveWindow()); }
    void cleanup() { closeWindow(); }

    void theMenuFollowsFileAndNamesTheStep() {
        const QList<QAction*> menus = m_window->menuBar()->actions();
        QCOMPARE(menus.at(1)->text(), QString("Úpravy"));
        QCOMPARE(find<QAction>("Undo1")->text(), QString("Zpět"));
        QVERIFY(!find<QAction>("Undo1")->isEnabled());
        QCOMPARE(find<QAction>("Redo1")->shortcuts(),
                 QList<QKeySequence>({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
        QCOMPARE(find<QAction>("Undo1")->shortcut(), QKeySequence("Ctrl+Z"));
    }

    // A fill, a paste and a firing-order write, walked back with Ctrl+Z and
    // forward with Ctrl+Y, each key naming the step it takes.
    void undoWalksBackAFillAPasteAndAFiringOrderWrite() {
        auto* table = find<QTableWidget>("StringGrid2");
        find<QTableWidget>("ValueList1")->item(0, 1)->setText("4");
        table->item(1, 2)->setText("-30");
        QTest::qWait(0);  // texts set by code are the start of the history
        std::vector<QStringList> states{Texts(table)};

        find<QPushButton>("SpeedButton1")->click();
        states.push_back(Texts(table));
        QCOMPARE(find<QAction>("Undo1")->text(), QString("Zpět Vyplnit podle prvního"));

        QGuiApplication::clipboard()->setText("11\t12\n21\t22\n");
        table->setFocus();
        table->setCurrentCell(2, 3);
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        states.push_back(Texts(table));
        QCOMPARE(table->item(3, 4)->text(), QString("22"));
        QCOMPARE(find<QAction>("Undo1")->text(), QString("Zpět Vložení"));

        find<QTabWidget>("PageControl1")->setCurrentIndex(3);
        auto* order = find<QLineEdit>("FiringOrderEdit");
        order->setFocus();
        QTest::keyClicks(order, "1-3-4-2");
        QTest::keyClick(order, Qt::Key_Return);
        states.push_back(Texts(table));
        QCOMPARE(table->item(2, 1)->text(), QString("540"));

        table->setFocus();  // a text field takes Ctrl+Z for its own typing
        for (int step = int(states.size()) - 2; step >= 0; --step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(Texts(table), states[std::size_t(step)]);
        }
        QVERIFY(!find<QAction>("Undo1")->isEnabled());
        QCOMPARE(find<QAction>("Redo1")->text(), QString("Znovu Vyplnit podle prvního"));
        for (std::size_t step = 1; step < states.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
            QCOMPARE(Texts(table), states[step]);
        }
    }

    // The keystrokes of one editing are one step; the next editing is another.
    void aCellEditIsOneStep() {
        auto* list = find<QTableWidget>("ValueList1");
        const QString before = list->item(2, 1)->text();
        for (const QString& typed : {QString("2"), QString("6000")}) {
            list->setFocus();
            list->setCurrentCell(2, 1);
            for (const QChar c : typed) {
                QTest::keyClicks(QApplication::focusWidget(), QString(c));
            }
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        QCOMPARE(list->item(2, 1)->text(), QString("6000"));
        QCOMPARE(find<QAction>("Undo1")->text(), QString("Zpět Úprava buňky"));
        find<QAction>("Undo1")->trigger();
        QCOMPARE(list->item(2, 1)->text(), QString("2"));
        find<QAction>("Undo1")->trigger();
        QCOMPARE(list->item(2, 1)->text(), before);
    }

    // Undoing "Korigovat" gives back the typed correction and the events as
    // they were; redoing it applies the correction again.
    void undoOfKorigovatRestoresTheTypedTextAndTheEvents() {
        find<QPushButton>("SpeedButton2")->click();
        auto* corrections = find<QTableWidget>("ValueList3");
        const QStringList events = Texts(find<QTableWidget>("StringGrid1"));
        corrections->item(0, 1)->setText("10,5");
        QTest::qWait(0);
        find<QPushButton>("SpeedButton3")->click();
        const QStringList corrected = Texts(find<QTableWidget>("StringGrid1"));
        QVERIFY(corrected != events);
        QCOMPARE(CorrectionSum(m_window->session()), 10.5);

        find<QAction>("Undo1")->trigger();
        QCOMPARE(Texts(find<QTableWidget>("StringGrid1")), events);
        QCOMPARE(corrections->item(0, 1)->text(), QString("10,5"));
        QCOMPARE(CorrectionSum(m_window->session()), 0.0);
        find<QAction>("Redo1")->trigger();
        QCOMPARE(Texts(find<QTableWidget>("StringGrid1")), corrected);
        find<QAction>("Undo1")->trigger();
        find<QAction>("Undo1")->trigger();  // "Vytvořit události"
        QVERIFY(m_window->session().Events.empty());
        QCOMPARE(find<QTableWidget>("StringGrid1")->rowCount(), 1);
    }

    // A change on "Spalování" after an open is its own step: the first Ctrl+Z
    // takes back the choice and keeps the file, the second the open.
    void aChoiceAfterAnOpenIsItsOwnStep() {
        TAnswerDialog<IOpenDialog> open;
        m_window->useSetupDialogs(&open, nullptr);
        open.Path =
            writeFile("valec.morvane", "Morvane nastavení 1\n[Spalování]\nVyrovnání tlaku=polytropic\n")
                .toStdString();
        find<QAction>("Open1")->trigger();
        find<QTabWidget>("PageControl1")->setCurrentIndex(kCombustionTab);
        auto* box = find<QComboBox>("PegMethodBox");
        QCOMPARE(box->currentIndex(), 2);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->currentIndex(), 1);
        QCOMPARE(m_window->windowTitle(), QString("valec.morvane* – Morvane"));
        QCOMPARE(find<QAction>("Undo1")->text(), QString("Zpět Volba Vztažení tlaku"));

        const struct {
            Qt::Key Key;
            int Method;
            QString Title;
        } steps[] = {{Qt::Key_Z, 2, "valec.morvane – Morvane"},
                     {Qt::Key_Z, 0, "Morvane"},
                     {Qt::Key_Y, 2, "valec.morvane – Morvane"},
                     {Qt::Key_Y, 1, "valec.morvane* – Morvane"}};
        for (const auto& step : steps) {
            QTest::keyClick(box, step.Key, Qt::ControlModifier);
            QCOMPARE(box->currentIndex(), step.Method);
            QCOMPARE(m_window->windowTitle(), step.Title);
        }
    }

    // The keystrokes in one field are one step named by the field's caption.
    void typingInAFieldIsOneStep() {
        const struct {
            int Tab;
            const char* Field;
            QString Step;
        } fields[] = {{kValveTimingTab, "FiringOrderEdit", "Zpět Úprava pole Pořadí zapalování"},
                      {kCombustionTab, "BoreEdit", "Zpět Úprava pole Vrtání"},
                      {kTimelineTab, "Edit1", "Zpět Úprava pole Globální korekce"}};
        for (const auto& field : fields) {
            find<QTabWidget>("PageControl1")->setCurrentIndex(field.Tab);
            auto* edit = find<QLineEdit>(field.Field);
            const QString before = edit->text();
            edit->setFocus();
            QTest::keyClicks(edit, "12");
            QCOMPARE(edit->text(), before + "12");
            QCOMPARE(find<QAction>("Undo1")->text(), field.Step);
            find<QAction>("Undo1")->trigger();
            QCOMPARE(edit->text(), before);
            QVERIFY(!find<QAction>("Undo1")->isEnabled());
            QCOMPARE(m_window->windowTitle(), QString("Morvane"));
        }
        // The global correction's arrow keys step it as typing does.
        auto* correction = find<QLineEdit>("Edit1");
        QTest::keyClick(correction, Qt::Key_Up);
        QCOMPARE(correction->text(), QString("1"));
        QCOMPARE(m_window->windowTitle(), QString("Morvane*"));
        find<QAction>("Undo1")->trigger();
        QCOMPARE(correction->text(), QString("0"));
    }
};

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<UndoTest>(argc, argv);
}
#include "undo_test.moc"
