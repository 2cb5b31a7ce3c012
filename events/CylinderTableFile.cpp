#include "events/CylinderTableFile.h"

#include <array>
#include <string_view>
#include <vector>

#include "events/EventGeneration.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/quote.h"
#include "util/replacefile.h"

namespace morvane {

namespace {

using TRowTexts = std::array<std::string, kCylinderColumns>;

// The header, one data line more than the table takes (so that count is told
// exactly), and one to see that the file goes on.
constexpr std::size_t kLinesRead = kCylinderRows + 3;

// The data lines, less the blank lines at the file's end that editors leave.
int DataLineCount(const TTextLines& lines) {
    std::size_t count = lines.size();
    while (count > 1 && TrimBlanksView(lines[count - 1]).empty()) {
        --count;
    }
    return count == 0 ? 0 : static_cast<int>(count) - 1;
}

// A cell's text, checked as event creation will read it, so that a bad one is
// named by its place in the file rather than only by its text.
std::string CheckedCell(std::string_view field, int line, int column, TNumberFormat format) {
    std::string text = TrimBlanks(field);
    if (text.empty()) {
        RaiseCylinderTableCellError(line, column + 1, "chybí hodnota");
    }
    try {
        ParseFloat(text, format);
    } catch (const EConvertError&) {
        RaiseCylinderTableCellError(line, column + 1, "'" + ShortenedQuote(text) + "' není číslo");
    } catch (const EMathError&) {
        RaiseCylinderTableCellError(line, column + 1, "'" + ShortenedQuote(text) + "' je mimo rozsah čísel");
    }
    return text;
}

// The cells of one data line; field 0 is the row number, which the table
// holds itself, and fields beyond the table's columns are not used.
TRowTexts RowTexts(std::string_view rest, int line, TNumberFormat format) {
    TRowTexts cells;
    for (int column = 0; column < kCylinderColumns; ++column) {
        const std::size_t semicolon = rest.find(';');
        if (column != NumberColumn) {
            cells[static_cast<std::size_t>(column)] =
                CheckedCell(rest.substr(0, semicolon), line, column, format);
        }
        rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
    }
    return cells;
}

}  // namespace

int FillCylinderTable(const TTextLines& lines, ICellGrid& table, TNumberFormat format) {
    const int dataLines = DataLineCount(lines);
    if (dataLines > kCylinderRows) {
        RaiseCylinderTableRowsError(kCylinderRows, dataLines);
    }
    // Every line is checked before the first cell changes.
    std::vector<TRowTexts> rows;
    for (int row = 1; row <= dataLines; ++row) {
        rows.push_back(RowTexts(lines[static_cast<std::size_t>(row)], row + 1, format));
    }
    for (int row = 1; row <= dataLines; ++row) {
        for (int column = 0; column < kCylinderColumns; ++column) {
            if (column != NumberColumn) {
                table.setCellText(column, row, rows[static_cast<std::size_t>(row - 1)][column]);
            }
        }
    }
    return dataLines;
}

int ReadCylinderTableFile(const std::string& path, ICellGrid& table, TNumberFormat format) {
    TLineReader reader(path);
    return ReadCylinderTableFile(reader, path, table, format);
}

int ReadCylinderTableFile(TLineReader& reader, std::string_view path, ICellGrid& table,
                          TNumberFormat format) {
    const TTextLines lines = ReadFirstTextLines(reader, path, kLinesRead);
    if (lines.size() == kLinesRead) {
        RaiseCylinderTableTooLongError(kCylinderRows, static_cast<int>(kLinesRead) - 2);
    }
    return FillCylinderTable(lines, table, format);
}

std::string CylinderTableText(const ICellGrid& table, int rows) {
    std::string text;
    for (int row = 0; row <= rows; ++row) {
        for (int column = 0; column < kCylinderColumns; ++column) {
            if (column > 0) {
                text += ';';
            }
            text += table.cellText(column, row);
        }
        text += '\n';
    }
    return text;
}

void WriteCylinderTableFile(const std::string& path, const ICellGrid& table, int rows) {
    WriteFileReplacing(path, CylinderTableText(table, rows));
}

}  // namespace morvane
