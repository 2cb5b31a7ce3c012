// The engine set-up file in the window: what is typed comes back whole in a
// fresh window, a bad file changes nothing, and the title follows the file.

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>

#include "ModalBoxCatcher.h"
#include "tests/app/RecordingImport.h"
#include "tests/support/WindowFixture.h"
#include "util/dialogutil.h"

namespace morvane::testing {

namespace {

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
        m_window->setSaveView(true);
        find<QAction>("Save1")->trigger();
        QCOMPARE(m_window->windowTitle(), QString("motor.morvane – Morvane"));
        const QStringList typed = controlTexts();
        for (const char* text : {"FiringOrderEdit=1-3-4-2", "CamExhaustCentrelineEdit=112", "BoreEdit=82,5",
                                 "CompressionEdit=10.5", "ValueList1[0,1]=4", "ValueList3[0,1]=0,5",
                                 "PegMethodBox=2", "PegRangeEdit=240,290", "KnockBandEdit=5000,18000",
                                 "KnockThresholdEdit=0,8", "ValveSummaryGrid=3"}) {
            QVERIFY2(typed.contains(text), text);
        }

        closeWindow();
        QVERIFY(openWindow());
        m_window->useSetupDialogs(&m_open, &m_save);
        m_open.Path = path.toStdString();
        find<QAction>("Open1")->trigger();
        showLatePages();
        QCOMPARE(controlTexts(), typed);
        QCOMPARE(encoderTexts(), QStringList({"EncoderFileEdit=/nikde/enc.csv", "PressureScaleEdit=0,02"}));
        QCOMPARE(m_window->windowTitle(), QString("motor.morvane – Morvane"));

        // A later save writes the same file without asking.
        m_save.Path.clear();
        cell("StringGrid2", 1, 1)->setText("-30");
        QCOMPARE(m_window->windowTitle(), QString("motor.morvane* – Morvane"));
        find<QAction>("Save1")->trigger();
        QCOMPARE(m_window->windowTitle(), QString("motor.morvane – Morvane"));
    }

    // The file holds the work: the view only when "Uložit i pohled" is ticked.
    void theViewIsSavedOnlyWhenAsked() {
        typeEngine();
        m_window->useSetupDialogs(nullptr, nullptr);
        for (const bool withView : {false, true}) {
            const QString path = m_files.filePath(withView ? "s_pohledem.morvane" : "bez_pohledu.morvane");
            TModalBoxCatcher catcher([&](QWidget* modal) {
                if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                    dialog->findChild<QCheckBox*>("SaveViewCheck")->setChecked(withView);
                    chooseFile(dialog, path);
                }
            });
            find<QAction>("SaveAs1")->trigger();
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            QCOMPARE(text.contains("Úhel kliky [°]="), withView);
            QCOMPARE(text.contains("Vybraný válec="), withView);
            // The engine's four cylinders only.
            QVERIFY(text.contains("\n4=") && !text.contains("\n5="));
        }
        // A file that holds the view keeps it when it is opened and saved again.
        m_window->useSetupDialogs(&m_open, &m_save);
        m_window->setSaveView(false);
        m_open.Path = m_files.filePath("s_pohledem.morvane").toStdString();
        find<QAction>("Open1")->trigger();
        find<QAction>("Save1")->trigger();
        QFile file(m_files.filePath("s_pohledem.morvane"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("Úhel kliky [°]="));
    }

    // A slider is the view: a change only of a set-up that keeps it; a plot's
    // scale never one, nor an undo step.
    void onlyTheWorkMarksTheTitle() {
        showLatePages();
        m_save.Path = m_files.filePath("prace.morvane").toStdString();
        find<QAction>("SaveAs1")->trigger();
        const QString saved = m_window->windowTitle();
        auto* filter = find<QSlider>("TrackBar2");
        filter->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        find<QCheckBox>("LogPressureBox")->click();
        QCOMPARE(m_window->windowTitle(), saved);
        QVERIFY(!find<QAction>("Undo1")->isEnabled());
        m_window->setSaveView(true);
        filter->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(m_window->windowTitle(), QString("prace.morvane* – Morvane"));
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
        QVERIFY(!find<QAction>("Undo1")->isEnabled());
    }

    // Ctrl+Z after "Open..." gives back every control, the events and the
    // title; Ctrl+Shift+Z opens the set-up again.
    void anOpenIsOneUndoStep() {
        showLatePages();
        cell("ValueList1", 0, 1)->setText("3");
        edit("BoreEdit", "90");
        find<QComboBox>("PegMethodBox")->setCurrentIndex(1);
        click("SpeedButton2");  // "Vytvořit události"
        const QStringList before = controlTexts();
        const QString title = m_window->windowTitle();
        m_open.Path = writeFile("jiny.morvane",
                                "Morvane nastavení 1\n[Hlavní parametry]\nPočet válců [1]=2\n[Korekce]\n"
                                "Píst 1 - HU=0,5\n[Spalování]\nVrtání [mm]=70\nVyrovnání tlaku=polytropic\n")
                          .toStdString();
        find<QAction>("Open1")->trigger();
        const QStringList opened = controlTexts();
        for (const char* text :
             {"ValueList1[0,1]=2", "BoreEdit=70", "PegMethodBox=2", "ValueList3[11,1]=0,5"}) {
            QVERIFY2(opened.contains(text), text);
        }

        QTest::keyClick(m_window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(controlTexts(), before);
        QCOMPARE(m_window->windowTitle(), title);
        QCOMPARE(m_window->session().Events.size(), std::size_t(27));
        QTest::keyClick(m_window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(controlTexts(), opened);
        QCOMPARE(m_window->windowTitle(), QString("jiny.morvane – Morvane"));
    }

    // The cycle file of the page "Spalování" is read again on open; a missing
    // one is reported and the rest opens.
    void theCycleFileOpensAgain() {
        const QString cycle = QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv";
        const QByteArray head = "Morvane nastavení 1\n[Hlavní parametry]\nPočet válců [1]=2\n[Spalování]\n";
        m_open.Path =
            writeFile("cyklus.morvane", head + "Tlakový průběh=" + cycle.toUtf8() + "\n").toStdString();
        find<QAction>("Open1")->trigger();
        QVERIFY(m_window->session().PressureCycle != nullptr);
        showLatePages();
        QCOMPARE(find<QLabel>("CycleFileLabel")->text(), cycle);

        m_open.Path =
            writeFile("bez_cyklu.morvane", head + "Tlakový průběh=/nikde/cyklus.csv\n").toStdString();
        TModalBoxCatcher catcher;
        find<QAction>("Open1")->trigger();
        QTRY_VERIFY(catcher.caught());
        QVERIFY2(catcher.text().contains("/nikde/cyklus.csv"), qPrintable(catcher.text()));
        QCOMPARE(cell("ValueList1", 0, 1)->text(), QString("2"));
        QVERIFY(m_window->session().PressureCycle == nullptr);
        QCOMPARE(find<QLabel>("CycleFileLabel")->text(), QString("Tlakový průběh nenačten"));
    }

    // With a recording and a cycle file both in the set-up, the timeline's
    // read-out gives the pressure of the recording it draws, before and after reopening.
    void theReadoutReadsTheDrawnRecordingAfterReopening() {
        testing::ImportRecording(*m_window, writeFile("zaznam.csv", testing::SixRevolutionRecording()), "1");
        showLatePages();
        loadCycle(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv");
        const auto readoutAt = [this](int angle) {
            find<QTabWidget>("PageControl1")->setCurrentIndex(2);
            find<QSlider>("TrackBar1")->setValue(angle);
            return find<QLabel>("TimelineReadout")->text();
        };
        const QString drawn = readoutAt(365);
        QVERIFY2(drawn.contains(" bar)"), qPrintable(drawn));
        m_save.Path = m_files.filePath("oba.morvane").toStdString();
        find<QAction>("Save1")->trigger();

        find<QAction>("New1")->trigger();
        QVERIFY(!readoutAt(365).contains(" bar)"));
        m_open.Path = m_save.Path;
        TModalBoxCatcher catcher;
        find<QAction>("Open1")->trigger();
        QCOMPARE(catcher.text(), QString("Cykly / Otáčky [RPM]: 3 / 3000"));  // the recording read again
        QCOMPARE(find<QLabel>("CycleFileLabel")->text(),
                 QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv");
        QCOMPARE(readoutAt(365), drawn);
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

    // Closing asks only when there are changes; each answer does what it says.
    void closingAsksToSaveChanges_data() {
        QTest::addColumn<bool>("named");    // the set-up was saved as a.morvane
        QTest::addColumn<bool>("changed");  // then the cylinder count typed
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("dialogGivesFile");  // the save dialog's answer, a.morvane or a cancel
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("written");
        QTest::newRow("no changes") << true << false << "" << false << true << false;
        QTest::newRow("Uložit") << true << true << "Uložit" << false << true << true;
        QTest::newRow("Uložit, new file") << false << true << "Uložit" << true << true << true;
        QTest::newRow("Uložit, dialog cancelled") << false << true << "Uložit" << false << false << false;
        QTest::newRow("Zahodit") << true << true << "Zahodit" << false << true << false;
        QTest::newRow("Zrušit") << true << true << "Zrušit" << false << false << false;
    }
    void closingAsksToSaveChanges() {
        QFETCH(bool, named);
        QFETCH(bool, changed);
        QFETCH(QString, answer);
        QFETCH(bool, dialogGivesFile);
        QFETCH(bool, closed);
        QFETCH(bool, written);
        const QString path = m_files.filePath("a.morvane");
        QFile::remove(path);
        if (named) {
            m_save.Path = path.toStdString();
            find<QAction>("Save1")->trigger();
        }
        m_save.Path = dialogGivesFile ? path.toStdString() : std::string();
        if (changed) {
            cell("ValueList1", 0, 1)->setText("3");
        }
        const QString title = m_window->windowTitle();
        TModalBoxCatcher catcher(Answer(answer));
        // The frame's close button and "Exit" take the same way.
        if (named) {
            find<QAction>("Exit1")->trigger();
        } else {
            m_window->close();
        }
        QCOMPARE(catcher.caught(), changed);
        if (changed) {
            QCOMPARE(catcher.text(), named ? QString("Uložit změny v a.morvane?")
                                           : QString("Uložit změny v nepojmenovaném nastavení motoru?"));
        }
        QCOMPARE(!m_window->isVisible(), closed);
        if (!closed) {
            QCOMPARE(m_window->windowTitle(), title);
            QCOMPARE(cell("ValueList1", 0, 1)->text(), QString("3"));
        }
        QCOMPARE(fileText(path).contains("Počet válců [1]=3\n"), written);
    }

    // "Nový" asks as closing does, then puts the window as it started, as one undo step.
    void newAsksAndStartsAfresh() {
        showLatePages();
        const QStringList fresh = controlTexts();
        typeEngine();
        const QStringList typed = controlTexts();
        {
            TModalBoxCatcher catcher(Answer("Zrušit"));
            press(Qt::Key_N, Qt::ControlModifier);
            QCOMPARE(catcher.text(), QString("Uložit změny v nepojmenovaném nastavení motoru?"));
            QCOMPARE(controlTexts(), typed);
        }
        {
            TModalBoxCatcher catcher(Answer("Zahodit"));
            press(Qt::Key_N, Qt::ControlModifier);
            QVERIFY(catcher.caught());
        }
        QCOMPARE(controlTexts(), fresh);
        QCOMPARE(m_window->windowTitle(), QString("Morvane"));
        QCOMPARE(m_window->session().Signal, TSession{}.Signal);
        {
            TModalBoxCatcher catcher;
            find<QAction>("New1")->trigger();
            QVERIFY(!catcher.caught());
        }
        QCOMPARE(find<QAction>("Undo1")->text(), QString("Zpět Nový"));
        find<QAction>("Undo1")->trigger();
        QCOMPARE(controlTexts(), typed);
        QCOMPARE(m_window->windowTitle(), QString("Morvane*"));
    }

    // "Uložit jako..." moves the window to the new file; Ctrl+S then writes that one.
    void saveAsMovesToTheNewFile() {
        const QString first = m_files.filePath("a.morvane");
        const QString second = m_files.filePath("b.morvane");
        m_save.Path = first.toStdString();
        find<QAction>("Save1")->trigger();
        cell("ValueList1", 0, 1)->setText("3");
        m_save.Path = second.toStdString();
        press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_window->windowTitle(), QString("b.morvane – Morvane"));
        QVERIFY(fileText(second).contains("Počet válců [1]=3\n"));
        m_save.Path.clear();
        cell("ValueList1", 0, 1)->setText("5");
        press(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(m_window->windowTitle(), QString("b.morvane – Morvane"));
        QVERIFY(fileText(second).contains("Počet válců [1]=5\n"));
        QVERIFY(fileText(first).contains("Počet válců [1]=1\n"));
    }

    // The pages behind the first come after the first frame; a window never
    // shown builds them when a command reads them, and saves what a shown one does.
    void aWindowNeverShownSavesEveryPage() {
        const QString shown = m_files.filePath("shown.morvane");
        const QString hidden = m_files.filePath("hidden.morvane");
        m_save.Path = shown.toStdString();
        m_window->setSaveView(true);
        find<QAction>("Save1")->trigger();
        TFMain never;
        // Choosing a page's tab builds it.
        auto* pages = never.findChild<QTabWidget*>("PageControl1");
        pages->setCurrentIndex(2);
        QCOMPARE(pages->currentWidget()->objectName(), QString("TabSheet2"));
        never.useSetupDialogs(&m_open, &m_save);
        never.setSaveView(true);
        m_save.Path = hidden.toStdString();
        never.findChild<QAction*>("Save1")->trigger();
        QVERIFY(fileText(hidden).contains("Globální korekce [°]="));
        QCOMPARE(fileText(hidden), fileText(shown));
        QCOMPARE(never.picture().height(), m_window->picture().height());
    }

private:
    // A desktop gives the window its activation back after a box; this platform does not.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers) const {
        QApplication::setActiveWindow(m_window.get());
        QTest::keyClick(m_window.get(), key, modifiers);
    }
    // Answers the save question with the button of that text; a box not expected is closed.
    static std::function<void(QWidget*)> Answer(const QString& text) {
        return [text](QWidget* modal) {
            for (QAbstractButton* button : static_cast<QMessageBox*>(modal)->buttons()) {
                if (button->text() == text) {
                    button->click();
                    return;
                }
            }
            static_cast<QDialog*>(modal)->reject();
        };
    }
    static QByteArray fileText(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

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
    void typeEngine() {
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
        find<QTableWidget>("ValveSummaryGrid")->setCurrentCell(3, 0);
        edit("BoreEdit", "82,5");
        edit("CompressionEdit", "10.5");
        find<QComboBox>("PegMethodBox")->setCurrentIndex(2);
        edit("PegRangeEdit", "240,290");
        edit("KnockBandEdit", "5000,18000");
        edit("KnockThresholdEdit", "0,8");
        find<QComboBox>("HeatTransferBox")->setCurrentIndex(2);
        edit("WallTemperatureEdit", "430");
        // The dialog keeps its entries even when the import fails.
        TModalBoxCatcher catcher([](QWidget* modal) {
            if (modal->objectName() == "EncoderImportDialog") {
                modal->findChild<QLineEdit*>("EncoderFileEdit")->setText("/nikde/enc.csv");
                modal->findChild<QLineEdit*>("PressureScaleEdit")->setText("0,02");
                static_cast<QDialog*>(modal)->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                box->accept();
            }
        });
        find<QAction>("ImportSig3")->trigger();
        QVERIFY(catcher.boxes() >= 2);
        loadCycle(QString(MORVANE_TEST_DATA_DIR) + "/combustion/fired_mean.csv");
        click("SpeedButton2");  // "Vytvořit události"
        cell("ValueList3", 0, 1)->setText("0,5");
        click("SpeedButton3");  // "Korigovat"
    }

    void loadCycle(const QString& path) const {
        TModalBoxCatcher catcher([&](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                chooseFile(dialog, path);
            }
        });
        click("LoadCycleButton");
        QCOMPARE(find<QLabel>("CycleFileLabel")->text(), path);
    }

    // The encoder dialog's file and scale as it opens next.
    QStringList encoderTexts() const {
        QStringList texts;
        TModalBoxCatcher catcher([&](QWidget* modal) {
            for (const char* name : {"EncoderFileEdit", "PressureScaleEdit"}) {
                texts << QString(name) + '=' + modal->findChild<QLineEdit*>(name)->text();
            }
            static_cast<QDialog*>(modal)->reject();
        });
        find<QAction>("ImportSig3")->trigger();
        return texts;
    }

    // The text of every field, list and label of the pages and of every cell
    // of the input and event tables.
    QStringList controlTexts() const {
        QStringList texts;
        for (const QComboBox* box : m_window->findChildren<QComboBox*>()) {
            if (!box->objectName().isEmpty() && box->window() == m_window.get()) {
                texts << box->objectName() + '=' + QString::number(box->currentIndex());
            }
        }
        for (const QLabel* label : m_window->findChildren<QLabel*>("CycleFileLabel")) {
            texts << "CycleFileLabel=" + label->text();
        }
        for (const QTableWidget* grid : m_window->findChildren<QTableWidget*>("ValveSummaryGrid")) {
            texts << "ValveSummaryGrid=" + QString::number(grid->currentRow());
        }
        for (const QLineEdit* field : m_window->findChildren<QLineEdit*>()) {
            if (!field->objectName().isEmpty() && field->window() == m_window.get()) {
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
