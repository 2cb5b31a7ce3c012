// Every text of every page fits its widget, at the window's first size and
// when the window grows: no label, button, box title or column heading cut
// short, in width or in height.

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QStatusBar>
#include <QStringList>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "tests/app/RecordingImport.h"
#include "tests/support/WindowFixture.h"

using namespace morvane;
using namespace morvane::testing;

namespace {

// The width a button's text takes, with the mnemonic's '&' left out.
int TextWidth(const QFontMetrics& metrics, QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return metrics.horizontalAdvance(text);
}

QString Where(const QWidget* widget) {
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// The texts of page's visible widgets that do not fit, one line each.
QStringList CutTexts(const QWidget* page) {
    QStringList cut;
    for (const QLabel* label : page->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(page) || label->text().isEmpty() || label->wordWrap() ||
            label->textFormat() == Qt::RichText) {
            continue;
        }
        const QRect room = label->contentsRect();
        const QFontMetrics metrics = label->fontMetrics();
        if (TextWidth(metrics, label->text()) > room.width() || metrics.height() > room.height()) {
            cut << QStringLiteral("label %1 \"%2\": %3 x %4 px")
                       .arg(Where(label), label->text())
                       .arg(room.width())
                       .arg(room.height());
        }
    }
    for (const QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(page) || button->text().isEmpty()) {
            continue;
        }
        if (button->sizeHint().width() > button->width() ||
            button->fontMetrics().height() > button->height()) {
            cut << QStringLiteral("button %1 \"%2\": %3 x %4 px, needs %5 wide")
                       .arg(Where(button), button->text())
                       .arg(button->width())
                       .arg(button->height())
                       .arg(button->sizeHint().width());
        }
    }
    for (const QGroupBox* box : page->findChildren<QGroupBox*>()) {
        if (box->isVisibleTo(page) && TextWidth(box->fontMetrics(), box->title()) + 16 > box->width()) {
            cut << QStringLiteral("box %1 \"%2\"").arg(Where(box), box->title());
        }
    }
    for (const QTableView* table : page->findChildren<QTableView*>()) {
        const QHeaderView* header = table->horizontalHeader();
        if (!table->isVisibleTo(page) || header->isHidden() || table->model() == nullptr) {
            continue;
        }
        for (int column = 0; column < table->model()->columnCount(); ++column) {
            const QString text = table->model()->headerData(column, Qt::Horizontal).toString();
            if (header->isSectionHidden(column) || text.isEmpty()) {
                continue;
            }
            // What the heading itself asks for: its text and the style's margins.
            const int needed = header->sectionSizeHint(column);
            if (needed > header->sectionSize(column)) {
                cut << QStringLiteral("heading of %1 \"%2\": %3 px, needs %4")
                           .arg(Where(table), text)
                           .arg(header->sectionSize(column))
                           .arg(needed);
            }
            // What the view gives its widest cell: text, margins and grid.
            const int cellNeeds = static_cast<const QAbstractItemView*>(table)->sizeHintForColumn(column);
            if (cellNeeds > table->columnWidth(column)) {
                cut << QStringLiteral("a cell of %1, column %2: %3 px, needs %4")
                           .arg(Where(table), text)
                           .arg(table->columnWidth(column))
                           .arg(cellNeeds);
            }
        }
    }
    for (const QListWidget* list : page->findChildren<QListWidget*>()) {
        // What the view gives its widest item: check box, text and margins.
        const int needs = static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(0);
        if (list->isVisibleTo(page) && needs > list->viewport()->width()) {
            cut << QStringLiteral("an item of %1: %2 px, needs %3")
                       .arg(Where(list))
                       .arg(list->viewport()->width())
                       .arg(needs);
        }
    }
    return cut;
}

}  // namespace

class TextFitTest : public TWindowFixture {
    Q_OBJECT

    // Shows every page of tabs in turn, and the pages of the tabs inside it
    // (a page may be built on its first show), and collects what does not fit.
    static QStringList CutOnEveryPage(QTabWidget* tabs, const QString& path) {
        QStringList cut;
        for (int index = 0; index < tabs->count(); ++index) {
            tabs->setCurrentIndex(index);
            QTest::qWait(20);
            const QString where = path + tabs->tabText(index);
            QWidget* page = tabs->widget(index);
            for (const QString& line : CutTexts(page)) {
                cut << where + QStringLiteral(": ") + line;
            }
            for (QTabWidget* inner : page->findChildren<QTabWidget*>()) {
                cut << CutOnEveryPage(inner, where + QStringLiteral(" / "));
            }
        }
        return cut;
    }

    QStringList cutOnEveryPage() {
        QStringList cut =
            CutOnEveryPage(m_window->findChild<QTabWidget*>(QStringLiteral("PageControl1")), {});
        for (const QString& line : CutTexts(m_window->statusBar())) {
            cut << QStringLiteral("status bar: ") + line;
        }
        return cut;
    }

    // An encoder recording in bar, so that the figures and the cycle table
    // of "Spalování" hold their texts too.
    void importRecording() {
        testing::ImportRecording(*m_window, writeFile("recording.csv", testing::SixRevolutionRecording()),
                                 "1");
    }

private slots:
    void init() {
        QVERIFY(openWindow());
        importRecording();
    }
    void cleanup() { closeWindow(); }

    void everyTextFitsAtTheFirstSize() {
        const QStringList cut = cutOnEveryPage();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
    }

    void everyTextFitsInALargeWindow() {
        m_window->resize(1600, 1000);
        QTest::qWait(50);
        const QStringList cut = cutOnEveryPage();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join('\n')));
    }
};

int main(int argc, char* argv[]) {
    return RunWindowTest<TextFitTest>(argc, argv);
}
#include "textfit_test.moc"
