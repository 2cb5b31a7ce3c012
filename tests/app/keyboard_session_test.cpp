// A whole short session with the keyboard alone: every key goes to the
// widget that has the focus, as a user's would; each step is checked for
// what it did.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "ModalBoxCatcher.h"
#include "tests/support/WindowFixture.h"
#include "util/dialogutil.h"

namespace morvane::testing {

namespace {

// The focused control's objectName; a cell editor counts as its table.
QString FocusName() {
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) {
            return w->objectName();
        }
    }
    return {};
}

void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

// One key at a time: the first one may open a cell's editor, which takes the rest.
void Type(const QString& text) {
    for (const QChar c : text) {
        QTest::keyClicks(QApplication::focusWidget(), QString(c));
    }
}

// Presses Tab until the focus reaches name, at most limit times.
bool TabTo(const char* name, int limit = 12) {
    for (int k = 0; k < limit && FocusName() != name; ++k) {
        Key(Qt::Key_Tab);
    }
    return FocusName() == name;
}

// A text field on X11 takes Ctrl+E as its own (the end of the line); the
// fields of this platform do not, so a test field is given the key.
class TX11FieldKeys : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride &&
            static_cast<QKeyEvent*>(event)->keyCombination() == (Qt::CTRL | Qt::Key_E)) {
            event->accept();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

class KeyboardSessionTest : public TWindowFixture {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(openActiveWindow());
        m_window->useSetupDialogs(&m_open, nullptr);
    }
    void cleanup() { closeWindow(); }

    void aSessionWithoutTheMouse() {
        // A file dialog is left with Escape; a message box is a failure of the step.
        QStringList boxes;
        int fileDialogs = 0;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (qobject_cast<QFileDialog*>(modal) != nullptr) {
                ++fileDialogs;
                QTest::keyClick(modal->focusWidget(), Qt::Key_Escape);
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                boxes << box->text();
                box->accept();
            }
        });
        // Ctrl+O opens a set-up that holds only the pressure-cycle file.
        const QString cycle = QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv";
        m_open.Path = writeFile("cyklus.morvane",
                                "Morvane nastavení 1\n[Spalování]\nTlakový průběh=" + cycle.toUtf8() + "\n")
                          .toStdString();
        Key(Qt::Key_O, Qt::ControlModifier);
        QVERIFY(m_window->session().PressureCycle != nullptr);

        auto* pages = find<QTabWidget>("PageControl1");
        auto* cylinders = find<QTableWidget>("StringGrid2");

        // The main parameters and the first cylinder, then F6 fills the others and F5 makes the events.
        QCOMPARE(FocusName(), QString("ValueList1"));
        Type("4");
        Key(Qt::Key_Return);
        Key(Qt::Key_Return);
        Type("3000");
        QVERIFY(TabTo("StringGrid2"));
        for (const char* cell : {"0", "-15", "-31", "243", "463", "749"}) {
            Type(cell);
            Key(Qt::Key_Right);
        }
        QCOMPARE(cylinders->item(1, 6)->text(), QString("749"));
        Key(Qt::Key_F6);
        QCOMPARE(cylinders->item(4, 2)->text(), QString("-15"));
        Key(Qt::Key_F5);
        QCOMPARE(m_window->session().Events.size(), std::size_t(36));

        // "Rozvod": the firing order with Enter, then its three buttons by Tab.
        for (int k = 0; k < 3; ++k) {
            Key(Qt::Key_Tab, Qt::ControlModifier);
        }
        QCOMPARE(pages->tabText(pages->currentIndex()), QString("Rozvod"));
        QCOMPARE(FocusName(), QString("FiringOrderEdit"));
        Type("1-3-4-2");
        Key(Qt::Key_Return);
        QCOMPARE(cylinders->item(2, 1)->text(), QString("540"));
        Key(Qt::Key_A, Qt::ControlModifier);
        Type("1-2-4-3");
        QVERIFY(TabTo("ApplyFiringOrderButton"));
        Key(Qt::Key_Space);
        QCOMPARE(cylinders->item(2, 1)->text(), QString("180"));
        QVERIFY(TabTo("CamIntakeDurationEdit"));
        for (const char* text : {"250", "260", "104", "112"}) {
            Type(text);
            Key(Qt::Key_Tab);
        }
        QCOMPARE(FocusName(), QString("CamCardButton"));
        Key(Qt::Key_Return);
        QCOMPARE(cylinders->item(1, 3)->text(), QString("-21"));
        QCOMPARE(boxes, QStringList());
        QVERIFY(TabTo("RefreshValvesButton"));
        Key(Qt::Key_Space);
        QCOMPARE(find<QLabel>("ValveDiagramCaption")->text(), QString("Válec 1"));

        // "Spalování": the load dialog left with Escape keeps the cycle; the geometry, the
        // figures, the shift and its proposal.
        Key(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pages->tabText(pages->currentIndex()), QString("Spalování"));
        QCOMPARE(FocusName(), QString("LoadCycleButton"));
        Key(Qt::Key_Space);
        QCOMPARE(fileDialogs, 1);
        // A desktop gives the window its activation back when the dialog closes; this platform does not.
        QApplication::setActiveWindow(m_window.get());
        QCOMPARE(FocusName(), QString("LoadCycleButton"));
        QCOMPARE(find<QLabel>("CycleFileLabel")->text(), cycle);
        QVERIFY(TabTo("BoreEdit"));
        for (const char* text : {"86", "75", "118", "21,2"}) {
            Type(text);
            Key(Qt::Key_Tab);
        }
        QVERIFY(TabTo("ComputeButton"));
        Key(Qt::Key_Space);
        QVERIFY(find<QTableWidget>("FiguresList")->rowCount() > 0);
        QVERIFY(TabTo("CombustionTabs", 20));
        // Past the pressure and the diagrams to the reference.
        Key(Qt::Key_Right);
        Key(Qt::Key_Right);
        QVERIFY(TabTo("TdcShiftEdit"));
        Type("9");
        QVERIFY(TabTo("ProposeTdcShiftButton"));
        Key(Qt::Key_Space);
        QVERIFY(find<QLineEdit>("TdcShiftEdit")->text() != "9");
        // Every button pressed here shows its key.
        for (const char* name : {"ApplyFiringOrderButton", "CamCardButton", "RefreshValvesButton",
                                 "LoadCycleButton", "ComputeButton", "ProposeTdcShiftButton"}) {
            QVERIFY2(find<QPushButton>(name)->toolTip().contains("(Alt+"), name);
        }
        QCOMPARE(boxes, QStringList());

        // Ctrl+S, the menu's key, saves the set-up into the file opened.
        QCOMPARE(m_window->windowTitle(), QString("cyklus.morvane* – Morvane"));
        Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_window->windowTitle(), QString("cyklus.morvane – Morvane"));
        QFile saved(QString::fromStdString(m_open.Path));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray text = saved.readAll();
        for (const char* line : {"Počet válců [1]=4\n", "Pořadí zapalování=1-2-4-3\n", "Vrtání [mm]=86\n",
                                 "Kompresní poměr [1]=21,2\n", "Tlakový průběh="}) {
            QVERIFY2(text.contains(line), line);
        }
    }

    // The window's keys work from a text field, whatever keys it has of its own.
    void windowKeysWorkFromATextField_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("field");
        QTest::newRow("Spalování") << 4 << "StrokeEdit";
        QTest::newRow("Časová osa") << 2 << "Edit1";
    }
    void windowKeysWorkFromATextField() {
        QFETCH(int, page);
        QFETCH(QString, field);
        find<QTabWidget>("PageControl1")->setCurrentIndex(page);
        auto* edit = find<QLineEdit>(qPrintable(field));
        TX11FieldKeys x11;
        edit->installEventFilter(&x11);
        edit->setFocus();
        QString opened;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            opened = modal->objectName();
            static_cast<QDialog*>(modal)->reject();
        });
        Key(Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(opened, QString("EncoderImportDialog"));

        QApplication::setActiveWindow(m_window.get());
        Key(Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(find<QMenu>("File1")->isVisible());
        QCOMPARE(edit->text().contains('f'), false);
        QTest::keyClick(find<QMenu>("File1"), Qt::Key_Escape);
    }

private:
    TAnswerDialog<IOpenDialog> m_open;
};

}  // namespace morvane::testing

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<morvane::testing::KeyboardSessionTest>(argc, argv);
}

#include "keyboard_session_test.moc"
