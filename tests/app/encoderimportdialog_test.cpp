// The encoder import dialog's column fields offer the channels of the
// recording chosen, and stay text fields for what is typed.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "ModalBoxCatcher.h"
#include "app/dialogs/EncoderImportDialog.h"
#include "tests/support/MdfWriter.h"
#include "util/dialogutil.h"

namespace morvane {
namespace {

const char* const kColumnFields[] = {"EncoderColumnEdit", "EncoderValueColumnEdit", "EncoderTimeColumnEdit",
                                     "EncoderIndexColumnEdit", "PressureColumnsEdit"};

QByteArray MdfOf(const std::vector<testing::TMdfGroupPlan>& groups) {
    testing::TMdfPlan plan;
    plan.Groups = groups;
    return QByteArray::fromStdString(testing::MdfFileBytes(plan));
}

QStringList ItemsOf(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

}  // namespace

class TEncoderImportDialogTest : public QObject {
    Q_OBJECT

private slots:
    void offersTheChannelsOfTheFileChosen_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("names");
        const QByteArray damaged = MdfOf({testing::Float64Group({"A"}, {{1}})}).left(100);
        QTest::newRow("text with a header")
            << QByteArray("Enc;P [bar];t\n0;1;0\n1;2;1\n") << QStringList{"Enc", "P [bar]", "t"};
        QTest::newRow("text without one") << QByteArray("0;1;2\n3;4;5\n") << QStringList{"1", "2", "3"};
        // Only the head is read: a fault further on is the import's to tell.
        QTest::newRow("text spoilt later") << QByteArray("a;b\n1;2\n3;x\n") << QStringList{"a", "b"};
        QTest::newRow("mdf") << MdfOf({testing::Float64Group({"t", "Encoder", "Pressure"}, {{0, 1, 2}}, 0)})
                             << QStringList{"t", "Encoder", "Pressure"};
        QTest::newRow("mdf, a name in two groups") << MdfOf({testing::Float64Group({"t", "A"}, {{0, 1}}, 0),
                                                             testing::Float64Group({"t", "B"}, {{0, 1}}, 0)})
                                                   << QStringList{"t@1", "A", "t@2", "B"};
        QTest::newRow("damaged mdf") << damaged << QStringList{};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
    }

    void offersTheChannelsOfTheFileChosen() {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, names);
        const QString path = m_files.filePath("recording");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
        file.close();
        TEncoderTexts texts;
        texts.TimeColumn = "3";
        TKnownFileDialog browse(path.toStdString());
        TEncoderImportDialog dialog(texts, &browse);
        const TModalBoxCatcher boxes;
        dialog.findChild<QPushButton*>("EncoderBrowseButton")->click();
        QCOMPARE(dialog.findChild<QLineEdit*>("EncoderFileEdit")->text(), path);
        for (const char* field : kColumnFields) {
            QCOMPARE(ItemsOf(dialog.findChild<QComboBox*>(field)), names);
        }
        // The typed columns stay, and no box tells of a file that cannot be listed.
        QCOMPARE(dialog.texts().EncoderColumn, std::string("1"));
        QCOMPARE(dialog.texts().TimeColumn, std::string("3"));
        QApplication::processEvents();
        QVERIFY(!boxes.caught());
    }

    // A choice replaces a column field's text; the cylinders' columns gather.
    void aChoiceFillsTheField() {
        const QString path = m_files.filePath("choice.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Enc;P1;P2\n0;1;2\n");
        file.close();
        TEncoderTexts texts;
        texts.Path = path.toStdString();
        texts.PressureColumns = "P1";
        TEncoderImportDialog dialog(texts, nullptr);
        auto choose = [&](const char* field, int item) {
            auto* box = dialog.findChild<QComboBox*>(field);
            box->showPopup();
            box->setCurrentIndex(item);
            emit box->textActivated(box->itemText(item));
            box->hidePopup();
        };
        choose("EncoderValueColumnEdit", 1);
        choose("PressureColumnsEdit", 2);
        QCOMPARE(dialog.texts().ValueColumn, std::string("P1"));
        QCOMPARE(dialog.texts().PressureColumns, std::string("P1,P2"));
        // Typed text is read as before, a number included, and not completed to a channel's name.
        dialog.findChild<QLineEdit*>("EncoderColumnEdit")->setText("7");
        QCOMPARE(dialog.texts().EncoderColumn, std::string("7"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* index = dialog.findChild<QLineEdit*>("EncoderIndexColumnEdit");
        index->setFocus();
        QTest::keyClicks(index, "P");
        QCOMPARE(dialog.texts().IndexColumn, std::string("P"));
    }

private:
    QTemporaryDir m_files;
};

}  // namespace morvane

QTEST_MAIN(morvane::TEncoderImportDialogTest)
#include "encoderimportdialog_test.moc"
