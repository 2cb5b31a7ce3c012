#pragma once

// The batch tool's and the tests' plain-text form of what a grid or a value
// list shows: one line per row, the cells joined by ';'.

#include <string>

#include "util/controls.h"

namespace morvane {

// Every row of grid, cells 0 .. columns - 1.
std::string SemicolonRows(const ICellGrid& grid, int columns);

// "key;value" of one row (1-based) of list.
std::string SemicolonPair(const IValueList& list, int row);

// "key;value" of every row of list.
std::string SemicolonPairs(const IValueList& list);

}  // namespace morvane
