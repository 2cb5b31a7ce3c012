#include "events/CylinderTableFile.h"

#include <string_view>

#include "events/EventGeneration.h"
#include "util/errors.h"
#include "util/numtext.h"
#include "util/replacefile.h"

namespace morvane {

int FillCylinderTable(const TTextLines& lines, ICellGrid& table) {
    const int dataLines = lines.empty() ? 0 : static_cast<int>(lines.size()) - 1;
    if (dataLines > kCylinderRows) {
        RaiseCylinderTableRowsError(kCylinderRows, dataLines);
    }
    for (int row = 1; row <= dataLines; ++row) {
        std::string_view rest = lines[row];
        // Field 0 is the row number, which the table holds itself.
        for (int column = 0; column < kCylinderColumns; ++column) {
            const std::size_t semicolon = rest.find(';');
            const std::string_view field = rest.substr(0, semicolon);
            if (column != NumberColumn) {
                table.setCellText(column, row, TrimBlanks(field));
            }
            rest = semicolon == std::string_view::npos ? std::string_view() : rest.substr(semicolon + 1);
        }
    }
    return dataLines;
}

int ReadCylinderTableFile(const std::string& path, ICellGrid& table) {
    return FillCylinderTable(ReadTextLines(path), table);
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
