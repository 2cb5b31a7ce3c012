#pragma once

// A rectangle of cells as spreadsheets exchange it on the clipboard: one line
// per row, cells separated by tabs. Texts go through unchanged, so a decimal
// point stays a point and the command that reads the cell reports it.

#include <string>
#include <string_view>
#include <vector>

namespace morvane {

using TCellBlock = std::vector<std::vector<std::string>>;

// Every row ends with a line break, as spreadsheets write their blocks.
std::string FormatCellBlock(const TCellBlock& block);

// Rows end at "\r\n", "\n" or "\r"; one break at the end ends the last row
// and adds no empty row. An empty text is an empty block.
TCellBlock SplitCellBlock(std::string_view text);

}  // namespace morvane
