// The printed report: the input files' fingerprints, and a PDF whose text a
// reader (pdftotext) finds as written, page by page.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <string>

#include "app/report/FileFingerprint.h"
#include "app/report/NumberCells.h"
#include "app/report/PdfReport.h"
#include "tests/support/WindowFixture.h"
#include "util/errors.h"

using namespace morvane;

namespace {

// The text of a PDF as pdftotext lays it out; empty when it cannot be read.
QString PdfText(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    reader.waitForFinished();
    return QString::fromUtf8(reader.readAllStandardOutput());
}

TReportTable FiguresTable() {
    return {{"Veličina", "Hodnota"}, {{"IMEP čistý [bar]", "12,34"}, {"Maximální tlak [bar]", "61,8"}}};
}

TReport ReportOf(std::vector<TReportSection> sections) {
    return {"Zpráva o spalování", "1.2.3", "2026-12-08 19:40", std::move(sections)};
}

// The message of the EFOpenError that action raises; empty when it raises none.
template <class Action>
QString OpenErrorOf(Action action) {
    try {
        action();
    } catch (const EFOpenError& error) {
        return QString::fromStdString(error.what());
    }
    return {};
}

}  // namespace

// The window fixture for its temporary folder only: no window is opened.
class ReportTest : public morvane::testing::TWindowFixture {
    Q_OBJECT

    static void requirePdfTools() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()) {
            QSKIP("pdftotext (poppler-utils) is not installed; the PDF's text cannot be read");
        }
    }

private slots:
    void fingerprintHashesTheWholeFile_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("digest");
        QTest::newRow("abc") << QByteArray("abc")
                             << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
        QTest::newRow("empty") << QByteArray()
                               << "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
        // Longer than one block read.
        QTest::newRow("a million a") << QByteArray(1000000, 'a')
                                     << "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
    }
    void fingerprintHashesTheWholeFile() {
        QFETCH(QByteArray, contents);
        QFETCH(QString, digest);
        const QString path = writeFile(QStringLiteral("input.txt"), contents);
        const TFileFingerprint fingerprint = FingerprintFile(path.toStdString());
        QCOMPARE(fingerprint.Path, path.toStdString());
        QCOMPARE(fingerprint.Size, static_cast<std::uint64_t>(contents.size()));
        QCOMPARE(QString::fromStdString(fingerprint.Sha256), digest);
        QCOMPARE(QString::fromStdString(fingerprint.Modified),
                 QFileInfo(path).lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    }

    void unreadableInputRaisesOpenError_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing.csv");
        QTest::newRow("folder") << QString();
    }
    void unreadableInputRaisesOpenError() {
        QFETCH(QString, name);
        const std::string path = m_files.filePath(name).toStdString();
        QVERIFY(
            OpenErrorOf([&] { FingerprintFile(path); }).startsWith(QStringLiteral("Cannot open file \"")));
    }

    void fingerprintTableNamesItsColumns() {
        const TReportTable table = FingerprintTable({{"a.csv", 1234567, "2026-12-08 19:40:12", "ab"}});
        QCOMPARE(table.Header, (std::vector<std::string>{"Soubor", "Velikost [B]", "Změněn", "SHA-256"}));
        QCOMPARE(table.Rows.at(0),
                 (std::vector<std::string>{"a.csv", "1234567", "2026-12-08 19:40:12", "ab"}));
    }

    void figuresStandRightAligned_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("figure");
        QTest::newRow("decimal comma") << "12,34" << true;
        QTest::newRow("minus, grouped") << "−1 234,5" << true;
        QTest::newRow("exponent") << "1,5E-3" << true;
        QTest::newRow("per cent") << "12 %" << true;
        QTest::newRow("dash") << "-" << false;
        QTest::newRow("quantity") << "IMEP [bar]" << false;
        QTest::newRow("date and time") << "2026-12-08 19:40:12" << false;
    }
    void figuresStandRightAligned() {
        QFETCH(QString, text);
        QFETCH(bool, figure);
        QCOMPARE(LooksLikeNumber(text.toStdString()), figure);
    }

    void dashDoesNotMakeAFigureColumnText() {
        QCOMPARE(NumericColumns({{"a", "1,5"}, {"b", "—"}, {"c", ""}}, 3),
                 (std::vector<bool>{false, true, false}));
    }

    void reportHoldsItsTextsAndFooter() {
        requirePdfTools();
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::darkBlue);
        // "ff" and "fi" would come back from a ligature as one character.
        TReportSection engine{"Motor", {"Vrtání 85 mm, zdvih 88 mm", "fired.csv 410ff61f"}, {}, {}};
        TReportSection figures{"Výsledky", {}, {FiguresTable()}, {picture}};
        const QString path = m_files.filePath(QStringLiteral("zpráva.pdf"));
        WritePdfReport(ReportOf({engine, figures}), path.toStdString());

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(4), QByteArray("%PDF"));
        const QString text = PdfText(path);
        for (const char* expected :
             {"Zpráva o spalování", "Vrtání 85 mm", "fired.csv 410ff61f", "IMEP čistý [bar]", "12,34",
              "Morvane 1.2.3 · 2026-12-08 19:40 · strana 1 z 1"}) {
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        }
    }

    // A table longer than a page goes on over the next, its header repeated;
    // lines running over pages stand in the PDF's text once each.
    void longContentRunsOverPages() {
        requirePdfTools();
        TReportTable cycles{{"Cyklus", "IMEP [bar]"}, {}};
        for (int cycle = 1; cycle <= 200; ++cycle) {
            cycles.Rows.push_back({std::to_string(cycle), "12,34"});
        }
        std::vector<std::string> notes;
        for (int note = 1; note <= 150; ++note) {
            notes.push_back("Poznámka " + std::to_string(note));
        }
        const QString path = m_files.filePath(QStringLiteral("long.pdf"));
        WritePdfReport(ReportOf({{"Cykly", {}, {cycles}, {}}, {"Poznámky", notes, {}, {}}}),
                       path.toStdString());

        const QString text = PdfText(path);
        const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY2(pages.size() > 2, qPrintable(text.right(400)));
        QVERIFY(pages.last().contains(QStringLiteral("strana %1 z %1").arg(pages.size())));
        for (const QString& page : pages) {
            QCOMPARE(page.contains(QStringLiteral("12,34")), page.contains(QStringLiteral("Cyklus")));
        }
        QCOMPARE(text.count(QStringLiteral("12,34")), 200);
        QCOMPARE(text.count(QStringLiteral("Poznámka ")), 150);
    }

    // A heading whose picture does not fit under it starts the next page with it.
    void headingGoesOverWithItsPicture() {
        requirePdfTools();
        QImage picture(400, 440, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const QString path = m_files.filePath(QStringLiteral("pictures.pdf"));
        WritePdfReport(ReportOf({{"První graf", {}, {}, {picture}}, {"Druhý graf", {}, {}, {picture}}}),
                       path.toStdString());

        const QStringList pages = PdfText(path).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 2);
        QVERIFY(pages[1].contains(QStringLiteral("Druhý graf")));
        QCOMPARE(pages.join(QString()).count(QStringLiteral("Druhý graf")), 1);
    }

    void unwritablePathRaisesAndLeavesNoFile() {
        const QString path = m_files.filePath(QStringLiteral("chybí/zpráva.pdf"));
        const QString message = OpenErrorOf([&] { WritePdfReport(ReportOf({}), path.toStdString()); });
        QVERIFY2(message.startsWith(QStringLiteral("Cannot create file \"")), qPrintable(message));
        QVERIFY(!QFileInfo::exists(path));
    }
};

int main(int argc, char* argv[]) {
    return morvane::testing::RunWindowTest<ReportTest>(argc, argv);
}
#include "report_test.moc"
