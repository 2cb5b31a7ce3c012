// The engine set-up file in the window: what is typed comes back whole in a
// fresh window, a bad file changes nothing, and the title follows the file.

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "ModalBoxCatcher.h"
#include "tests/support/WindowFixture.h"
#include "util/dialogutil.h"

namespace morvane::testing {

namespace {

// The user's answer in a file dialog: always the one path.
template <class Base>
class TAnswerDialog : public Base {
public:
    std::string Path;
    void setFilter(const std::string&) override {}
    void setDefaultExt(const std::string&) override {}
    void setFilterIndex(int) override {}
    void setFileName(const std::string&) override {}
    bool execute() override { return !Path.empty(); }
    std::string fileName() const override { return Path; }
};

constexpr int kValveTimingTab = 3;
constexpr int kCombustionTab = 4;

}  // namespace

class SetupFileWindowTest : public TWindowFixture {
    Q_OBJECT

private slots:
    void init() {
        QVERIFY(openWindow());
        m_window->useSetupDialogs(&m_open, &m_save);
    }
    void cleanup() { closeWindow(); }

    void aTypedEngineComesBackWholeInAFreshWindow() {
        const QString path = m_files.filePath("motor.morvane");
        typeEngine();
        QCOMPARE(m_window->windowTitle(), QString("Morvane*"));
        m_save.Path = path.toStdString();
        find<QAction>("Save1")->trigger();
        QCOMPARE(m_window->windowTitle(), QString("motor.morvane – Morvane"));
        const QStringList typed = controlTexts();
        for (const char* text : {"FiringOrderEdit=1-3-4-2", "CamExhaustCentrelineEdit=112", "BoreEdit=82,5",
                                 "CompressionEdit=10.5", "ValueList1[0,1]=4", "ValueList3[0,1]=0,5"}) {
            QVERIFY2(typed.contains(text), text);
        }

        closeWindow();
        QVERIFY(openWindow());
        m_window->useSetupDialogs(&m_open, &m_save);
        m_open.Path = path.toStdString();
        find<QAction>("Open1")->trigger();
        showLatePages();
        QCOMPARE(controlTexts(), typed);
        QCOMPARE(m_window->windowTitle(), QString("motor.morvane – Morvane"));

        // A later save writes the same file without asking.
        m_save.Path.clear();
        cell("StringGrid2", 1, 1)->setText("-30");
        QCOMPARE(m_window->windowTitle(), QString("motor.morvane* – Morvane"));
        find<QAction>("Save1")->trigger();
        QCOMPARE(m_window->windowTitle(), QString("motor.morvane – Morvane"));
    }

    void aBadLineChangesNothingAndNamesTheLine() {
        const QByteArray bad = "Morvane nastavení 1\n[Hlavní parametry]\nPočet válců [1]=4\nbez rovnítka\n";
        const QString path = writeFile("vadny.morvane", bad);
        cell("ValueList1", 0, 1)->setText("3");
        const QStringList before = controlTexts();
        m_open.Path = path.toStdString();
        TModalBoxCatcher catcher;
        find<QAction>("Open1")->trigger();
        QVERIFY(catcher.caught());
        QVERIFY2(catcher.text().contains("řádek 4"), qPrintable(catcher.text()));
        QCOMPARE(controlTexts(), before);
        QVERIFY(m_window->setupPath().empty());
    }

    void aMissingSignalIsReportedAndTheRestOpens() {
        const QByteArray text =
            "Morvane nastavení 1\n[Hlavní parametry]\nPočet válců [1]=2\n"
            "[Import signálu]\nDruh=úhel\nSoubor=/nikde/signal.csv\n";
        m_open.Path = writeFile("bez_signalu.morvane", text).toStdString();
        TModalBoxCatcher catcher;
        find<QAction>("Open1")->trigger();
        QCOMPARE(cell("ValueList1", 0, 1)->text(), QString("2"));
        QVERIFY(!m_window->setupPath().empty());
        QTRY_VERIFY(catcher.caught());
    }

private:
    QTableWidgetItem* cell(const char* table, int row, int column) const {
        QTableWidget* grid = find<QTableWidget>(table);
        if (grid->item(row, column) == nullptr) {
            grid->setItem(row, column, new QTableWidgetItem);
        }
        return grid->item(row, column);
    }
    void edit(const char* name, const QString& text) const {
        QLineEdit* field = find<QLineEdit>(name);
        field->setText(text);
        emit field->textEdited(text);
    }
    void click(const char* name) const { find<QPushButton>(name)->click(); }
    void showLatePages() const {
        auto* pages = find<QTabWidget>("PageControl1");
        pages->setCurrentIndex(kValveTimingTab);
        pages->setCurrentIndex(kCombustionTab);
        pages->setCurrentIndex(0);
    }

    // A four-cylinder engine, its firing order and cam card, a correction and a geometry.
    void typeEngine() const {
        cell("ValueList1", 0, 1)->setText("4");
        cell("ValueList1", 2, 1)->setText("2500");
        cell("StringGrid2", 1, 1)->setText("0");
        cell("StringGrid2", 1, 2)->setText("345,5");
        click("SpeedButton1");  // "Vyplnit podle prvního"
        showLatePages();
        edit("FiringOrderEdit", "1-3-4-2");
        click("ApplyFiringOrderButton");
        edit("CamIntakeDurationEdit", "250");
        edit("CamExhaustDurationEdit", "260");
        edit("CamIntakeCentrelineEdit", "104");
        edit("CamExhaustCentrelineEdit", "112");
        click("CamCardButton");
        edit("BoreEdit", "82,5");
        edit("CompressionEdit", "10.5");
        click("SpeedButton2");  // "Vytvořit události"
        cell("ValueList3", 0, 1)->setText("0,5");
        click("SpeedButton3");  // "Korigovat"
    }

    // The text of every field and of every cell of the input and event tables.
    QStringList controlTexts() const {
        QStringList texts;
        for (const QLineEdit* field : m_window->findChildren<QLineEdit*>()) {
            if (!field->objectName().isEmpty()) {
                texts << field->objectName() + '=' + field->text();
            }
        }
        for (const char* name : {"ValueList1", "ValueList2", "StringGrid2", "ValueList3", "StringGrid1"}) {
            const QTableWidget* grid = find<QTableWidget>(name);
            for (int r = 0; r < grid->rowCount(); ++r) {
                for (int c = 0; c < grid->columnCount(); ++c) {
                    const QTableWidgetItem* item = grid->item(r, c);
                    texts << QString("%1[%2,%3]=%4").arg(name).arg(r).arg(c).arg(item ? item->text() : "");
                }
            }
        }
        texts.sort();
        return texts;
    }

    TAnswerDialog<IOpenDialog> m_open;
    TAnswerDialog<ISaveDialog> m_save;
};

}  // namespace morvane::testing

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<morvane::testing::SetupFileWindowTest>(argc, argv);
}

#include "setupfile_window_test.moc"
