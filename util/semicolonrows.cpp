#include "util/semicolonrows.h"

namespace morvane {

std::string SemicolonRows(const ICellGrid& grid, int columns) {
    std::string text;
    for (int row = 0; row < grid.rowCount(); ++row) {
        for (int column = 0; column < columns; ++column) {
            text += grid.cellText(column, row);
            text += column + 1 < columns ? ';' : '\n';
        }
    }
    return text;
}

std::string SemicolonPair(const IValueList& list, int row) {
    return list.key(row) + ";" + list.value(row) + "\n";
}

std::string SemicolonPairs(const IValueList& list) {
    std::string text;
    for (int row = 1; row <= list.rowCount(); ++row) {
        text += SemicolonPair(list, row);
    }
    return text;
}

}  // namespace morvane
