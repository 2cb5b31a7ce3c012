#include "util/semicolonrows.h"

namespace morvane {

std::string SemicolonCell(std::string_view cell) {
    if (cell.find_first_of(";\"\r\n") == std::string_view::npos) {
        return std::string(cell);
    }
    std::string quoted = "\"";
    for (const char c : cell) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

std::string SemicolonLine(const std::vector<std::string>& cells) {
    std::string line;
    for (std::size_t i = 0; i < cells.size(); ++i) {
        line += (i == 0 ? "" : ";") + SemicolonCell(cells[i]);
    }
    return line + "\n";
}

std::string SemicolonRows(const ICellGrid& grid, int columns) {
    std::string text;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < columns; ++column) {
            text += SemicolonCell(grid.cellText(column, row));
            text += column + 1 < columns ? ';' : '\n';
        }
    }
    return text;
}

std::string SemicolonPair(const IValueList& list, int row) {
    return SemicolonCell(list.key(row)) + ";" + SemicolonCell(list.value(row)) + "\n";
}

std::string SemicolonPairs(const IValueList& list) {
    std::string text;
    for (int row = 1; row <= list.rowCount(); ++row) {
        text += SemicolonPair(list, row);
    }
    return text;
}

}  // namespace morvane
