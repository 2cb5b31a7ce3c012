#pragma once

// The batch tool's and the tests' plain-text form of what a grid or a value
// list shows: one line per row, the cells joined by ';'. A cell is quoted as
// a CSV file with ';' quotes it, so a name or a message holding ';' or a line
// break stays one cell of one row.

#include <string>
#include <string_view>
#include <vector>

#include "util/controls.h"

namespace morvane {

// The cell as written: enclosed in double quotes, its quotes doubled, when it
// holds ';', '"', CR or LF; otherwise unchanged.
std::string SemicolonCell(std::string_view cell);

// The cells, each as SemicolonCell writes it, joined by ';' and ended by '\n'.
std::string SemicolonLine(const std::vector<std::string>& cells);

// Every row of grid, cells 0 .. columns - 1.
std::string SemicolonRows(const ICellGrid& grid, int columns);

// "key;value" of one row (1-based) of list.
std::string SemicolonPair(const IValueList& list, int row);

// "key;value" of every row of list.
std::string SemicolonPairs(const IValueList& list);

}  // namespace morvane
