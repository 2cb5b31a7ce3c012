#include "app/report/ReportDocument.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "app/report/NumberCells.h"

namespace morvane {

namespace {

// Lengths of borders, paddings and pictures count in pixels of a 96 dpi
// screen; the layout scales them to its paint device.
constexpr qreal kScreenDpi = 96.0;
constexpr qreal kTitlePoints = 17.0;
constexpr qreal kHeadingPoints = 12.5;
constexpr qreal kTablePoints = 8.5;
// The part of a page a heading wants under it, else it starts the next page.
constexpr qreal kLeastRoomUnderHeading = 0.08;
// The most of a page's height a picture takes: a tall one still shares its
// page with its heading and a line or two.
constexpr qreal kPictureMostOfPage = 0.8;
const QColor kGridColour(0x80, 0x80, 0x80);
const QColor kHeaderShade(0xe6, 0xe6, 0xe6);

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QTextCharFormat FontOfSize(qreal points, bool bold) {
    QTextCharFormat format;
    format.setFontPointSize(points);
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    return format;
}

QTextBlockFormat SpacedBlock(qreal above, qreal below) {
    QTextBlockFormat format;
    format.setTopMargin(above);
    format.setBottomMargin(below);
    return format;
}

// A table leaves an empty block after it, and a document starts with one:
// such a block takes what comes next instead of standing as a blank line.
bool IsFreeBlock(const QTextCursor& cursor) {
    const QTextBlock block = cursor.block();
    if (!block.text().isEmpty()) {
        return false;
    }
    const QTextBlock previous = block.previous();
    return !previous.isValid() || QTextCursor(previous).currentTable() != nullptr;
}

void StartBlock(QTextCursor& cursor, const QTextBlockFormat& block, const QTextCharFormat& chars) {
    if (IsFreeBlock(cursor)) {
        cursor.setBlockFormat(block);
        cursor.setBlockCharFormat(chars);
        cursor.setCharFormat(chars);
    } else {
        cursor.insertBlock(block, chars);
    }
}

void AddTitle(QTextCursor& cursor, const std::string& title) {
    QTextBlockFormat block = SpacedBlock(0, 10);
    // A rule under the title, as under a letterhead.
    block.setProperty(QTextFormat::BlockTrailingHorizontalRulerWidth,
                      QTextLength(QTextLength::PercentageLength, 100));
    StartBlock(cursor, block, FontOfSize(kTitlePoints, true));
    cursor.insertText(Text(title));
}

void AddHeading(QTextCursor& cursor, const std::string& heading) {
    StartBlock(cursor, SpacedBlock(20, 5), FontOfSize(kHeadingPoints, true));
    cursor.insertText(Text(heading));
}

void AddParagraph(QTextCursor& cursor, const std::string& line) {
    StartBlock(cursor, SpacedBlock(0, 3), QTextCharFormat());
    cursor.insertText(Text(line));
}

QTextTableFormat GridFormat(int headerRows) {
    QTextTableFormat format;
    format.setBorder(1.0);
    format.setBorderBrush(kGridColour);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellSpacing(0);
    format.setCellPadding(3);
    format.setHeaderRowCount(headerRows);
    format.setTopMargin(2);
    // A block after a table loses its own top margin: this one stands for it.
    format.setBottomMargin(16);
    return format;
}

void FillRow(QTextTable& table, int row, const std::vector<std::string>& cells,
             const std::vector<bool>& numeric, const QTextCharFormat& chars) {
    for (std::size_t column = 0; column < cells.size(); ++column) {
        QTextCursor cell = table.cellAt(row, static_cast<int>(column)).firstCursorPosition();
        QTextBlockFormat block;
        block.setAlignment(numeric[column] ? Qt::AlignRight : Qt::AlignLeft);
        cell.setBlockFormat(block);
        cell.insertText(Text(cells[column]), chars);
    }
}

void AddTable(QTextCursor& cursor, const TReportTable& table) {
    std::size_t columns = table.Header.size();
    for (const std::vector<std::string>& row : table.Rows) {
        columns = std::max(columns, row.size());
    }
    const int headerRows = table.Header.empty() ? 0 : 1;
    const int rows = headerRows + static_cast<int>(table.Rows.size());
    if (columns == 0 || rows == 0) {
        return;
    }
    QTextTable* grid = cursor.insertTable(rows, static_cast<int>(columns), GridFormat(headerRows));
    const std::vector<bool> numeric = NumericColumns(table.Rows, columns);
    if (headerRows > 0) {
        QTextTableCellFormat shaded;
        shaded.setBackground(kHeaderShade);
        for (std::size_t column = 0; column < columns; ++column) {
            grid->cellAt(0, static_cast<int>(column)).setFormat(shaded);
        }
        FillRow(*grid, 0, table.Header, numeric, FontOfSize(kTablePoints, true));
    }
    const QTextCharFormat body = FontOfSize(kTablePoints, false);
    for (std::size_t row = 0; row < table.Rows.size(); ++row) {
        FillRow(*grid, headerRows + static_cast<int>(row), table.Rows[row], numeric, body);
    }
    cursor.movePosition(QTextCursor::End);
}

// A picture the width of the text, or less where it would be taller than a
// page: a block is never split, so it moves whole to the next page.
void AddPicture(QTextCursor& cursor, const QImage& picture, int number) {
    if (picture.isNull()) {
        return;
    }
    QTextDocument& document = *cursor.document();
    const QPaintDevice* device = document.documentLayout()->paintDevice();
    const qreal scale = device == nullptr ? 1.0 : device->logicalDpiX() / kScreenDpi;
    const QSizeF page = document.pageSize() / scale;
    QSizeF size =
        QSizeF(picture.size()).scaled(page.width(), page.height() * kPictureMostOfPage, Qt::KeepAspectRatio);
    const QString name = QStringLiteral("report-picture-%1").arg(number);
    document.addResource(QTextDocument::ImageResource, QUrl(name), picture);
    QTextBlockFormat block = SpacedBlock(4, 8);
    block.setAlignment(Qt::AlignHCenter);
    StartBlock(cursor, block, QTextCharFormat());
    QTextImageFormat image;
    image.setName(name);
    image.setWidth(size.width());
    image.setHeight(size.height());
    cursor.insertImage(image);
}

// Where a block's first line ends, on the height of the whole document.
qreal FirstLineBottom(const QTextBlock& block) {
    const QRectF box = block.document()->documentLayout()->blockBoundingRect(block);
    const QTextLayout* lines = block.layout();
    if (lines == nullptr || lines->lineCount() == 0) {
        return box.bottom();
    }
    return box.top() + lines->lineAt(0).rect().bottom();
}

// A heading left at the foot of a page, alone or with a line or two of its
// text, goes over to the next page; one near a page's top stays, as the next
// page would give it no more room. Each move lays out the rest anew, so the
// headings are taken in order.
void KeepHeadingsWithText(QTextDocument& document, const std::vector<int>& headings) {
    const qreal pageHeight = document.pageSize().height();
    const qreal leastRoom = pageHeight * kLeastRoomUnderHeading;
    for (int number : headings) {
        const QTextBlock heading = document.findBlockByNumber(number);
        const QTextBlock next = heading.next();
        if (!next.isValid()) {
            continue;
        }
        const qreal bottom = FirstLineBottom(heading);
        const qreal pageStart = std::floor(bottom / pageHeight) * pageHeight;
        const qreal pageEnd = pageStart + pageHeight;
        const bool alone = pageEnd - bottom < leastRoom || FirstLineBottom(next) > pageEnd;
        if (!alone || bottom - pageStart < leastRoom) {
            continue;
        }
        QTextBlockFormat breakBefore;
        breakBefore.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(heading).mergeBlockFormat(breakBefore);
    }
}

}  // namespace

void BuildReportDocument(const TReport& report, QTextDocument& document) {
    QTextCursor cursor(&document);
    // One change for the layout: laid out cell by cell, a long table costs
    // time in the square of its rows.
    cursor.beginEditBlock();
    AddTitle(cursor, report.Title);
    int pictures = 0;
    std::vector<int> headings;
    for (const TReportSection& section : report.Sections) {
        AddHeading(cursor, section.Heading);
        headings.push_back(cursor.blockNumber());
        for (const std::string& line : section.Paragraphs) {
            AddParagraph(cursor, line);
        }
        for (const TReportTable& table : section.Tables) {
            AddTable(cursor, table);
        }
        for (const QImage& picture : section.Pictures) {
            AddPicture(cursor, picture, ++pictures);
        }
    }
    cursor.endEditBlock();
    KeepHeadingsWithText(document, headings);
}

}  // namespace morvane
