#pragma once

// Which columns of a report's table hold numbers, so that they stand right
// aligned, units under units, as an engineer reads a column of figures.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace morvane {

// A figure as the caller formatted it: digits with a sign, a decimal mark,
// an exponent, blanks that group thousands, a trailing per cent ("−1 234,5",
// "1,5E-3", "12 %").
bool LooksLikeNumber(std::string_view text);

// For each of columns: true when it has a figure and every other cell is one
// or empty or a dash.
std::vector<bool> NumericColumns(const std::vector<std::vector<std::string>>& rows, std::size_t columns);

}  // namespace morvane
